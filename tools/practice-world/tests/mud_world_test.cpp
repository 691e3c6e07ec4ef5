#include "world_fixture.h"

#include <gtest/gtest.h>

namespace practice_world {
namespace {

// The town as a MUD server runs it.
class MudWorld : public WorldFixture {
protected:
    MudWorld()
        : WorldFixture(Manner::Mud) {}
};

const std::string kPrompt = "HP:8/10 MP:5 > \xFF\xF9";

TEST_F(MudWorld, AnswersWithPromptsTablesAndItsOwnErrors) {
    logIn(kTester, "Tester", "password");
    EXPECT_EQ(send(kTester, "frobnicate now"),
              "Command 'frobnicate' is not available. Type \"help\" for help.\r\n" + kPrompt);
    EXPECT_EQ(send(kTester, "say caf\xE9"), "Your client sent an incorrect UTF-8 sequence.\r\n" + kPrompt);
    EXPECT_EQ(send(kTester, "say caf\xC3\xA9"), "You say, \"caf\xC3\xA9\"\r\n" + kPrompt);
    const std::string who = send(kTester, "WHO");
    EXPECT_EQ(who.rfind("+---", 0), 0U) << who;
    EXPECT_NE(who.find("\r\r\n| Tester "), std::string::npos) << who;
    EXPECT_NE(who.find("\r\r\n1 unique accounts logged in.\r\n" + kPrompt), std::string::npos) << who;
}

TEST_F(MudWorld, GmcpTellsTheRoomOnceAgreedAndOnEveryMove) {
    logIn(kTester, "Tester", "password");
    const std::string agreed = textFor(m_world.agreeGmcp(kTester), kTester);
    EXPECT_NE(agreed.find("Room.Info {\"num\":164,\"name\":\"Town Square\""), std::string::npos) << agreed;
    EXPECT_NE(agreed.find("Char.Vitals"), std::string::npos);
    EXPECT_EQ(send(kTester, "say hi").find("Room.Info"), std::string::npos);
    EXPECT_NE(send(kTester, "north").find("Room.Info {\"num\":165"), std::string::npos);
}

TEST_F(MudWorld, OocReachesEveryoneWithTheChannelMessageOnlyWhereAgreed) {
    logIn(kTester, "Tester", "password");
    logIn(kAlice, "Alice", "alice");
    m_world.agreeGmcp(kAlice);
    const Outcome outcome = input(kTester, "ooc hello all");
    EXPECT_EQ(textFor(outcome, kTester), "[OOC] Tester: hello all\r\n" + kPrompt);
    EXPECT_EQ(textFor(outcome, kAlice), "\xFF\xFA\xC9" R"(Comm.Channel.Text {"channel":"ooc","talker":"Tester","text":"[OOC] Tester: hello all"})"
                                        "\xFF\xF0[OOC] Tester: hello all\r\n");
}

} // namespace
} // namespace practice_world
