// Arbitrary server bytes into the client's TLS session held in memory: right
// after the client's hello, and after a finished handshake with a real server
// in memory (where they meet the record layer of an open session). The first
// byte picks the stage and how the bytes are cut into reads. The session must
// never crash, leak or hang; it hands out plaintext only while open, and once
// failed or closed it takes nothing more.

#include "fakes/tls_test_server.h"
#include "tls/tls_channel.h"
#include "tls/tls_client_context.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

using corvane::TlsChannel;
using corvane::TlsClientContext;
using corvane::testing::TestCertificate;
using corvane::testing::TlsTestServer;
using State = TlsChannel::State;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Made once: keys cost far more than a run.
struct Identity {
    std::unique_ptr<TestCertificate> root = TestCertificate::make({"Fuzz Root", "", -3600, 86400, true});
    std::unique_ptr<TestCertificate> leaf =
        TestCertificate::make({"world.example", "DNS:world.example", -3600, 86400, false}, root.get());
    TlsClientContext trusting{root->pem()};
};

const Identity& identity() {
    static const Identity made;
    return made;
}

bool finishHandshake(TlsChannel& client, TlsTestServer& server) {
    std::string plain;
    for (int round = 0; round < 20 && client.state() == State::Handshaking; ++round) {
        std::string toServer;
        client.takeOutgoing(toServer);
        server.receive(toServer);
        client.receive(server.takeOutgoing(), plain);
    }
    return client.state() == State::AwaitingTrust;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const bool afterHandshake = (data[0] & 0x80) != 0;
    const std::size_t piece = static_cast<std::size_t>(data[0] & 0x7F) * 41 + 1;
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    TlsChannel client("world.example", identity().trusting);
    std::unique_ptr<TlsTestServer> server;
    if (afterHandshake) {
        server = std::make_unique<TlsTestServer>(*identity().leaf);
        require(finishHandshake(client, *server));
        client.open();
        client.send("connect Tester password\r\n");
    }
    std::string plain;
    std::string outgoing;
    while (!bytes.empty()) {
        const std::size_t take = std::min(piece, bytes.size());
        const State before = client.state();
        const std::size_t plainBefore = plain.size();
        client.receive(bytes.substr(0, take), plain);
        bytes.remove_prefix(take);
        client.takeOutgoing(outgoing);
        if (before == State::Failed || before == State::Closed) {
            require(client.state() == before);
        }
        if (plain.size() != plainBefore) {
            require(before == State::Open);
        }
        // Garbage in an open session never decrypts to plaintext.
        require(plain.empty());
        outgoing.clear();
    }
    if (client.state() == State::Failed) {
        require(!client.failure().empty());
    }
    client.streamEnded();
    return 0;
}
