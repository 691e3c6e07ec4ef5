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

TEST_F(MudWorld, MsdpTellsTheVitalsAndTheRoomOnceAgreedAndOnEveryMove) {
    logIn(kTester, "Tester", "password");
    EXPECT_EQ(send(kTester, "say hi").find("\xFF\xFA\x45"), std::string::npos) << "not before it is agreed";
    const std::string agreed = textFor(m_world.agreeMsdp(kTester), kTester);
    EXPECT_NE(agreed.find("\xFF\xFA\x45\x01HEALTH\x02" "8\xFF\xF0"), std::string::npos) << agreed;
    EXPECT_NE(agreed.find("\xFF\xFA\x45\x01MOVEMENT_MAX\x02" "30\xFF\xF0"), std::string::npos) << agreed;
    EXPECT_NE(agreed.find("\x01ROOM_EXITS\x02\x03\x01north\x02" "165"), std::string::npos) << agreed;
    EXPECT_NE(agreed.find("\xFF\xFA\x45\x01ROOM_NAME\x02Town Square\xFF\xF0\xFF\xFA\x45\x01ROOM_VNUM\x02" "164"
                          "\xFF\xF0"),
              std::string::npos)
        << agreed;
    EXPECT_EQ(send(kTester, "say hi").find("ROOM_VNUM"), std::string::npos);
    EXPECT_NE(send(kTester, "north").find("\x01ROOM_VNUM\x02" "165"), std::string::npos);
}

TEST_F(MudWorld, MxpShowsTheExitsAsLinksOnceAgreedAndOnEveryMove) {
    logIn(kTester, "Tester", "password");
    EXPECT_EQ(send(kTester, "north").find("<SEND"), std::string::npos) << "not before the client agrees";
    const std::string agreed = textFor(m_world.agreeMxp(kTester), kTester);
    EXPECT_NE(agreed.find("Exits: \x1b[4z<SEND HREF=\""), std::string::npos) << agreed;
    EXPECT_EQ(send(kTester, "say hi").find("<SEND"), std::string::npos) << "once per room";
    const std::string moved = send(kTester, "south");
    EXPECT_NE(moved.find("\x1b[4z</SEND>"), std::string::npos) << moved;
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

// The MUD manner with Diku-family ways (--diku).
class DikuWorld : public WorldFixture {
protected:
    DikuWorld()
        : WorldFixture(Manner::Mud) {
        m_world.setDiku(true);
    }
    std::string openText(ConnectionId id) { return textFor(m_world.open(id, m_now), id); }
    void dikuLogIn(ConnectionId id, const std::string& name, const std::string& password) {
        open(id);
        send(id, name);
        ASSERT_NE(send(id, password).find("Welcome"), std::string::npos) << name;
    }
};

const std::string kDikuPrompt = "20H 100M 85V > ";

TEST_F(DikuWorld, AsksNameThenPasswordBehindWillEchoAndLeavesItsPromptOpen) {
    const std::string greeting = openText(kTester);
    EXPECT_TRUE(greeting.ends_with("\r\nBy what name do you wish to be known? ")) << greeting;
    EXPECT_EQ(send(kTester, "Nobody"),
              "There is no one by that name here.\r\nBy what name do you wish to be known? ");
    EXPECT_EQ(send(kTester, "tester"), "Password: \xFF\xFB\x01");
    EXPECT_EQ(send(kTester, "wrong"),
              "\xFF\xFC\x01\r\nWrong password.\r\nBy what name do you wish to be known? ");
    send(kTester, "Tester");
    const std::string room = send(kTester, "password");
    EXPECT_EQ(room.rfind("\xFF\xFC\x01\r\nWelcome", 0), 0U) << room;
    EXPECT_NE(room.find("Town Square\r\n"), std::string::npos) << room;
    EXPECT_EQ(room.substr(room.size() - kDikuPrompt.size()), kDikuPrompt);
    EXPECT_EQ(room.find("\r\r\n"), std::string::npos) << "plain line ends";
}

TEST_F(DikuWorld, TellsWhispersAndTheBracketedWho) {
    dikuLogIn(kAlice, "Alice", "alice");
    dikuLogIn(kTester, "Tester", "password");
    const Outcome told = input(kAlice, "tell tester hello there");
    EXPECT_EQ(textFor(told, kAlice), "You tell Tester, 'hello there'\r\n" + kDikuPrompt);
    EXPECT_EQ(textFor(told, kTester), "Alice tells you, 'hello there'\r\n");
    EXPECT_EQ(send(kAlice, "whisper Tester psst", kTester), "Alice whispers to you, 'psst'\r\n");
    EXPECT_EQ(send(kAlice, "tell Bob hi"), "There is no one by that name playing.\r\n" + kDikuPrompt);
    EXPECT_EQ(send(kTester, "who"), "Players\r\n-------\r\n[ 1 Wa] Tester the Swordpupil\r\n"
                                    "[ 1 Wa] Alice the Swordpupil\r\n\r\n2 characters displayed.\r\n" +
                                        kDikuPrompt);
}

} // namespace
} // namespace practice_world
