#include "core/gmcp_messages.h"
#include "fakes/client_harness.h"
#include "fakes/telnet_bytes.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

std::string gmcp(const std::string& body) {
    return IAC + SB + "\xC9" + body + IAC + SE;
}

struct VitalsCase {
    std::string name;
    std::string json;
    std::string shown;
};

void PrintTo(const VitalsCase& row, std::ostream* out) {
    *out << row.name;
}

class VitalsTest : public ::testing::TestWithParam<VitalsCase> {};

TEST_P(VitalsTest, ReadsAsTheStatusLineShowsIt) {
    EXPECT_EQ(GmcpMessages::VitalsText(GetParam().json), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Vitals, VitalsTest,
    ::testing::Values(VitalsCase{"NumbersAsStrings", R"({"hp":"8","maxhp":"10","mp":"5"})", "HP 8/10  MP 5"},
                      VitalsCase{"NumbersAsNumbers", R"({"hp":8,"maxhp":10,"mp":5,"maxmp":7})", "HP 8/10  MP 5/7"},
                      VitalsCase{"NothingKnown", R"({"level":3})", ""},
                      VitalsCase{"NotAnObject", R"([1,2])", ""}, VitalsCase{"BrokenJson", R"({"hp":)", ""}),
    [](const ::testing::TestParamInfo<VitalsCase>& row) { return row.param.name; });

// A world stored as a MUD: GMCP is agreed and drives the room, what is typed
// goes out as UTF-8 from the first line, and QUIT sends only "quit".
struct MudWorldTest : ::testing::Test {
    ClientHarness h;
    void SetUp() override {
        h.connect();
        h.client.session().Server = ServerKind::Mud;
        h.client.lineProcessor().telnet().setAccepted(telnet_option::Gmcp, TelnetFilter::Side::Remote, true);
        h.client.session().TagMode = true;
        h.socket.sent.clear();
    }
};

TEST_F(MudWorldTest, GmcpGreetsAndRoomInfoMovesTheCaptionAndTheWalk) {
    h.socket.receive(IAC + "\xFB\xC9");
    EXPECT_EQ(h.socket.allSent(), IAC + "\xFD\xC9" +
                                      gmcp(R"(Core.Hello {"client":"CORVANE","version":"2.1"})") +
                                      gmcp(R"(Core.Supports.Set ["Room 1","Char 1","Comm.Channel 1"])"));
    h.socket.receive(gmcp(R"(Room.Info {"num":165,"name":"North Road","area":"Town","exits":{"s":164,"se":166}})") +
                     gmcp(R"(Char.Vitals {"hp":"8","maxhp":"10","mp":"5"})") + gmcp("Unknown.Thing [1") +
                     "Text\r\n");
    EXPECT_EQ(h.client.session().RoomRef, 165);
    EXPECT_EQ(h.client.session().RoomName, "North Road");
    EXPECT_EQ(h.window.captionText, "Test - North Road");
    EXPECT_EQ(h.window.labels[0], "Status: On Line   HP 8/10  MP 5");
    EXPECT_NE(h.window.output.find("Text\n"), std::string::npos);
}

TEST_F(MudWorldTest, AGmcpMessageOverTheCapIsDroppedWithOneNoticePerPackage) {
    h.socket.receive(IAC + "\xFB\xC9");
    const std::string huge = "{\"text\":\"" + std::string(TelnetFilter::MaxSubnegotiationLength, 'z') + "\"}";
    for (int i = 0; i < 3; ++i) {
        h.socket.receive(gmcp("Comm.Channel.Text " + huge) + "after " + std::to_string(i) + "\r\n");
    }
    h.socket.receive(gmcp("Room.Info " + huge) + "\r\n");
    h.clock.runPending();
    const std::string& output = h.window.output;
    EXPECT_EQ(output.find("zzz"), std::string::npos) << "none of it spills into the output";
    EXPECT_NE(output.find("after 0\nafter 1\nafter 2\n"), std::string::npos) << output.substr(0, 400);
    const std::string notice = "*** A GMCP Comm.Channel.Text message from the world was larger than 64 KiB and was "
                               "dropped";
    const std::size_t at = output.find(notice);
    ASSERT_NE(at, std::string::npos) << output.substr(0, 400);
    EXPECT_EQ(output.find(notice, at + 1), std::string::npos) << "once for its package";
    EXPECT_NE(output.find("*** A GMCP Room.Info message"), std::string::npos);
}

TEST_F(MudWorldTest, AutomaticSendsUtf8UntilTheWorldSendsSomethingElse) {
    h.type("say caf\xC3\xA9");
    EXPECT_EQ(h.socket.allSent(), "say caf\xC3\xA9\r\n");
    h.socket.sent.clear();
    h.socket.receive("caf\xE9\r\n");
    h.type("say caf\xC3\xA9");
    EXPECT_EQ(h.socket.allSent(), "say caf\xE9\r\n");
}

TEST_F(MudWorldTest, QuitSendsOnlyQuit) {
    h.client.connection().Quit();
    EXPECT_EQ(h.socket.allSent(), "quit\r\n");
}

} // namespace
} // namespace corvane::testing
