#include "e2e/practice_world_process.h"
#include "e2e/real_client.h"
#include "e2e/temp_folder.h"
#include "settings/settings.h"
#include "widgets/loopback_server.h"
#include "widgets/qt_wait.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

namespace corvane::testing {
namespace {

const QByteArray kLoginBytes = "connect Tester password\r\n"
                               "@set me=_arrive/vrox:&[vrox] {ref:here} {name:here}\r\n"
                               "OUTPUTPREFIX [on]\r\n"
                               "OUTPUTSUFFIX [off]\r\n";

void trust(FakeCertificateView& question) {
    question.events->onTrust();
}

// The folder of the settings file, made before the client that is told about it.
struct SecureClient : TempFolder, RealClient<> {
    SecureClient()
        : RealClient<>(options()) {}

    QString output() const { return window.outputBox()->toPlainText(); }
    const QLabel* lock() const { return window.findChild<QLabel*>("lblSecure"); }
    bool lockShown() const { return lock()->isVisibleTo(&window); }
    std::string stored(const char* key) const { return ReadSetting("Practice", key, settingsPath()); }
    const ShownMessage* failureBox() const {
        for (const ShownMessage& message : prompts.messages) {
            if (message.title.rfind("Connection Failed", 0) == 0) {
                return &message;
            }
        }
        return nullptr;
    }
};

// The real client against the practice world's TLS port, started as
// "--world Practice --character Tester" with the world stored as secure.
struct SecureWorldE2E : ::testing::Test, SecureClient {
    PracticeWorldProcess world;

    bool startWorld(PracticeWorldProcess& process, const char* logName) {
        return process.start(dir.filePath(logName), {"--tls-port", "0"});
    }
    void storeWorld(quint16 port) {
        WriteSetting("Addresses", "MUD 1", "Practice,127.0.0.1," + std::to_string(port), settingsPath());
        WriteSetting("Practice", "Secure", "True", settingsPath());
        WriteSetting("Practice", "Character 1", "Tester,B5;@<!=&", settingsPath());
    }
    bool start() {
        if (!startWorld(world, "world.log")) {
            ADD_FAILURE() << "the practice world did not start";
            return false;
        }
        storeWorld(world.tlsPort());
        client.start(false);
        return true;
    }
    // The login is typed at once; it leaves only after the certificate is accepted.
    void logIn() {
        if (const auto error = client.startLoggedIn("Practice", "Tester")) {
            ADD_FAILURE() << *error;
        }
    }
    bool loggedIn(PracticeWorldProcess& process, int connection) {
        return waitUntil([&] {
                   return client.sender().ownAnswers().hiddenLines() >= static_cast<std::size_t>(connection);
               }) &&
               process.received(connection) == kLoginBytes;
    }
};

TEST_F(SecureWorldE2E, ASelfSignedCertificateIsShownAndCancelEndsTheConnectWithNothingSent) {
    ASSERT_TRUE(start());
    logIn();
    ASSERT_TRUE(waitUntil([&] { return !client.session().Connected; }));

    ASSERT_EQ(views.certificateQuestions.size(), 1U);
    const auto& question = views.certificateQuestions[0];
    EXPECT_FALSE(question.changed);
    EXPECT_EQ(question.certificate.sha256, world.fingerprint().toStdString());
    EXPECT_EQ(question.certificate.host, "127.0.0.1");
    EXPECT_EQ(question.certificate.subject, "O = Corvane practice world, CN = localhost");
    EXPECT_EQ(question.certificate.issuer, question.certificate.subject);
    EXPECT_NE(question.certificate.problem.find("self-signed"), std::string::npos);
    EXPECT_NE(question.certificate.validUntil.find(" UTC"), std::string::npos);

    EXPECT_TRUE(output().contains("The certificate of 127.0.0.1 was not trusted; nothing was sent."));
    EXPECT_EQ(failureBox(), nullptr);
    EXPECT_FALSE(lockShown());
    EXPECT_EQ(stored("CertSHA256"), "");
    pumpEvents(200);
    EXPECT_EQ(world.received(1), QByteArray());
}

TEST_F(SecureWorldE2E, ATrustedCertificateLogsInWithTheLockAndIsAcceptedSilentlyNextTime) {
    ASSERT_TRUE(start());
    views.certificateScript = trust;
    logIn();
    ASSERT_TRUE(loggedIn(world, 1));
    EXPECT_EQ(stored("CertSHA256"), world.fingerprint().toStdString());
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lock()->toolTip(), "Secure connection (TLS 1.3)");
    EXPECT_EQ(window.findChild<QLabel*>("Label3_0")->text(), "Status: On Line");
    EXPECT_TRUE(output().contains("To connect to your character use"));

    client.onMenuTriggered(MenuItem::FileDisconnect);
    EXPECT_FALSE(lockShown());

    views.certificateScript = nullptr;
    logIn();
    ASSERT_TRUE(loggedIn(world, 2));
    EXPECT_EQ(views.certificateQuestions.size(), 1U);
    EXPECT_TRUE(lockShown());
}

// The world ends the session after QUIT: with close_notify nothing more is
// said; a stream cut without it (--tls-cut-off) is named in the output and
// the history before the closing box.
struct SecureQuitE2E : SecureWorldE2E, ::testing::WithParamInterface<bool> {};

TEST_P(SecureQuitE2E, OnlyAStreamEndedWithoutCloseNotifyIsShownAsCutOff) {
    const bool cut = GetParam();
    const std::string cutOff = "*** The secure connection was cut off; the last lines may be missing.";
    QStringList options{"--tls-port", "0"};
    if (cut) {
        options << "--tls-cut-off";
    }
    ASSERT_TRUE(world.start(dir.filePath("world.log"), options));
    storeWorld(world.tlsPort());
    client.start(false);
    views.certificateScript = trust;
    logIn();
    ASSERT_TRUE(loggedIn(world, 1));
    QLineEdit* input = window.findChild<QLineEdit*>("Text1");
    input->setText("QUIT");
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return !client.session().Connected; }));
    const SessionHistory& history = client.sessionHistory();
    const auto inHistory = [&] {
        return history.find(cutOff, history.firstLine(), 0, SessionHistory::Direction::Forward, true).has_value();
    };
    EXPECT_EQ(waitUntil(inHistory, cut ? 3000 : 300), cut);
    EXPECT_EQ(output().contains(QString::fromStdString(cutOff)), cut) << output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Secure, SecureQuitE2E, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
    return std::string(info.param ? "CutOff" : "Closed");
});

// Compression runs inside the secure channel: TLS, then inflate, then telnet.
TEST_F(SecureWorldE2E, ACompressedWorldOverTlsIsReadAsAPlainOne) {
    ASSERT_TRUE(world.start(dir.filePath("world.log"), {"--tls-port", "0", "--mud", "--mccp"}));
    storeWorld(world.tlsPort());
    client.start(false);
    views.certificateScript = trust;
    logIn();
    ASSERT_TRUE(waitUntil([&] { return output().contains("HP:8/10 MP:5 > "); })) << output().toStdString();
    // The world's log is written as it goes, not at once.
    EXPECT_TRUE(waitUntil([&] { return world.sent(1).contains("\xff\xfa\x56\xff\xf0"); }));
    EXPECT_TRUE(lockShown());
    EXPECT_TRUE(output().contains("Town Square")) << output().toStdString();
    EXPECT_FALSE(output().contains("corrupt"));
}

TEST_F(SecureWorldE2E, AChangedCertificateIsRefusedWithAWarningUntilTheUserTrustsIt) {
    ASSERT_TRUE(start());
    views.certificateScript = trust;
    logIn();
    ASSERT_TRUE(loggedIn(world, 1));
    client.onMenuTriggered(MenuItem::FileDisconnect);
    world.stop();

    // The world starts again with a new certificate.
    PracticeWorldProcess restarted;
    ASSERT_TRUE(startWorld(restarted, "restarted.log"));
    ASSERT_NE(restarted.fingerprint(), world.fingerprint());
    storeWorld(restarted.tlsPort());

    views.certificateScript = nullptr;
    logIn();
    ASSERT_TRUE(waitUntil([&] { return !client.session().Connected; }));
    ASSERT_EQ(views.certificateQuestions.size(), 2U);
    const auto& warning = views.certificateQuestions[1];
    EXPECT_TRUE(warning.changed);
    EXPECT_NE(warning.headline.find("has CHANGED since you trusted it"), std::string::npos);
    EXPECT_EQ(warning.previous, world.fingerprint().toStdString());
    EXPECT_EQ(warning.certificate.sha256, restarted.fingerprint().toStdString());
    EXPECT_EQ(stored("CertSHA256"), world.fingerprint().toStdString());

    views.certificateScript = trust;
    logIn();
    ASSERT_TRUE(loggedIn(restarted, 2));
    // The refused connection got nothing, not even the login typed during it.
    EXPECT_EQ(restarted.received(1), QByteArray());
    EXPECT_EQ(stored("CertSHA256"), restarted.fingerprint().toStdString());
}

TEST_F(SecureWorldE2E, ASecureConnectToThePlainPortFailsWithAReason) {
    ASSERT_TRUE(startWorld(world, "world.log"));
    storeWorld(world.port());
    client.start(false);
    logIn();
    ASSERT_TRUE(waitUntil([&] { return failureBox() != nullptr; }));
    EXPECT_EQ(failureBox()->title, "Connection Failed 13001");
    EXPECT_EQ(failureBox()->text,
              "The server did not answer in TLS. Is this the world's plain (not secure) port?");
    EXPECT_TRUE(output().contains(
        "*** The server did not answer in TLS. Is this the world's plain (not secure) port?\n"));
    EXPECT_FALSE(client.session().Connected);
    EXPECT_TRUE(views.certificateQuestions.empty());
    EXPECT_EQ(world.received(1).indexOf("connect Tester"), -1);
}

// ---- Servers that break the handshake ------------------------------------

struct BrokenHandshakeRow {
    const char* name;
    // What the server does once the client's hello has arrived.
    std::function<void(LoopbackServer&)> serverDoes;
    int failure;
    const char* reason;
};

std::ostream& operator<<(std::ostream& out, const BrokenHandshakeRow& row) {
    return out << row.name;
}

QByteArray noise(int size) {
    std::mt19937 random(12);
    QByteArray bytes;
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

struct BrokenHandshake : ::testing::TestWithParam<BrokenHandshakeRow>, SecureClient {
    LoopbackServer server;
};

TEST_P(BrokenHandshake, EndsWithConnectionFailedAndNeverSendsTheLogin) {
    const BrokenHandshakeRow& row = GetParam();
    socket.setHandshakeTimeout(std::chrono::milliseconds(400));
    views.addressBookScript = [this](FakeAddressBookView& dialog) {
        dialog.setWorldName("Loopback");
        dialog.setHost("127.0.0.1");
        dialog.setPort(std::to_string(server.port()));
        dialog.setSecure(true);
        dialog.events->onOk();
    };
    client.FileConnect();
    ASSERT_TRUE(client.session().Connected);
    client.sender().SendCommand("connect Tester password\r\n");
    // A TLS hello is a handshake record.
    ASSERT_TRUE(waitUntil([&] { return server.received.size() > 5; }));
    EXPECT_EQ(server.received.at(0), '\x16');
    row.serverDoes(server);

    ASSERT_TRUE(waitUntil([&] { return failureBox() != nullptr; }, 3000));
    EXPECT_EQ(failureBox()->title, "Connection Failed " + std::to_string(row.failure));
    EXPECT_EQ(failureBox()->text.rfind(row.reason, 0), 0U) << failureBox()->text;
    EXPECT_FALSE(client.session().Connected);
    EXPECT_EQ(window.findChild<QLabel*>("Label3_0")->text(), "Status: Off Line");
    EXPECT_EQ(server.received.indexOf("connect Tester"), -1);
    EXPECT_TRUE(views.certificateQuestions.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Servers, BrokenHandshake,
    ::testing::Values(
        BrokenHandshakeRow{"PlainGreeting", [](LoopbackServer& s) { s.send("Welcome to a plain MUCK!\r\n"); },
                           13001, "The server did not answer in TLS."},
        BrokenHandshakeRow{"RandomBytes", [](LoopbackServer& s) { s.send(noise(8192)); }, 13001, "The "},
        BrokenHandshakeRow{"ClosesMidHandshake", [](LoopbackServer& s) { s.close(); }, 13001,
                           "The server closed the connection during the secure handshake."},
        BrokenHandshakeRow{"SaysNothing", [](LoopbackServer&) {}, 13002,
                           "The server did not finish the secure handshake within 1 second."},
        // A record header promising a server hello whose body never comes.
        BrokenHandshakeRow{"StallsInsideAServerHello",
                           [](LoopbackServer& s) { s.send(QByteArray("\x16\x03\x03\x00\x7a\x02\x00", 7)); },
                           13002, "The server did not finish the secure handshake"}),
    [](const ::testing::TestParamInfo<BrokenHandshakeRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace corvane::testing
