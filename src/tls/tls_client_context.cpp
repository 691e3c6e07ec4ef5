#include "tls/tls_client_context.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace corvane {

namespace {

// A real chain is three or four certificates; a longer one is refused
// rather than walked.
constexpr int kMaxChainDepth = 10;
// The server's certificate message: a generous real chain is 10 KiB.
constexpr long kMaxCertificateBytes = 64L * 1024;

} // namespace

TlsClientContext::TlsClientContext() {
    m_context = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_min_proto_version(m_context, TLS1_2_VERSION);
    SSL_CTX_set_max_proto_version(m_context, TLS1_3_VERSION);
    SSL_CTX_set_verify_depth(m_context, kMaxChainDepth);
    SSL_CTX_set_max_cert_list(m_context, kMaxCertificateBytes);
    // The memory buffers may move between writes of one record.
    SSL_CTX_set_mode(m_context, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
}

TlsClientContext::TlsClientContext(const std::string& trustedPem)
    : TlsClientContext() {
    X509_STORE* store = SSL_CTX_get_cert_store(m_context);
    BIO* pem = BIO_new_mem_buf(trustedPem.data(), static_cast<int>(trustedPem.size()));
    while (X509* certificate = PEM_read_bio_X509(pem, nullptr, nullptr, nullptr)) {
        X509_STORE_add_cert(store, certificate);
        X509_free(certificate);
    }
    BIO_free(pem);
}

TlsClientContext::TlsClientContext(SystemRoots)
    : TlsClientContext() {
    SSL_CTX_set_default_verify_paths(m_context);
}

const TlsClientContext& TlsClientContext::system() {
    static const TlsClientContext context{SystemRoots{}};
    return context;
}

TlsClientContext::~TlsClientContext() {
    SSL_CTX_free(m_context);
}

} // namespace corvane
