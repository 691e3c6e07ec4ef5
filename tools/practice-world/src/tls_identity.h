#pragma once

#include <memory>
#include <optional>
#include <string>

struct ssl_ctx_st;

namespace practice_world {

// The server's side of its TLS port: a key and a self-signed certificate
// made fresh at every start (so a second start shows a client a changed
// certificate), and the settings each TLS connection is accepted with.
class TlsIdentity {
public:
    // Nothing, with the reason in error, when OpenSSL could not make one.
    static std::unique_ptr<TlsIdentity> generate(std::string& error);
    ~TlsIdentity();
    TlsIdentity(const TlsIdentity&) = delete;
    TlsIdentity& operator=(const TlsIdentity&) = delete;

    ssl_ctx_st* context() const { return m_context; }
    // SHA-256 of the certificate's DER bytes, 64 lower-case hexadecimal digits.
    const std::string& fingerprint() const { return m_fingerprint; }

private:
    TlsIdentity() = default;

    ssl_ctx_st* m_context = nullptr;
    std::string m_fingerprint;
};

} // namespace practice_world
