#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "param_name.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

using ::testing::Test;

struct ConnectionTest : Test {
    ClientHarness h;
    Session& session() { return h.client.session(); }
};

TEST_F(ConnectionTest, ConnectingPutsTheSessionOnLineAndEnablesTheCharacterLogin) {
    h.connect("FurryMUCK", "furrymuck.com", "8888");

    EXPECT_EQ(h.socket.connectCalls, std::vector<std::string>{"furrymuck.com:8888"});
    EXPECT_TRUE(session().Connected);
    EXPECT_FALSE(session().TagMode);
    EXPECT_EQ(session().WorldName, "FurryMUCK");
    EXPECT_EQ(h.window.labels[0], "Status: On Line");
    EXPECT_EQ(h.window.captionText, "CORVane 2.1 on FurryMUCK");
    EXPECT_TRUE(h.window.menuEnabled[MenuItem::GameConnect]);
    EXPECT_TRUE(h.window.commandEnabled[command_button::Connect]);
    EXPECT_TRUE(h.window.commandEnabled[command_button::WhoIsOn]);
    EXPECT_EQ(h.window.output,
              "\nConnecting to furrymuck.com...\nConnected, waiting for a response from FurryMUCK...\n");
}

TEST_F(ConnectionTest, EmptyFieldsAreRefusedAndTheDialogStaysOpen) {
    h.views.addressBookScript = [](FakeAddressBookView& dialog) {
        dialog.setWorldName("Test");
        dialog.setHost("");
        dialog.events->onOk();
        EXPECT_TRUE(dialog.open);
        dialog.events->onCancel();
    };
    h.client.FileConnect();
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "All fields are required!");
    EXPECT_TRUE(h.socket.connectCalls.empty());
    EXPECT_FALSE(session().Connected);
}

TEST_F(ConnectionTest, AConnectThatCannotStartShowsConnectionFailedWithItsNumber) {
    h.socket.connectError = SocketError{10049, "Invalid port number"};
    h.connect("Test", "localhost", "0");
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].title, "Connection Failed 10049");
    EXPECT_EQ(h.prompts.messages[0].text, "Invalid port number");
    EXPECT_FALSE(session().Connected);
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
}

TEST_F(ConnectionTest, ARefusedConnectIsReportedAsAFailedConnectNotALostLine) {
    h.views.addressBookScript = [](FakeAddressBookView& dialog) {
        dialog.setWorldName("Test");
        dialog.setHost("127.0.0.1");
        dialog.setPort("1");
        dialog.events->onOk();
    };
    h.client.FileConnect();
    h.socket.failWith(10061, "Connection refused");

    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].title, "Connection Failed 10061");
    EXPECT_EQ(h.prompts.messages[0].text, "Connection refused");
    EXPECT_EQ(h.window.output, "\nConnecting to 127.0.0.1...\n\n*** Connection refused.\n");
    EXPECT_FALSE(session().Connected);
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
    EXPECT_EQ(h.window.captionText, "CORVane 2.1");
}

TEST_F(ConnectionTest, AServerCloseResetsTheSessionWithABeepAndABox) {
    h.connect();
    h.socket.serverCloses();
    EXPECT_FALSE(session().Connected);
    EXPECT_TRUE(session().WorldName.empty());
    EXPECT_EQ(session().WorldIndex, -1);
    EXPECT_TRUE(session().TagMode);
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
    EXPECT_EQ(h.window.captionText, "CORVane 2.1");
    EXPECT_EQ(h.sound.beeps, 1);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Connection Closed");
}

TEST_F(ConnectionTest, ASecureStreamCutOffSaysSoThenClosesAsUsual) {
    h.connect();
    h.socket.receive("Last line\r\n");
    h.socket.streamCutOff();
    const std::size_t notice =
        h.window.output.find("*** The secure connection was cut off; the last lines may be missing.\n");
    ASSERT_NE(notice, std::string::npos) << h.window.output;
    EXPECT_LT(h.window.output.find("Last line"), notice);
    EXPECT_FALSE(session().Connected);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Connection Closed");
}

struct SocketErrorCase {
    int number;
    std::string description;
    std::string outputLine;
};

void PrintTo(const SocketErrorCase& row, std::ostream* out) {
    *out << row.number << " " << row.description;
}

class SocketErrorTest : public ::testing::TestWithParam<SocketErrorCase> {};

TEST_P(SocketErrorTest, ALostConnectionIsAnnouncedThenDisconnected) {
    ClientHarness h;
    h.connect("Test");
    h.socket.receive("Welcome\r\n");
    h.socket.failWith(GetParam().number, GetParam().description);

    EXPECT_NE(h.window.output.find(GetParam().outputLine), std::string::npos) << h.window.output;
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Connection Lost");
    EXPECT_EQ(h.sound.beeps, 1);
    EXPECT_FALSE(h.client.session().Connected);
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SocketErrorTest,
    ::testing::Values(SocketErrorCase{10054, "Connection reset by peer", "\n*** Disconnected from Test\n"},
                      SocketErrorCase{10060, "Connection timed out", "\n*** Connection timed out.\n"},
                      SocketErrorCase{10053, "Connection aborted", "\n*** Connection aborted.\n"}),
    [](const auto& info) {
        return ParamName(std::to_string(info.param.number) + " " + info.param.description);
    });

TEST_F(ConnectionTest, WouldBlockOnlyMarksTheSendOutstanding) {
    h.connect();
    const std::string before = h.window.output;
    h.socket.events->onSocketError({10035, "Would block"});
    EXPECT_FALSE(session().SendDone);
    EXPECT_EQ(h.window.output, before);
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_TRUE(session().Connected);
}

TEST_F(ConnectionTest, DisconnectWhileOffLineSaysNotConnectedAndChangesNothing) {
    h.client.start();
    h.prompts.messages.clear();
    h.client.onMenuTriggered(MenuItem::FileDisconnect);
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text, "Not connected.");
    EXPECT_EQ(h.prompts.messages[0].title, "ERROR");
    EXPECT_FALSE(session().DisconnectRequested);
}

TEST_F(ConnectionTest, DisconnectClosesQuietly) {
    h.connect();
    h.client.onMenuTriggered(MenuItem::FileDisconnect);
    EXPECT_FALSE(session().Connected);
    EXPECT_EQ(h.socket.state(), Socket::State::Closed);
    EXPECT_TRUE(h.prompts.messages.empty());
    EXPECT_EQ(h.sound.beeps, 0);
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
}

TEST_F(ConnectionTest, QuitSendsTheUnhookAndQuitThenAsksOnceTheServerHasClosed) {
    h.connect();
    h.prompts.answers = {PromptAnswer::No};
    h.client.onCommandButton(command_button::Quit);

    EXPECT_EQ(h.socket.allSent(), "@set me=_arrive/vrox:\r\nQUIT\r\n");
    EXPECT_EQ(h.window.labels[0], "Status: Disconnecting...");
    EXPECT_TRUE(h.prompts.questions.empty()) << "asked before the server closed";

    h.socket.receive("\r\nCome back later!\r\n\r\n");
    h.socket.serverCloses();

    EXPECT_TRUE(h.prompts.messages.empty()) << "a requested close shows no Connection Closed box";
    EXPECT_EQ(h.sound.beeps, 0);
    ASSERT_EQ(h.prompts.questions.size(), 1u);
    EXPECT_EQ(h.prompts.questions[0].text,
              "Connection closed.\r\n\nWould you like to connect to another MUD/MUCK?");
    EXPECT_EQ(h.prompts.questions[0].title, "CORVane 2.1");
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
    EXPECT_FALSE(session().DisconnectRequested);
}

TEST_F(ConnectionTest, AnsweringYesAfterQuitOpensTheConnectDialog) {
    h.connect();
    const int dialogsBefore = h.views.addressBooksCreated;
    h.prompts.answers = {PromptAnswer::Yes};
    h.client.onCommandButton(command_button::Quit);
    h.socket.serverCloses();
    EXPECT_EQ(h.views.addressBooksCreated, dialogsBefore + 1);
}

TEST_F(ConnectionTest, QuitWhileOffLineAsksAtOnceAndSendsNothing) {
    h.client.start();
    h.prompts.answers = {PromptAnswer::No};
    h.client.onCommandButton(command_button::Quit);
    EXPECT_TRUE(h.socket.sent.empty());
    ASSERT_EQ(h.prompts.questions.size(), 1u);
    EXPECT_EQ(h.window.labels[0], "Status: Off Line");
}

TEST_F(ConnectionTest, DisconnectDuringTheQuitWaitEndsTheWait) {
    h.connect();
    h.prompts.answers = {PromptAnswer::No};
    h.client.onCommandButton(command_button::Quit);
    h.client.onMenuTriggered(MenuItem::FileDisconnect);
    EXPECT_EQ(h.prompts.questions.size(), 1u);
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST_F(ConnectionTest, ReceivedTextWaitsWhileOutputIsPaused) {
    h.connect();
    session().OutputPaused = true;
    h.socket.receive("held\r\n");
    EXPECT_EQ(h.client.receivePath().heldText(), "held\r\n");
    EXPECT_EQ(h.window.output.find("held"), std::string::npos);
}

TEST_F(ConnectionTest, ConnectingAgainAfterAFailureReusesTheSocket) {
    h.socket.connectError = SocketError{11001, "Host not found"};
    h.connect("Test", "nowhere.invalid", "23");
    h.socket.connectError.reset();
    h.connect("Test", "127.0.0.1", "4201");
    EXPECT_EQ(h.socket.connectCalls.size(), 2u);
    EXPECT_TRUE(session().Connected);
}

TEST(CommandLineConnection, EndsTheProgramWhenItIsOverAfterItsBoxHasBeenRead) {
    struct Ending {
        const char* name;
        std::function<void(ClientHarness&)> end;
        std::string box; // empty: none
    };
    const std::vector<Ending> endings = {
        {"refused", [](ClientHarness& h) { h.socket.failWith(10061, "Connection refused"); },
         "Connection refused"},
        {"server closes",
         [](ClientHarness& h) {
             h.socket.accept();
             h.socket.serverCloses();
         },
         "Connection Closed"},
        {"QUIT asks nothing",
         [](ClientHarness& h) {
             h.socket.accept();
             h.client.onCommandButton(command_button::Quit);
             h.socket.serverCloses();
         },
         ""},
    };
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.name);
        // A stored address connects at once; an unknown one waits for a name.
        ScratchFolder folder;
        folder.write("CORVANE.INI", "[Addresses]\r\nMUD 1=Local,127.0.0.1,4201\r\n");
        ClientHarness cl("telnet://127.0.0.1:4201", folder.file("CORVANE.INI"));
        std::vector<std::size_t> exitsWhileBoxShown;
        cl.prompts.onMessage = [&] { exitsWhileBoxShown.push_back(cl.program.exitCodes.size()); };
        cl.client.start();
        EXPECT_EQ(cl.socket.connectCalls, std::vector<std::string>{"127.0.0.1:4201"});
        EXPECT_TRUE(cl.program.exitCodes.empty());
        ending.end(cl);

        EXPECT_EQ(cl.program.exitCodes, std::vector<int>{0});
        EXPECT_TRUE(cl.prompts.questions.empty());
        if (ending.box.empty()) {
            EXPECT_TRUE(cl.prompts.messages.empty());
        } else {
            ASSERT_EQ(cl.prompts.messages.size(), 1u);
            EXPECT_EQ(cl.prompts.messages[0].text, ending.box);
            EXPECT_EQ(exitsWhileBoxShown, std::vector<std::size_t>{0}) << "the program ended under the box";
        }
    }
}

} // namespace
} // namespace corvane::testing
