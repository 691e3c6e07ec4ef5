#include "who_texts.h"
#include "world_fixture.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using Lines = std::vector<std::string>;

struct CensusCase {
    const char* name;
    RoomCensus census;
    Lines expected;
};

void PrintTo(const CensusCase& row, std::ostream* out) {
    *out << row.name;
}

class RoomWhoTest : public ::testing::TestWithParam<CensusCase> {};

TEST_P(RoomWhoTest, Sentences) {
    EXPECT_EQ(roomWhoLines(GetParam().census), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoomWhoTest,
    ::testing::Values(
        CensusCase{"Alone",
                   {{"Tester"}, {}, {}, {}},
                   {"You are the only one awake here.", "There are no sleepers here."}},
        CensusCase{"TwoAwake",
                   {{"Tester", "Bob"}, {}, {}, {}},
                   {"The players awake here are Tester, and Bob.", "There are no sleepers here."}},
        CensusCase{"ThreeAwake",
                   {{"Tester", "Bob", "Alice"}, {}, {"Guest"}, {}},
                   {"The players awake here are Tester, Bob, and Alice.", "Only Guest is asleep here."}},
        CensusCase{"OneIdler",
                   {{"Tester"}, {"Bob[3m]"}, {"Bob", "Guest"}, {"Rover"}},
                   {"You are the only one awake here.", "Only Bob[3m] is idle here.",
                    "The sleepers here are Bob, and Guest.", "The only puppet here is Rover"}},
        CensusCase{"TwoIdlersTwoPuppets",
                   {{"Tester"}, {"Bob[3m]", "Alice[3m]"}, {}, {"Patch", "Rover"}},
                   {"You are the only one awake here.", "The idlers here are Bob[3m], and Alice[3m].",
                    "There are no sleepers here.", "The puppets here are Patch, and Rover."}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(WhoTableTest, AlignsColumnsUnderTheHeader) {
    const Lines lines = whoTableLines({{"Tester", minutes(65), seconds(5), ""},
                                       {"Alice", seconds(59), minutes(3), "Writing tests"},
                                       {"Bob", std::chrono::hours(30), seconds(7300), ""}},
                                      4);
    EXPECT_EQ(lines,
              (Lines{"Player Name           On For Idle   Doing...", "Tester                 01:05   5s",
                     "Alice                  00:00   3m   Writing tests",
                     "Bob                   1d 06:00   2h", "3 players are connected.  (Max was 4)"}));
}

TEST(WhoTableTest, CountLineIsSingularForOne) {
    EXPECT_EQ(whoTableLines({{"Bob", seconds(0), seconds(0), ""}}, 1).back(),
              "1 player is connected.  (Max was 1)");
}

class WhoInWorldTest : public WorldFixture {};

TEST_F(WhoInWorldTest, CallerComesFirstThenTheRoomInContentsOrder) {
    logIn(kAlice, "Alice", "alice");
    logIn(kBob, "Bob", "bob");
    logIn(kTester, "Tester", "password");
    EXPECT_EQ(send(kTester, "who"), "The players awake here are Tester, Bob, and Alice.\r\n"
                                    "Only Guest is asleep here.\r\n");
}

TEST_F(WhoInWorldTest, IdlersAreCountedFromTheThresholdInWholeMinutes) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    advance(seconds(179));
    EXPECT_NE(send(kTester, "who").find("Tester, and Bob."), std::string::npos);
    advance(seconds(1));
    EXPECT_EQ(send(kTester, "who"), "You are the only one awake here.\r\n"
                                    "Only Bob[3m] is idle here.\r\n"
                                    "The sleepers here are Alice, and Guest.\r\n");
    input(kBob, "look");
    EXPECT_NE(send(kTester, "who").find("Tester, and Bob."), std::string::npos);
}

TEST_F(WhoInWorldTest, PuppetsAndSleepersElsewhereOnTheMap) {
    logIn(kTester, "Tester", "password");
    input(kTester, "east");
    EXPECT_EQ(send(kTester, "who"), "You are the only one awake here.\r\n"
                                    "There are no sleepers here.\r\n"
                                    "The puppets here are Patch, and Rover.\r\n");
    input(kTester, "west");
    input(kTester, "in");
    EXPECT_EQ(send(kTester, "who"), "You are the only one awake here.\r\n"
                                    "Only Mirelle is asleep here.\r\n"
                                    "The only puppet here is Whisker\r\n");
}

TEST_F(WhoInWorldTest, UpperCaseWhoListsPlayersWithOnForIdleAndPeak) {
    logIn(kTester, "Tester", "password");
    advance(seconds(90));
    logIn(kBob, "Bob", "bob");
    input(kBob, "@doing Mending lanterns");
    advance(seconds(5));
    // Asking makes Bob's idle time zero.
    EXPECT_EQ(send(kBob, "WHO"), "Player Name           On For Idle   Doing...\r\n"
                                 "Tester                 00:01   1m\r\n"
                                 "Bob                    00:00   0s   Mending lanterns\r\n"
                                 "2 players are connected.  (Max was 2)\r\n");
    input(kBob, "QUIT");
    EXPECT_TRUE(send(kTester, "WHO").ends_with("1 player is connected.  (Max was 2)\r\n"));
}

} // namespace
} // namespace practice_world
