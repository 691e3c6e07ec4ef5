#include "fakes/tls_test_server.h"
#include "tls/tls_channel.h"
#include "tls/tls_client_context.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <ostream>
#include <random>

namespace corvane::testing {
namespace {

using State = TlsChannel::State;

// Passes bytes both ways until neither side has anything more to say.
void pump(TlsChannel& client, TlsTestServer& server, std::string& plain) {
    for (int round = 0; round < 20; ++round) {
        std::string toServer;
        client.takeOutgoing(toServer);
        server.receive(toServer);
        const std::string toClient = server.takeOutgoing();
        if (toServer.empty() && toClient.empty()) {
            return;
        }
        client.receive(toClient, plain);
    }
}

// An authority the client trusts in place of the system's roots.
struct TlsChannelTest : ::testing::Test {
    std::unique_ptr<TestCertificate> root = TestCertificate::make({"Test Root", "", -3600, 86400, true});
    TlsClientContext trusting{root->pem()};
    std::string plain;
};

TEST_F(TlsChannelTest, AVerifiedServerHearsNothingUntilOpenThenBothWaysInOrder) {
    const auto leaf = TestCertificate::make({"world.example", "DNS:world.example"}, root.get());
    TlsTestServer server(*leaf);
    TlsChannel client("world.example", trusting);
    pump(client, server, plain);

    ASSERT_EQ(client.state(), State::AwaitingTrust);
    EXPECT_TRUE(client.certificate().verified);
    EXPECT_EQ(client.certificate().problem, "");
    EXPECT_EQ(client.certificate().subject, "CN = world.example");
    EXPECT_EQ(client.certificate().issuer, "CN = Test Root");
    EXPECT_EQ(client.certificate().sha256.size(), 64U);
    EXPECT_EQ(server.serverName(), "world.example");
    EXPECT_EQ(client.protocol(), "TLS 1.3");

    // The world greets at once; the client holds it back, and sends nothing, until the user has decided.
    server.send("Welcome!\r\n");
    client.send("connect Tester password\r\n");
    pump(client, server, plain);
    EXPECT_EQ(plain, "");
    EXPECT_EQ(server.received(), "");

    client.open();
    client.receive({}, plain);
    EXPECT_EQ(plain, "Welcome!\r\n");
    client.send("connect Tester password\r\n");
    pump(client, server, plain);
    EXPECT_EQ(server.received(), "connect Tester password\r\n");

    server.send("Bye\r\n");
    server.closeNotify();
    pump(client, server, plain);
    EXPECT_EQ(plain, "Welcome!\r\nBye\r\n");
    EXPECT_EQ(client.state(), State::Closed);
}

TEST_F(TlsChannelTest, AStreamEndingWithoutCloseNotifyIsCutOff) {
    const auto leaf = TestCertificate::make({"world.example", "DNS:world.example"}, root.get());
    for (const bool notified : {true, false}) {
        SCOPED_TRACE(notified ? "close_notify" : "none");
        TlsTestServer server(*leaf);
        TlsChannel client("world.example", trusting);
        pump(client, server, plain);
        client.open();
        server.send("Last words\r\n");
        if (notified) {
            server.closeNotify();
        }
        pump(client, server, plain);
        client.streamEnded();
        EXPECT_EQ(client.state(), notified ? State::Closed : State::CutOff);
    }
    TlsTestServer server(*leaf);
    TlsChannel handshaking("world.example", trusting);
    handshaking.streamEnded();
    EXPECT_EQ(handshaking.state(), State::Handshaking) << "the socket reports a failed handshake itself";
}

// ---- Certificates the user may still trust -------------------------------

struct DoubtfulRow {
    const char* name;
    TestCertificate::Spec leaf;
    bool signedByRoot;
    const char* host;
    const char* problem;
};

std::ostream& operator<<(std::ostream& out, const DoubtfulRow& row) {
    return out << row.name;
}

struct DoubtfulCertificate : TlsChannelTest, ::testing::WithParamInterface<DoubtfulRow> {};

TEST_P(DoubtfulCertificate, FinishesTheHandshakeAndSaysWhyItIsNotVerified) {
    const DoubtfulRow& row = GetParam();
    const auto stranger = TestCertificate::make({"Stranger Root", "", -3600, 86400, true});
    const auto leaf = TestCertificate::make(row.leaf, row.signedByRoot ? root.get() : stranger.get());
    TlsTestServer server(*leaf);
    TlsChannel client(row.host, trusting);
    pump(client, server, plain);

    ASSERT_EQ(client.state(), State::AwaitingTrust) << client.failure();
    EXPECT_FALSE(client.certificate().verified);
    EXPECT_EQ(client.certificate().problem, row.problem);
    EXPECT_EQ(client.certificate().host, row.host);
    // Server name indication carries names, never addresses.
    EXPECT_EQ(server.serverName(), std::string(row.host) == "127.0.0.1" ? "" : row.host);
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, DoubtfulCertificate,
    ::testing::Values(DoubtfulRow{"OtherHost",
                                  {"other.example", "DNS:other.example"},
                                  true,
                                  "world.example",
                                  "The certificate was made for another server, not for world.example."},
                      DoubtfulRow{"WildcardOfAParent",
                                  {"example", "DNS:*.example"},
                                  true,
                                  "a.world.example",
                                  "The certificate was made for another server, not for a.world.example."},
                      DoubtfulRow{"OtherAddress",
                                  {"box", "IP:10.0.0.1"},
                                  true,
                                  "127.0.0.1",
                                  "The certificate was made for another server, not for 127.0.0.1."},
                      DoubtfulRow{"Expired",
                                  {"world.example", "DNS:world.example", -7200, -3600},
                                  true,
                                  "world.example",
                                  "The certificate has expired."},
                      DoubtfulRow{"NotYetValid",
                                  {"world.example", "DNS:world.example", 3600, 7200},
                                  true,
                                  "world.example",
                                  "The certificate is not valid yet."},
                      DoubtfulRow{"UnknownAuthority",
                                  {"world.example", "DNS:world.example"},
                                  false,
                                  "world.example",
                                  "The certificate was not issued by an authority this system trusts."}),
    [](const ::testing::TestParamInfo<DoubtfulRow>& info) { return std::string(info.param.name); });

TEST_F(TlsChannelTest, ASelfSignedCertificateIsReportedAsSuch) {
    const auto leaf = TestCertificate::make({"localhost", "DNS:localhost"});
    TlsTestServer server(*leaf);
    TlsChannel client("localhost", trusting);
    pump(client, server, plain);
    ASSERT_EQ(client.state(), State::AwaitingTrust);
    EXPECT_EQ(client.certificate().problem,
              "The certificate is self-signed: no authority this system trusts vouches for it.");
    EXPECT_EQ(client.certificate().subject, client.certificate().issuer);
}

// ---- Servers the handshake fails with -----------------------------------

TEST_F(TlsChannelTest, AChainOfAHundredCertificatesIsRefused) {
    std::vector<std::unique_ptr<TestCertificate>> links;
    links.push_back(TestCertificate::make({"Link 99", "", -3600, 86400, true}));
    for (int i = 98; i >= 1; --i) {
        links.push_back(
            TestCertificate::make({"Link " + std::to_string(i), "", -3600, 86400, true}, links.back().get()));
    }
    const auto leaf = TestCertificate::make({"localhost", "DNS:localhost"}, links.back().get());
    std::vector<const TestCertificate*> chain;
    for (auto it = links.rbegin(); it != links.rend(); ++it) {
        chain.push_back(it->get());
    }
    TlsTestServer server(*leaf, chain);
    TlsChannel client("localhost", trusting);
    pump(client, server, plain);

    EXPECT_EQ(client.state(), State::Failed);
    EXPECT_EQ(client.failure(), "The server's certificate was refused: certificate chain too long.");
}

TEST_F(TlsChannelTest, AServerOfOlderProtocolsOnlyIsRefused) {
    const auto leaf = TestCertificate::make({"localhost", "DNS:localhost"});
    TlsTestServer server(*leaf, {}, TLS1_1_VERSION);
    TlsChannel client("localhost", trusting);
    pump(client, server, plain);
    EXPECT_EQ(client.state(), State::Failed);
    EXPECT_EQ(client.failure(), "The server does not offer TLS 1.2 or 1.3.");
}

TEST_F(TlsChannelTest, GarbageEndsTheHandshakeAndLaterBytesAreNotKept) {
    TlsChannel client("localhost", trusting);
    std::mt19937 random(7);
    std::string noise(64 * 1024, '\0');
    for (char& byte : noise) {
        byte = static_cast<char>(random() & 0xFF);
    }
    client.receive(noise, plain);
    ASSERT_EQ(client.state(), State::Failed);
    EXPECT_FALSE(client.failure().empty());
    for (int i = 0; i < 64; ++i) {
        client.receive(noise, plain);
    }
    EXPECT_EQ(plain, "");
    client.send("connect Tester password\r\n");
    std::string out;
    client.takeOutgoing(out);
    EXPECT_EQ(out.find("connect"), std::string::npos);
}

} // namespace
} // namespace corvane::testing
