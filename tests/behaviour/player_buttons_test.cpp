#include "behaviour/room_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct PlayerButtonsTest : ::testing::Test, RoomHarness {
    FakePlayerList& list() { return *h->views.playerList; }
    PlayerListEvents& user() { return *list().events; }
};

TEST_F(PlayerButtonsTest, TheWorldsKeysGiveCaptionsAndCommandsSplitAtTheFirstComma) {
    logIn("Player 1=,look\r\nPlayer 2=Page,page\r\nPlayer 3=nocomma\r\nPlayer 5=Say &Hi,say hi, there\r\n");
    struct Row {
        int button;
        const char* caption;
        const char* sent;
    };
    const Row rows[] = {
        {0, "&Look", "look Moss\n"},           // starts with a comma: ignored
        {1, "Page", "page Moss\n"},            //
        {2, "Lasto&n", "laston Moss\n"},       // no comma: ignored
        {3, "Who&Sp", "whospe #far Moss\n"},   // no key
        {4, "Say &Hi", "say hi, there Moss\n"} // later commas belong to the command
    };
    user().onEntryPicked(PlayerKind::Awake, "Moss");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        EXPECT_EQ(list().buttonCaptions[static_cast<std::size_t>(row.button)], row.caption);
        h->socket.sent.clear();
        user().onPlayerButton(row.button);
        EXPECT_EQ(sent(), row.sent);
    }
    EXPECT_TRUE(list().buttonsEnabled);
}

TEST_F(PlayerButtonsTest, AButtonSendsOnlyOnceAnEntryIsPickedAndCountsForTheLagMeter) {
    logIn();
    list().commandLabelVisible = false;
    user().onPlayerButton(0);
    EXPECT_EQ(sent(), "");
    EXPECT_FALSE(list().commandLabelVisible);

    list().showWindow();
    user().onEntryPicked(PlayerKind::Puppet, "Patch");
    user().onPlayerButton(4);
    EXPECT_EQ(sent(), "pinfo Patch\n");
    EXPECT_EQ(list().commandText, "pinfo Patch");
    EXPECT_TRUE(list().commandLabelVisible);
    EXPECT_EQ(session().PendingReplies, 1);
    EXPECT_TRUE(list().visible) << "the window stays open";
}

TEST_F(PlayerButtonsTest, AnIdleEntryGivesTheNameBeforeItsBracketBlankIncluded) {
    logIn();
    const std::pair<const char*, const char*> rows[] = {
        {"Fern [12m]", "look Fern \n"},
        {"Zed[3m]", "look Zed\n"},
        {"NoBracket", ""},
    };
    for (const auto& [entry, expected] : rows) {
        SCOPED_TRACE(entry);
        h->socket.sent.clear();
        user().onEntryPicked(PlayerKind::Idle, entry);
        user().onPlayerButton(0);
        EXPECT_EQ(sent(), expected);
    }
}

TEST_F(PlayerButtonsTest, DoubleClickLooksFocusClearsTheOtherListsAndDoneForgetsThePick) {
    logIn();
    user().onEntryActivated(PlayerKind::Asleep, "Moss");
    EXPECT_EQ(sent(), "look Moss\n");

    user().onListFocused(PlayerKind::Idle);
    EXPECT_EQ(list().selectionCleared,
              (std::vector<PlayerKind>{PlayerKind::Awake, PlayerKind::Asleep, PlayerKind::Puppet}));
    EXPECT_EQ(h->client.room().playerListPresenter().SelectedPlayer(), "Moss");

    list().showWindow();
    h->window.focus.clear();
    user().onDone();
    EXPECT_FALSE(list().visible);
    EXPECT_EQ(h->window.focus, "input");
    h->socket.sent.clear();
    user().onPlayerButton(0);
    EXPECT_EQ(sent(), "");
}

TEST_F(PlayerButtonsTest, CaptionsLastTheLogInAndTheEndOfTheSessionClosesTheWindow) {
    logIn("Player 2=Page,page\r\n");
    list().showWindow();
    user().onDone();
    list().showWindow();
    EXPECT_EQ(list().buttonCaptions[1], "Page");

    h->socket.serverCloses();
    EXPECT_FALSE(list().visible);
    EXPECT_EQ(h->client.room().playerListPresenter().SelectedPlayer(), "");
}

TEST_F(PlayerButtonsTest, WhoBeforeLogInDisablesTheButtonsAndTheLogInSetUpRestoresThem) {
    ClientHarness offline;
    offline.connect();
    offline.client.onCommandButton(command_button::WhoIsOn);
    offline.socket.receive("Player Name  On For Idle\r\nMoss  10:00 1m\r\n1 player is connected.\r\n");
    FakePlayerList& window = *offline.views.playerList;
    EXPECT_FALSE(window.buttonsEnabled);

    offline.client.session().CharacterName = "Wren";
    offline.client.loggedIn();
    EXPECT_TRUE(window.buttonsEnabled);
    EXPECT_EQ(offline.views.playerList, &window) << "the same window";
}

} // namespace
} // namespace corvane::testing
