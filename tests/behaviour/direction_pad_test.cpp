#include "behaviour/room_harness.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct DirectionPadTest : ::testing::Test, RoomHarness {
    void SetUp() override { logIn(); }
    FakeDirectionView& pad() { return *h->views.directions; }
    bool directionButtonEnabled() {
        return h->client.buttons().enabled(Bar::Command, command_button::Direction);
    }
};

TEST_F(DirectionPadTest, EachButtonSendsItsMoveWithALineFeedAndCountsForTheLagMeter) {
    h->client.onCommandButton(command_button::Direction);
    const char* const moves[] = {"north\n", "south\n", "east\n", "west\n", "nw\n", "ne\n",
                                 "se\n",    "sw\n",    "up\n",   "down\n", "in\n", "out\n"};
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        h->socket.sent.clear();
        const int pending = session().PendingReplies;
        pad().events->onDirectionButton(i);
        EXPECT_EQ(sent(), moves[i]);
        EXPECT_EQ(session().PendingReplies, pending + 1);
    }
    h->socket.sent.clear();
    const int pending = session().PendingReplies;
    pad().events->onDirectionButton(kDirectionCancel);
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(session().PendingReplies, pending);
    EXPECT_FALSE(pad().shown);
    EXPECT_FALSE(menu().checked(MenuItem::ViewDirections));
    EXPECT_EQ(h->window.focus, "input");
}

TEST_F(DirectionPadTest, TheMenuItemAndTheBarButtonOpenItAsWritten) {
    h->client.onMenuTriggered(MenuItem::ViewDirections);
    EXPECT_TRUE(pad().shown);
    EXPECT_TRUE(pad().topmost);
    EXPECT_TRUE(menu().checked(MenuItem::ViewDirections));
    EXPECT_FALSE(directionButtonEnabled()) << "opened from the menu: the bar button waits";
    h->client.onCommandButton(command_button::Direction);
    EXPECT_EQ(pad().shows, 1);

    h->client.onMenuTriggered(MenuItem::ViewDirections);
    EXPECT_FALSE(pad().shown);
    EXPECT_TRUE(directionButtonEnabled());
    EXPECT_FALSE(menu().checked(MenuItem::ViewDirections));

    h->window.focus.clear();
    h->client.onCommandButton(command_button::Direction);
    h->client.onCommandButton(command_button::Direction);
    EXPECT_EQ(pad().shows, 3) << "pressed again it only comes forward";
    EXPECT_TRUE(directionButtonEnabled());
    EXPECT_TRUE(menu().checked(MenuItem::ViewDirections));
    EXPECT_EQ(h->window.focus, "") << "the bar leaves the focus with the pad";

    pad().events->onClosed();
    EXPECT_FALSE(menu().checked(MenuItem::ViewDirections));
    EXPECT_EQ(h->window.focus, "input");
}

TEST_F(DirectionPadTest, MinimisedItStepsBackAndRestoredItStaysOnTop) {
    h->client.onCommandButton(command_button::Direction);
    h->window.focus.clear();
    pad().events->onMinimisedChanged(true);
    EXPECT_FALSE(pad().topmost);
    EXPECT_EQ(h->window.focus, "input");
    pad().events->onMinimisedChanged(false);
    EXPECT_TRUE(pad().topmost);
}

TEST_F(DirectionPadTest, TheEndOfTheSessionClosesThePad) {
    h->client.onCommandButton(command_button::Direction);
    h->socket.serverCloses();
    EXPECT_FALSE(pad().shown);
    EXPECT_FALSE(menu().checked(MenuItem::ViewDirections));
    EXPECT_FALSE(directionButtonEnabled());
    EXPECT_FALSE(menu().enabled(MenuItem::ViewDirections));
}

TEST_F(DirectionPadTest, GoHomeFromTheGameMenuSendsALineFeedAndFocusesTheInputLine) {
    h->client.onMenuTriggered(MenuItem::GameGoHome);
    EXPECT_EQ(sent(), "gohome\n");
    EXPECT_EQ(h->window.focus, "input");
}

} // namespace
} // namespace corvane::testing
