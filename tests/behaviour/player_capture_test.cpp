#include "fakes/client_harness.h"
#include "fakes/fake_player_list.h"
#include "param_name.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct PlayerCaptureTest : ::testing::Test {
    ClientHarness h;
    FakePlayerList list;
    void SetUp() override {
        h.connect("FurryMUCK");
        h.client.session().TagMode = true;
        h.client.lineClassifier().setPlayerList(&list);
        h.clearOutput();
    }
    Session& session() { return h.client.session(); }
};

TEST_F(PlayerCaptureTest, TheRoomListingFillsTheFourListsAndTheSummary) {
    session().RoomName = "Town Square";
    session().ListMode = 1;
    h.socket.receive("[on]\r\n"
                     "The players awake here are Tester, Bob, and Alice.\r\n"
                     "The idlers here are Zed[3m], and Amy[12m].\r\n"
                     "Only Guest is asleep here.\r\n"
                     "The puppets here are Patch, and Rover.\r\n"
                     "[off]\r\n");
    EXPECT_EQ(list.list(PlayerKind::Awake), (std::vector<std::string>{"Tester", "Bob", "Alice"}));
    EXPECT_EQ(list.list(PlayerKind::Idle), (std::vector<std::string>{"Zed[3m]", "Amy[12m]"}));
    EXPECT_EQ(list.list(PlayerKind::Asleep), (std::vector<std::string>{"Guest"}));
    EXPECT_EQ(list.list(PlayerKind::Puppet), (std::vector<std::string>{"Patch", "Rover"}));
    EXPECT_EQ(list.summary, "There are 8 Players in Town Square:");
    EXPECT_EQ(list.caption, "FurryMUCK Player List");
    EXPECT_EQ(list.shown, 1);
    EXPECT_EQ(session().ListMode, 0);
    EXPECT_EQ(h.window.labels[0], "Status: On Line");
    EXPECT_EQ(h.window.output, "");
}

TEST_F(PlayerCaptureTest, WithoutFramesTheNextLineOrAQuietSpellEndsTheRoomListing) {
    session().RoomName = "Town Square";
    session().ListMode = 1;
    h.socket.receive("The players awake here are Tester, and Bob.\r\nThere are no sleepers here.\r\n");
    EXPECT_EQ(session().ListMode, 1);
    h.socket.receive("Bob says, \"hi\"\r\n");
    EXPECT_EQ(list.summary, "There are 2 Players in Town Square:");
    EXPECT_EQ(list.shown, 1);
    EXPECT_EQ(session().ListMode, 0);
    EXPECT_EQ(h.window.output, "Bob says, \"hi\"\n");

    session().ListMode = 1;
    h.client.lineClassifier().listRequested();
    h.socket.receive("You are the only one awake here.\r\n");
    h.clock.advance(std::chrono::milliseconds(499));
    EXPECT_EQ(session().ListMode, 1);
    h.clock.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(session().ListMode, 0);
    EXPECT_EQ(list.summary, "No one else is here in Town Square.");
    EXPECT_EQ(list.shown, 2);
}

struct SummaryCase {
    std::string lines;
    std::string room;
    std::string summary;
};

void PrintTo(const SummaryCase& row, std::ostream* out) {
    *out << ::testing::PrintToString(row.lines);
}

class RoomSummaryTest : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(RoomSummaryTest, ReadsAsWritten) {
    ClientHarness h;
    FakePlayerList list;
    h.connect("FurryMUCK");
    h.client.session().TagMode = true;
    h.client.lineClassifier().setPlayerList(&list);
    h.client.session().RoomName = GetParam().room;
    h.client.session().ListMode = 1;
    h.socket.receive("[on]\r\n" + GetParam().lines + "[off]\r\n");
    EXPECT_EQ(list.summary, GetParam().summary);
}

INSTANTIATE_TEST_SUITE_P(
    Summaries, RoomSummaryTest,
    ::testing::Values(
        SummaryCase{"You are the only one awake here.\r\nThere are no sleepers here.\r\n", "Town Square",
                    "No one else is here in Town Square."},
        SummaryCase{"You are the only one awake here.\r\n", "", "No one else is here."},
        SummaryCase{"Only Bob[3m] is idle here.\r\n", "North Road", "There is 1 other Player in North Road:"},
        SummaryCase{"The only puppet here is Rover\r\n", "", "There is 1 other Player here:"},
        SummaryCase{"The sleepers here are Bob, and Guest.\r\n", "", "There are 2 Players here:"}),
    [](const auto& info) { return ParamName(info.param.lines); });

TEST_F(PlayerCaptureTest, TheWhoListingFillsTheAwakeList) {
    session().ListMode = 2;
    h.socket.receive("[on]\r\n"
                     "Player Name           On For Idle   Doing...\r\n"
                     "Tester                00:05   5s\r\n"
                     "Bob                   01:10   3m  fishing\r\n"
                     "2 players are connected.  (Max was 4)\r\n"
                     "[off]\r\n");
    EXPECT_EQ(list.list(PlayerKind::Awake), (std::vector<std::string>{"Tester", "Bob"}));
    EXPECT_EQ(list.summary, "There are 2 players on FurryMUCK:");
    EXPECT_FALSE(list.listEnabled[static_cast<std::size_t>(PlayerKind::Idle)]);
    EXPECT_EQ(list.labelColour[static_cast<std::size_t>(PlayerKind::Puppet)], (Rgb{128, 128, 128}));
    EXPECT_EQ(session().ListMode, 0);
    // The trailing [off] comes after the list ended and is an ordinary marker again.
    EXPECT_EQ(h.window.output, "");
}

// WHO listings as servers of several ages send them, in one or more reads,
// before and after log-in: who is captured, what the summary says, and that
// nothing of the listing reaches the output.
struct WhoCase {
    std::string name;
    std::vector<std::string> reads;
    bool tagMode;
    std::vector<std::string> players;
    std::string summary;
    ServerKind server = ServerKind::Muck;
};

void PrintTo(const WhoCase& row, std::ostream* out) {
    *out << row.name;
}

class WhoListingTest : public ::testing::TestWithParam<WhoCase> {};

TEST_P(WhoListingTest, CapturesThePlayers) {
    ClientHarness h;
    FakePlayerList list;
    h.connect("FurryMUCK");
    h.client.session().TagMode = GetParam().tagMode;
    h.client.session().Server = GetParam().server;
    h.client.lineClassifier().setPlayerList(&list);
    h.clearOutput();
    h.client.session().ListMode = 2;
    for (const std::string& read : GetParam().reads) {
        h.socket.receive(read);
    }
    EXPECT_EQ(list.list(PlayerKind::Awake), GetParam().players);
    EXPECT_EQ(list.summary, GetParam().summary);
    EXPECT_EQ(h.client.session().ListMode, 0);
    EXPECT_EQ(h.window.output, "");
}

const std::string kNewerHeader = "Name               On for Idle  Doing\r\n";
const std::string kNewerTrailer = "2 players shown of 2 online (max connected is 2).\r\n";
const std::string kOlderHeader = "Player Name           On For Idle   Doing...\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Listings, WhoListingTest,
    ::testing::Values(
        WhoCase{"NewerServerHeaderAndTrailer",
                {kNewerHeader + "Tester             00:05     5s\r\nBob                01:10     3m  fishing\r\n" +
                 kNewerTrailer}, true, {"Tester", "Bob"}, "There are 2 players on FurryMUCK:"},
        WhoCase{"NewerServerBeforeLogIn", {kNewerHeader + "Tester   00:05  5s\nBob   01:10  3m\n" + kNewerTrailer},
                false, {"Tester", "Bob"}, "There are 2 players on FurryMUCK:"},
        WhoCase{"TrailerStartingWithWhoEndsTheList",
                {kOlderHeader + "Tester  00:05  5s\r\nWho: 1 player connected.\r\n"}, true, {"Tester"},
                "There is only 1 player on FurryMUCK:"},
        WhoCase{"RowSplitAcrossReadsBeforeLogIn",
                {kOlderHeader + "Tes", "ter   00:05  5s\r\nBob  01:10\r", "\n2 players are connected.\r\n"}, false,
                {"Tester", "Bob"}, "There are 2 players on FurryMUCK:"},
        WhoCase{"RowAfterAReadEndingInATelnetCommand",
                {kOlderHeader + "Tester  00:05\r\n\xFF\xF1", "Bob  01:10\r\n2 players are connected.\r\n"}, false,
                {"Tester", "Bob"}, "There are 2 players on FurryMUCK:"},
        WhoCase{"BorderedTableWithAccountsTrailer",
                {"+------+--------+\r\n| Account Name | On for |\r\n+~~~~~~+~~~~~~~~+\r\n| Tester | 5m |\r\n",
                 "| Bob    | 2m     |\r\n+------+--------+\r\n2 unique accounts logged in.\r\n"},
                true, {"Tester", "Bob"}, "There are 2 players on FurryMUCK:"},
        WhoCase{"DikuBracketRowsOnAMud",
                {"Players\r\n-------\r\n[ 1 Wa] Tester the Swordpupil\r\n[34 Cl] Alice the Acolyte (AFK)\r\n"
                 "\r\n2 characters displayed.\r\n"},
                true, {"Tester", "Alice"}, "There are 2 players on FurryMUCK:", ServerKind::Mud},
        WhoCase{"DikuOneLonelyCharacter",
                {"[ 1 Wa] Tester the Swordpupil\r\n\r\nOne lonely character displayed.\r\n"}, true, {"Tester"},
                "There is only 1 player on FurryMUCK:", ServerKind::Mud},
        WhoCase{"Utf8NamesAreDecoded",
                {kNewerHeader + "Zo\xC3\xAB  00:05  5s\r\nJos\xC3", "\xA9  01:10  3m\r\n" + kNewerTrailer}, true,
                {"Zo\xC3\xAB", "Jos\xC3\xA9"}, "There are 2 players on FurryMUCK:"}),
    [](const ::testing::TestParamInfo<WhoCase>& row) { return row.param.name; });
// clang-format on

// A capture never hides a line it does not take: the first line that is no
// part of the listing ends it and is shown, half a second of quiet ends it
// too, and the session history keeps every line either way.
TEST_F(PlayerCaptureTest, ALineOutsideTheWhoListingEndsItAndIsShown) {
    session().ListMode = 2;
    h.socket.receive("+------+\r\n| Tester | 5m |\r\n");
    h.socket.receive("Bob says, \"hi\"\r\nLimbo\r\n");
    EXPECT_EQ(list.list(PlayerKind::Awake), (std::vector<std::string>{"Tester"}));
    EXPECT_EQ(session().ListMode, 0);
    EXPECT_EQ(h.window.output, "Bob says, \"hi\"\nLimbo\n");
    const SessionHistory& history = h.client.sessionHistory();
    std::vector<std::string> kept;
    for (std::uint64_t line = history.endLine() - 4; line < history.endLine(); ++line) {
        kept.emplace_back(history.line(line).text);
    }
    EXPECT_EQ(kept, (std::vector<std::string>{"+------+", "| Tester | 5m |", "Bob says, \"hi\"", "Limbo"}));

    session().ListMode = 2;
    h.client.lineClassifier().listRequested();
    h.socket.receive("| Alice | 1m |\r\n");
    h.clock.advance(std::chrono::milliseconds(499));
    EXPECT_EQ(session().ListMode, 2);
    h.clock.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(session().ListMode, 0);
    h.socket.receive("Alice says, \"bye\"\r\n");
    EXPECT_EQ(h.window.output, "Bob says, \"hi\"\nLimbo\nAlice says, \"bye\"\n");
}

TEST_F(PlayerCaptureTest, OnePlayerOnTheWhoListing) {
    session().ListMode = 2;
    h.socket.receive("Player Name           On For Idle   Doing...\r\n"
                     "Tester                00:05   5s\r\n"
                     "1 player is connected.  (Max was 4)\r\n");
    EXPECT_EQ(list.summary, "There is only 1 player on FurryMUCK:");
}

TEST_F(PlayerCaptureTest, WhoRowsShowAGrowingProgressText) {
    session().ListMode = 2;
    h.socket.receive("Player Name           On For Idle   Doing...\r\nTester    00:05   5s\r\nBob    01:10   3m\r\n");
    EXPECT_EQ(h.window.statusHistory[h.window.statusHistory.size() - 2], "Status: ");
    EXPECT_EQ(h.window.labels[0], "Status: *");
}

TEST_F(PlayerCaptureTest, ARoomCaptureGivesUpAfterFiveLinesWithoutAPhrase) {
    session().ListMode = 1;
    session().PendingReplies = 1;
    h.socket.receive("one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_EQ(session().ListMode, 1);
    h.socket.receive("five\r\n");
    EXPECT_EQ(session().ListMode, 0);
    EXPECT_EQ(session().PendingReplies, 0);
    EXPECT_EQ(h.window.output, "one\ntwo\nthree\nfour\nfive\n");
}

TEST_F(PlayerCaptureTest, PhraseLinesBlinkTheStatusLine) {
    session().ListMode = 1;
    h.client.onOutputFocusOut();
    h.socket.receive("The players awake here are Tester, and Bob.\r\n");
    EXPECT_EQ(h.window.labels[0], "Status: ");
    h.socket.receive("There are no sleepers here.\r\nThe idlers here are Zed[1m], and Amy[2m].\r\n");
    EXPECT_EQ(h.window.labels[0], "Status: *Getting Player Info*");
}

TEST_F(PlayerCaptureTest, TheReplyPrefixResetsTheLagCount) {
    session().LagMeterOn = true;
    session().PendingReplies = 2;
    session().LagSeconds = 3;
    h.socket.receive("[on]\r\n");
    EXPECT_EQ(session().PendingReplies, 1);
    EXPECT_EQ(session().LagSeconds, 0);
    EXPECT_EQ(h.window.labels[3], "Current Lag: 3 secs");
    EXPECT_EQ(h.window.labelColours[3].second, (Rgb{192, 192, 192}));
    EXPECT_FALSE(list.commandLabelVisible);
}

} // namespace
} // namespace corvane::testing
