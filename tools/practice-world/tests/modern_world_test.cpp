#include "who_texts.h"
#include "world_fixture.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

// The town as the newer server runs it.
class ModernWorld : public WorldFixture {
protected:
    ModernWorld()
        : WorldFixture(Manner::Modern) {}
};

const std::string kGreeting = "\r\n"
                              "               ~  The Corvane Practice World  ~\n"
                              "      A small town of seven rooms for trying out a MUCK client.\n"
                              "\n"
                              "  Practice accounts: Guest/guest  Tester/password  Alice/alice  Bob/bob\r\n"
                              "  Type 'WHO' to see who is playing, and 'QUIT' to leave.\r\n"
                              "\r\n"
                              "To connect to your character use 'connect <playername> <password>'\r\n";
const std::string kMessageOfTheDay = "Welcome back to the Corvane Practice World.\n"
                                     "Colette's coffee cart is on North Road today.\n"
                                     "- - - - - - - - - - - - - - - - - - - -\n";
const std::string kColetteSays = "Colette says, \"caf\xC3\xA9 costs \xE2\x82\xAC"
                                 "5\"\r\n";

struct ModernCase {
    const char* name;
    bool loggedIn;
    std::string input;
    std::string expected;
};

class ModernAnswersTest : public ModernWorld, public ::testing::WithParamInterface<ModernCase> {};

TEST_P(ModernAnswersTest, AreNeverFramed) {
    const ModernCase& row = GetParam();
    open(kTester);
    if (row.loggedIn)
        input(kTester, "connect Tester password");
    input(kTester, "OUTPUTPREFIX [on]");
    input(kTester, "OUTPUTSUFFIX [off]");
    EXPECT_EQ(send(kTester, row.input), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModernAnswersTest,
    ::testing::Values(ModernCase{"OutputPrefixIsAnUnknownCommand", true, "OUTPUTPREFIX [on]", kHuh},
                      ModernCase{"OutputSuffixIsAnUnknownCommand", true, "OUTPUTSUFFIX [off]", kHuh},
                      ModernCase{"OutputPrefixBeforeLoginShowsTheGreeting", false, "OUTPUTPREFIX [on]",
                                 kGreeting},
                      ModernCase{"UnknownInputBeforeLoginShowsTheSameBytes", false, "look", kGreeting},
                      ModernCase{"CommandReply", true, "inventory", "You aren't carrying anything.\r\n"},
                      ModernCase{"EmptyLineGetsNothing", true, "", ""},
                      ModernCase{"MessageOfTheDay", true, "motd", kMessageOfTheDay},
                      ModernCase{"WhoBeforeLoginCountsTheBotOnline", false, "WHO",
                                 "Name               On for Idle  Doing\r\n"
                                 "0 players shown of 1 online (max connected is 1).\r\n"},
                      ModernCase{"QuitStillSaysGoodbye", true, "QUIT", "\r\nCome back later!\r\n\r\n"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ModernWorld, GreetsWithBareLineFeedsThenShowsTheMessageOfTheDayBeforeTheRoom) {
    EXPECT_EQ(textFor(m_world.open(kTester, m_now), kTester),
              "\r\n#$#mcp version: \"2.1\" to: \"2.1\"\r\n" + kGreeting.substr(2));
    const std::string login = send(kTester, "connect Tester password");
    EXPECT_TRUE(login.starts_with(kMessageOfTheDay + "Town Square\r\nCobblestones")) << login;
}

TEST_F(ModernWorld, WhoLeavesTheBotOutButCountsHerOnline) {
    logIn(kTester, "Tester", "password");
    advance(seconds(90));
    logIn(kBob, "Bob", "bob");
    input(kBob, "@doing Mending lanterns");
    advance(seconds(5));
    EXPECT_EQ(send(kBob, "WHO"), "Name               On for Idle  Doing\r\n"
                                 "Tester              00:01   1m\r\n"
                                 "Bob                 00:00   0s  Mending lanterns\r\n"
                                 "2 players shown of 3 online (max connected is 3).\r\n");
    input(kBob, "QUIT");
    EXPECT_TRUE(send(kTester, "WHO").ends_with("1 player shown of 2 online (max connected is 3).\r\n"));
}

TEST_F(ModernWorld, TheBotGreetsEveryoneInTheRoomInUtf8AfterTheMoversRoom) {
    logIn(kTester, "Tester", "password");
    logIn(kBob, "Bob", "bob");
    input(kBob, "north");

    const Outcome moved = input(kTester, "north");
    EXPECT_EQ(textFor(moved, kBob), "Tester has arrived.\r\n" + kColetteSays);
    const std::string seen = textFor(moved, kTester);
    EXPECT_TRUE(seen.starts_with("North Road\r\n")) << seen;
    EXPECT_TRUE(seen.ends_with("Contents:\r\nBob\r\nColette\r\nObvious exits: south and se.\r\n" + kColetteSays))
        << seen;
    // She is awake like any connected player, yet nobody can log in as her.
    EXPECT_EQ(send(kTester, "who"), "The players awake here are Tester, Bob, and Colette.\r\n"
                                    "There are no sleepers here.\r\n");
    open(kAlice);
    EXPECT_EQ(send(kAlice, "connect Colette "),
              "Either that player does not exist, or has a different password.\r\n");
}

TEST(ModernWhoTableTest, AlignsColumnsUnderTheNameHeader) {
    EXPECT_EQ(modernWhoTableLines({{"Alice", minutes(65), seconds(5), "Writing tests"},
                                   {"Bob", std::chrono::hours(30), seconds(7300), ""}},
                                  2, 4),
              (std::vector<std::string>{
                  "Name               On for Idle  Doing", "Alice               01:05   5s  Writing tests",
                  "Bob                1d 06:00   2h", "2 players shown of 2 online (max connected is 4)."}));
}

} // namespace
} // namespace practice_world
