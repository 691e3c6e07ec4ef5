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
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvane::testing {
namespace {

// A server on a plain socket that reads only when told to: Qt's own sockets
// read ahead into memory whether anyone asks or not.
class StubbornServer {
public:
    StubbornServer() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 1);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~StubbornServer() {
        for (int fd : {m_peer, m_listener}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    StubbornServer(const StubbornServer&) = delete;
    StubbornServer& operator=(const StubbornServer&) = delete;

    quint16 port() const { return m_port; }
    bool accepted() {
        if (m_peer < 0) {
            m_peer = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        }
        return m_peer >= 0;
    }
    // Writes what the connection takes of an endless repetition of the pattern.
    std::size_t writeMore(const std::string& pattern) {
        std::size_t now = 0;
        while (true) {
            const std::size_t offset = m_written % pattern.size();
            const ssize_t sent =
                ::send(m_peer, pattern.data() + offset, pattern.size() - offset, MSG_NOSIGNAL);
            if (sent <= 0) {
                return now;
            }
            now += static_cast<std::size_t>(sent);
            m_written += static_cast<std::size_t>(sent);
        }
    }
    // Reads whatever has arrived.
    void readMore() {
        char buffer[64 * 1024];
        ssize_t got = 0;
        while ((got = ::recv(m_peer, buffer, sizeof buffer, 0)) > 0) {
            m_read.append(buffer, static_cast<std::size_t>(got));
        }
    }
    std::size_t written() const { return m_written; }
    const std::string& read() const { return m_read; }

private:
    int m_listener = -1;
    int m_peer = -1;
    quint16 m_port = 0;
    std::size_t m_written = 0;
    std::string m_read;
};

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

TEST_F(SessionE2E, AServerThatNeverReadsIsNotReadEitherWhileAMebibyteOfRepliesWaits) {
    StubbornServer stubborn;
    connectTo(stubborn.port());
    ASSERT_TRUE(waitUntil([&] { return stubborn.accepted() && client.session().Connected; }));
    // Telnet requests (IAC DO option) for options Corvane refuses, each
    // answered with three bytes (IAC WONT option).
    std::string requests;
    for (int option = 50; option < 250; ++option) {
        requests += {'\xFF', '\xFD', static_cast<char>(option)};
    }
    constexpr std::size_t kMiB = 1024 * 1024;

    // The client stops reading, so the server's writes stop going anywhere.
    ASSERT_TRUE(waitUntil(
        [&] {
            return stubborn.writeMore(requests) == 0 && socket.readingPaused() &&
                   stubborn.writeMore(requests) == 0;
        },
        20000));
    // What waits is bounded by the limit plus the replies to one read.
    EXPECT_GT(socket.pendingOutput(), kMiB);
    EXPECT_LT(socket.pendingOutput(), 2 * kMiB);

    // Once the server reads, the client reads again and answers every whole request.
    const std::size_t answers = stubborn.written() / 3 * 3;
    ASSERT_TRUE(waitUntil(
        [&] {
            stubborn.readMore();
            return stubborn.read().size() >= answers;
        },
        20000));
    EXPECT_EQ(stubborn.read().size(), answers);
    EXPECT_EQ(stubborn.read().substr(0, 6), std::string("\xFF\xFC\x32\xFF\xFC\x33"));
    EXPECT_FALSE(socket.readingPaused());
    EXPECT_EQ(socket.pendingOutput(), 0u);
    EXPECT_TRUE(client.session().Connected);
    EXPECT_TRUE(prompts.messages.empty());
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
