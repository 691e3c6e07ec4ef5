#include "fakes/tls_test_server.h"

#include <array>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace corvane::testing {

TestCertificate::TestCertificate() = default;

TestCertificate::~TestCertificate() {
    X509_free(certificate);
    EVP_PKEY_free(key);
}

std::unique_ptr<TestCertificate> TestCertificate::make(const Spec& spec, const TestCertificate* issuer) {
    static long serial = 1;
    auto made = std::make_unique<TestCertificate>();
    made->key = EVP_EC_gen("P-256");
    X509* x = X509_new();
    made->certificate = x;
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), serial++);
    X509_gmtime_adj(X509_getm_notBefore(x), spec.validFromSeconds);
    X509_gmtime_adj(X509_getm_notAfter(x), spec.validUntilSeconds);
    X509_set_pubkey(x, made->key);
    X509_NAME* name = X509_get_subject_name(x);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(spec.commonName.c_str()), -1, -1, 0);
    X509_set_issuer_name(x, issuer != nullptr ? X509_get_subject_name(issuer->certificate) : name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer != nullptr ? issuer->certificate : x, x, nullptr, nullptr, 0);
    const auto add = [&](int nid, const std::string& value) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
        X509_add_ext(x, extension, -1);
        X509_EXTENSION_free(extension);
    };
    if (!spec.altNames.empty()) {
        add(NID_subject_alt_name, spec.altNames);
    }
    if (spec.authority) {
        add(NID_basic_constraints, "critical,CA:TRUE");
        add(NID_key_usage, "critical,keyCertSign,cRLSign");
    }
    X509_sign(x, issuer != nullptr ? issuer->key : made->key, EVP_sha256());
    return made;
}

std::string TestCertificate::pem() const {
    BIO* out = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(out, certificate);
    char* data = nullptr;
    const long length = BIO_ctrl(out, BIO_CTRL_INFO, 0, static_cast<void*>(&data));
    std::string text(data, static_cast<std::size_t>(length));
    BIO_free(out);
    return text;
}

TlsTestServer::TlsTestServer(const TestCertificate& leaf, const std::vector<const TestCertificate*>& chain,
                             int maxVersion) {
    m_context = SSL_CTX_new(TLS_server_method());
    if (maxVersion != 0) {
        // Old protocols need the lowest security level to be offered at all.
        SSL_CTX_set_security_level(m_context, 0);
        SSL_CTX_set_min_proto_version(m_context, TLS1_VERSION);
        SSL_CTX_set_max_proto_version(m_context, maxVersion);
    }
    SSL_CTX_use_certificate(m_context, leaf.certificate);
    SSL_CTX_use_PrivateKey(m_context, leaf.key);
    for (const TestCertificate* link : chain) {
        SSL_CTX_add1_chain_cert(m_context, link->certificate);
    }
    m_ssl = SSL_new(m_context);
    BIO* in = BIO_new(BIO_s_mem());
    BIO* out = BIO_new(BIO_s_mem());
    BIO_ctrl(in, BIO_C_SET_BUF_MEM_EOF_RETURN, -1, nullptr);
    SSL_set_bio(m_ssl, in, out);
    SSL_set_accept_state(m_ssl);
}

TlsTestServer::~TlsTestServer() {
    SSL_free(m_ssl);
    SSL_CTX_free(m_context);
}

void TlsTestServer::receive(std::string_view ciphertext) {
    BIO_write(SSL_get_rbio(m_ssl), ciphertext.data(), static_cast<int>(ciphertext.size()));
    advance();
}

void TlsTestServer::advance() {
    std::array<char, 4096> buffer{};
    for (;;) {
        const int got = SSL_read(m_ssl, buffer.data(), static_cast<int>(buffer.size()));
        if (got <= 0) {
            ERR_clear_error();
            return;
        }
        m_received.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

std::string TlsTestServer::takeOutgoing() {
    BIO* out = SSL_get_wbio(m_ssl);
    std::string bytes(BIO_ctrl_pending(out), '\0');
    const int got = BIO_read(out, bytes.data(), static_cast<int>(bytes.size()));
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

void TlsTestServer::send(std::string_view plain) {
    SSL_write(m_ssl, plain.data(), static_cast<int>(plain.size()));
}

void TlsTestServer::closeNotify() {
    SSL_shutdown(m_ssl);
}

bool TlsTestServer::handshakeDone() const {
    return SSL_is_init_finished(m_ssl) == 1;
}

std::string TlsTestServer::serverName() const {
    const char* name = SSL_get_servername(m_ssl, TLSEXT_NAMETYPE_host_name);
    return name != nullptr ? name : "";
}

} // namespace corvane::testing
