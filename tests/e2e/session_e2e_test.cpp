#include "e2e/real_client.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_views.h"
#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "qt/qt_socket.h"
#include "qt/qt_timers.h"
#include "shell/client.h"
#include "widgets/loopback_server.h"
#include "widgets/qt_wait.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// The real session on the real socket and main window against a loopback
// server; only the modal boxes and the connect dialog are scripted.
struct SessionE2E : ::testing::Test, RealClient<> {
    LoopbackServer server;

    QLineEdit* input() { return window.findChild<QLineEdit*>("Text1"); }
    QString status() { return window.findChild<QLabel*>("Label3_0")->text(); }
    QString output() { return window.findChild<QPlainTextEdit*>("Text2")->toPlainText(); }

    void typeLine(const QString& text) {
        input()->setText(text);
        QTest::keyClick(input(), Qt::Key_Return);
    }
};

TEST_F(SessionE2E, TypedLinesReachTheServerWithCrLfInOrder) {
    connectTo(server.port());
    ASSERT_TRUE(waitUntil([&] { return server.peer != nullptr; }));
    EXPECT_EQ(status(), "Status: On Line");

    server.send("Welcome to Loopback\r\nname: ");
    ASSERT_TRUE(waitUntil([&] { return output().contains("name: "); }));

    typeLine("connect Tester password");
    typeLine("");
    typeLine("say caf\u00e9");
    ASSERT_TRUE(waitUntil([&] { return server.received.endsWith("caf\xE9\r\n"); }));
    EXPECT_EQ(server.received, QByteArray("connect Tester password\r\n\r\nsay caf\xE9\r\n"));
    EXPECT_TRUE(input()->text().isEmpty());
}

TEST_F(SessionE2E, QuitSendsTheSequenceAndAsksAfterTheServerCloses) {
    connectTo(server.port());
    ASSERT_TRUE(waitUntil([&] { return server.peer != nullptr; }));
    prompts.answers = {PromptAnswer::No};

    client.onCommandButton(8);
    ASSERT_TRUE(waitUntil([&] { return server.received.contains("QUIT\r\n"); }));
    EXPECT_EQ(server.received, QByteArray("@set me=_arrive/vrox:\r\nQUIT\r\n"));
    EXPECT_TRUE(prompts.questions.empty());

    server.send("\r\nCome back later!\r\n\r\n");
    server.close();
    ASSERT_TRUE(waitUntil([&] { return !prompts.questions.empty(); }));
    EXPECT_EQ(prompts.questions[0].text,
              "Connection closed.\r\n\nWould you like to connect to another MUD/MUCK?");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(status(), "Status: Off Line");
    EXPECT_TRUE(output().contains("Come back later!"));
}

TEST_F(SessionE2E, AServerCloseIsAnnounced) {
    connectTo(server.port());
    ASSERT_TRUE(waitUntil([&] { return server.peer != nullptr; }));
    server.close();
    ASSERT_TRUE(waitUntil([&] { return !prompts.messages.empty(); }));
    EXPECT_EQ(prompts.messages[0].text, "Connection Closed");
    EXPECT_EQ(sound.beeps, 1);
    EXPECT_FALSE(client.session().Connected);
    EXPECT_EQ(window.windowTitle(), "CORVane 2.1");
}

TEST_F(SessionE2E, CommandsKeepTheirOrderWhenTheServerReadsSlowly) {
    connectTo(server.port());
    ASSERT_TRUE(waitUntil([&] { return server.peer != nullptr; }));
    server.reading = false;

    // Enough to fill the kernel's buffers so later sends have to wait.
    const std::string filler(64 * 1024, 'x');
    QByteArray expected;
    bool sawWaiting = false;
    for (int i = 0; i < 200; ++i) {
        const std::string command = "say " + std::to_string(i) + " " + filler + "\r\n";
        client.sender().SendCommand(command);
        expected += QByteArray::fromStdString(command);
        sawWaiting = sawWaiting || status() == "Status: Waiting to send...";
    }
    EXPECT_TRUE(sawWaiting);
    EXPECT_TRUE(client.sender().busy());

    server.resumeReading();
    ASSERT_TRUE(waitUntil([&] { return server.received.size() >= expected.size(); }, 20000));
    EXPECT_TRUE(server.received == expected);
    ASSERT_TRUE(waitUntil([&] { return !client.sender().busy(); }));
    EXPECT_EQ(status(), "Status: On Line");
}

TEST_F(SessionE2E, ARefusedConnectionShowsConnectionFailedWithItsNumber) {
    // A port nobody listens on: take a free one and close it again.
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    connectTo(port);
    ASSERT_TRUE(waitUntil([&] { return !prompts.messages.empty(); }));
    EXPECT_EQ(prompts.messages[0].title, "Connection Failed 10061");
    EXPECT_EQ(prompts.messages[0].text, "Connection refused");
    EXPECT_EQ(status(), "Status: Off Line");
    EXPECT_FALSE(client.session().Connected);
}

TEST_F(SessionE2E, AnUnknownHostIsReadable) {
    connectTo(4201);
    // connectTo uses 127.0.0.1; reconnect to a name that cannot resolve.
    client.connection().DisconnectFromWorld();
    prompts.messages.clear();
    client.connection().ConnectToWorld("Nowhere", "no-such-host.invalid", "23", -1);
    ASSERT_TRUE(waitUntil([&] { return !prompts.messages.empty(); }, 15000));
    EXPECT_EQ(prompts.messages[0].title, "Connection Failed 11001");
    EXPECT_EQ(prompts.messages[0].text, "Host not found");
}

} // namespace
} // namespace corvane::testing
