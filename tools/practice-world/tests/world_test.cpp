#include "world_fixture.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

using Kind = Delivery::Kind;

struct FramingCase {
    const char* name;
    bool loggedIn;
    std::string input;
    std::string expected;
};

void PrintTo(const FramingCase& row, std::ostream* out) {
    *out << row.name;
}

class FramingTest : public WorldFixture, public ::testing::WithParamInterface<FramingCase> {};

TEST_P(FramingTest, FramesExactlyTheCommandsItShould) {
    const FramingCase& row = GetParam();
    open(kTester);
    EXPECT_TRUE(input(kTester, "OUTPUTPREFIX <<start>>").deliveries.empty());
    EXPECT_TRUE(input(kTester, "OUTPUTSUFFIX <<end>>").deliveries.empty());
    if (row.loggedIn)
        input(kTester, "connect Tester password");
    EXPECT_EQ(send(kTester, row.input), row.expected);
}

const std::string kGoodbye = "\r\nCome back later!\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, FramingTest,
    ::testing::Values(
        FramingCase{"EmptyLine", true, "", "<<start>>\r\n<<end>>\r\n"},
        FramingCase{"BlanksOnly", true, "   ", "<<start>>\r\n<<end>>\r\n"},
        FramingCase{"UnknownCommand", true, "dance wildly",
                    "<<start>>\r\nHuh?  (Type \"help\" for help.)\r\n<<end>>\r\n"},
        FramingCase{"MissingExit", true, "up", "<<start>>\r\nHuh?  (Type \"help\" for help.)\r\n<<end>>\r\n"},
        FramingCase{"Say", true, "say hi", "<<start>>\r\nYou say, \"hi\"\r\n<<end>>\r\n"},
        FramingCase{"SayShortcut", true, "\"hi", "<<start>>\r\nYou say, \"hi\"\r\n<<end>>\r\n"},
        FramingCase{"PoseShortcut", true, ":waves.", "<<start>>\r\nTester waves.\r\n<<end>>\r\n"},
        FramingCase{"LowerCaseQuit", true, "quit",
                    "<<start>>\r\nOops! Did you mean 'QUIT' in all capital letters?\r\n<<end>>\r\n"},
        FramingCase{"NoMessageOfTheDay", true, "motd",
                    "<<start>>\r\nHuh?  (Type \"help\" for help.)\r\n<<end>>\r\n"},
        FramingCase{"FrameCommandsAreCaseSensitive", true, "outputprefix x",
                    "<<start>>\r\nHuh?  (Type \"help\" for help.)\r\n<<end>>\r\n"},
        FramingCase{"WhoBeforeLogin", false, "WHO",
                    "<<start>>\r\nPlayer Name           On For Idle   Doing...\r\n"
                    "0 players are connected.  (Max was 0)\r\n<<end>>\r\n"},
        FramingCase{"EmptyLineBeforeLogin", false, "", "<<start>>\r\n<<end>>\r\n"},
        FramingCase{"FailedLoginIsNotFramed", false, "connect Tester nope",
                    "Either that player does not exist, or has a different password.\r\n"},
        FramingCase{"UnknownPlayerLogin", false, "connect Nobody x",
                    "Either that player does not exist, or has a different password.\r\n"},
        FramingCase{"SleeperCannotLogIn", false, "connect Mirelle ",
                    "Either that player does not exist, or has a different password.\r\n"},
        FramingCase{"QuitIsNotFramed", true, "QUIT", kGoodbye},
        FramingCase{"QuitBeforeLogin", false, "QUIT", kGoodbye}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(WorldFixture, SuccessfulLoginIsNotFramedAndShowsTheRoom) {
    open(kTester);
    input(kTester, "OUTPUTPREFIX <<");
    input(kTester, "OUTPUTSUFFIX >>");
    const Outcome outcome = input(kTester, "connect tester password");
    ASSERT_EQ(outcome.deliveries.size(), 1u);
    EXPECT_EQ(outcome.deliveries[0].kind, Kind::ScreenReply);
    EXPECT_TRUE(outcome.deliveries[0].text.starts_with("Town Square\r\n"));
    EXPECT_EQ(outcome.deliveries[0].text.find("<<"), std::string::npos);
}

TEST_F(WorldFixture, EachConnectionHasItsOwnFrame) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    input(kTester, "OUTPUTPREFIX [");
    input(kTester, "OUTPUTSUFFIX ]");
    EXPECT_EQ(send(kBob, "inventory"), "You aren't carrying anything.\r\n");
    EXPECT_EQ(send(kTester, "inventory"), "[\r\nYou aren't carrying anything.\r\n]\r\n");
    // A bare OUTPUTPREFIX clears the prefix and leaves the suffix.
    input(kTester, "OUTPUTPREFIX");
    EXPECT_EQ(send(kTester, "inventory"), "You aren't carrying anything.\r\n]\r\n");
}

TEST_F(WorldFixture, OthersSeeSpeechAsUnframedEvents) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    input(kBob, "OUTPUTPREFIX <<");
    input(kBob, "OUTPUTSUFFIX >>");
    input(kTester, "OUTPUTPREFIX {{");
    const Outcome said = input(kTester, "say hello");
    ASSERT_EQ(said.deliveries.size(), 2u);
    EXPECT_EQ(said.deliveries[0].to, kTester);
    EXPECT_EQ(said.deliveries[0].kind, Kind::Reply);
    EXPECT_EQ(said.deliveries[1].to, kBob);
    EXPECT_EQ(said.deliveries[1].kind, Kind::Event);
    EXPECT_EQ(said.deliveries[1].text, "Tester says, \"hello\"\r\n");
}

TEST_F(WorldFixture, MovingTellsBothRoomsAndShowsTheNewOne) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    logIn(kAlice, "Alice", "alice");
    input(kAlice, "north");

    const Outcome moved = input(kTester, "n");
    EXPECT_EQ(textFor(moved, kBob), "Tester has left.\r\n");
    EXPECT_EQ(textFor(moved, kAlice), "Tester has arrived.\r\n");
    EXPECT_EQ(textFor(moved, kTester),
              "North Road\r\nA rutted road climbs out of town between hedges. The square lies south, and a "
              "lane cuts southeast towards the market.\r\nContents:\r\nAlice\r\n");
}

TEST_F(WorldFixture, EveryDirectionLeadsSomewhereAndBack) {
    logIn(kTester, "Tester", "password");
    // A walk using each exit name once; each step must land in a room, not "Huh?".
    const char* const walk[] = {"north", "se",   "nw",  "south", "east", "west", "in",
                                "up",    "down", "out", "sw",    "down", "up",   "ne"};
    for (const char* step : walk)
        EXPECT_EQ(send(kTester, step).find("Huh?"), std::string::npos) << step;
    EXPECT_TRUE(send(kTester, "look").starts_with("Town Square\r\n"));
}

TEST_F(WorldFixture, PagesReachOnlyTheTarget) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    input(kBob, "east");
    const Outcome paged = input(kTester, "page bob=are you there?");
    EXPECT_EQ(textFor(paged, kTester), "You page, \"are you there?\" to Bob.\r\n");
    EXPECT_EQ(textFor(paged, kBob), "Tester pages, \"are you there?\" to you.\r\n");
    EXPECT_EQ(send(kTester, "page Alice=hi"), "Alice is not connected.\r\n");
    EXPECT_EQ(send(kTester, "page Zed=hi"), "I don't recognize anyone named 'Zed'.\r\n");
}

TEST_F(WorldFixture, QuitSaysGoodbyeClosesAndTellsTheRoom) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    const Outcome quit = input(kBob, "QUIT");
    EXPECT_TRUE(quit.closeCaller);
    EXPECT_EQ(textFor(quit, kBob), "\r\nCome back later!\r\n\r\n");
    EXPECT_EQ(textFor(quit, kTester), "Bob has disconnected.\r\n");
    EXPECT_TRUE(input(kBob, "look").deliveries.empty());
    EXPECT_NE(send(kTester, "who").find("The sleepers here are Bob, Alice, and Guest."), std::string::npos);
}

TEST_F(WorldFixture, QuitMustBeExact) {
    logIn(kTester, "Tester", "password");
    EXPECT_FALSE(input(kTester, "QUIT now").closeCaller);
    EXPECT_FALSE(input(kTester, "Quit").closeCaller);
    EXPECT_TRUE(input(kTester, "  QUIT").closeCaller);
}

TEST_F(WorldFixture, SecondConnectionKeepsThePlayerAwake) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    logIn(4, "Bob", "bob");
    EXPECT_EQ(textFor(m_world.close(kBob, m_now), kTester), "");
    EXPECT_EQ(textFor(m_world.close(4, m_now), kTester), "Bob has disconnected.\r\n");
}

} // namespace
} // namespace practice_world
