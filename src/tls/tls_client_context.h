#pragma once

#include <string>

struct ssl_ctx_st;

namespace corvane {

// The settings every secure world connection shares: TLS 1.2 and 1.3 only,
// the roots a certificate is checked against, and the limits that keep a
// hostile server from making the handshake large.
class TlsClientContext {
public:
    // Trusts the roots this system trusts.
    static const TlsClientContext& system();
    // Trusts only the PEM certificates given (a test's own authority).
    explicit TlsClientContext(const std::string& trustedPem);
    ~TlsClientContext();
    TlsClientContext(const TlsClientContext&) = delete;
    TlsClientContext& operator=(const TlsClientContext&) = delete;

    ssl_ctx_st* handle() const { return m_context; }

private:
    struct SystemRoots {};
    explicit TlsClientContext(SystemRoots);
    TlsClientContext();

    ssl_ctx_st* m_context = nullptr;
};

} // namespace corvane
