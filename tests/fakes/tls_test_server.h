#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ssl_st;
struct ssl_ctx_st;
struct x509_st;
struct evp_pkey_st;

namespace corvane::testing {

// A key and certificate made for one test, signed by itself or by another.
struct TestCertificate {
    TestCertificate();
    ~TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    struct Spec {
        std::string commonName = "localhost";
        // Subject alternative names, "DNS:localhost,IP:127.0.0.1"; empty for none.
        std::string altNames = "DNS:localhost";
        long validFromSeconds = -3600;
        long validUntilSeconds = 3600;
        bool authority = false;
    };
    // Signed by issuer, or by itself when there is none.
    static std::unique_ptr<TestCertificate> make(const Spec& spec, const TestCertificate* issuer = nullptr);
    std::string pem() const;

    evp_pkey_st* key = nullptr;
    x509_st* certificate = nullptr;
};

// The server side of a TLS session in memory, to play against TlsChannel.
class TlsTestServer {
public:
    // Presents leaf, then chain in order. maxVersion 0: TLS 1.3.
    TlsTestServer(const TestCertificate& leaf, const std::vector<const TestCertificate*>& chain = {},
                  int maxVersion = 0);
    ~TlsTestServer();
    TlsTestServer(const TlsTestServer&) = delete;
    TlsTestServer& operator=(const TlsTestServer&) = delete;

    // Ciphertext from the client; the handshake and reads run on it.
    void receive(std::string_view ciphertext);
    std::string takeOutgoing();
    void send(std::string_view plain);
    void closeNotify();
    bool handshakeDone() const;
    // The name the client asked for (server name indication), empty if none.
    std::string serverName() const;
    const std::string& received() const { return m_received; }

private:
    void advance();

    ssl_ctx_st* m_context = nullptr;
    ssl_st* m_ssl = nullptr;
    std::string m_received;
};

} // namespace corvane::testing
