#include "tls_identity.h"

#include <array>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace practice_world {

namespace {

constexpr long kValidSeconds = 30L * 24 * 3600;

std::string lastError(const char* what) {
    const unsigned long code = ERR_get_error();
    const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
    return std::string(what) + (reason != nullptr ? std::string(": ") + reason : std::string());
}

// A self-signed certificate for this machine's names, valid from an hour ago
// (so a clock a little behind still accepts it) for thirty days.
X509* makeCertificate(EVP_PKEY* key) {
    X509* certificate = X509_new();
    X509_set_version(certificate, 2);
    std::array<unsigned char, 8> serial{};
    RAND_bytes(serial.data(), static_cast<int>(serial.size()));
    serial[0] &= 0x7F;
    BIGNUM* number = BN_bin2bn(serial.data(), static_cast<int>(serial.size()), nullptr);
    BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate));
    BN_free(number);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), kValidSeconds);
    X509_set_pubkey(certificate, key);
    X509_NAME* name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Corvane practice world"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"),
                               -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    X509V3_CTX extensions;
    X509V3_set_ctx_nodb(&extensions);
    X509V3_set_ctx(&extensions, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* names =
        X509V3_EXT_conf_nid(nullptr, &extensions, NID_subject_alt_name, "DNS:localhost,IP:127.0.0.1,IP:::1");
    X509_add_ext(certificate, names, -1);
    X509_EXTENSION_free(names);
    if (X509_sign(certificate, key, EVP_sha256()) == 0) {
        X509_free(certificate);
        return nullptr;
    }
    return certificate;
}

std::string sha256Hex(X509* certificate) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    X509_digest(certificate, EVP_sha256(), digest.data(), &length);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

} // namespace

std::unique_ptr<TlsIdentity> TlsIdentity::generate(std::string& error) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    if (key == nullptr) {
        error = lastError("cannot make a TLS key");
        return nullptr;
    }
    X509* certificate = makeCertificate(key);
    if (certificate == nullptr) {
        EVP_PKEY_free(key);
        error = lastError("cannot make a TLS certificate");
        return nullptr;
    }
    std::unique_ptr<TlsIdentity> identity(new TlsIdentity);
    identity->m_fingerprint = sha256Hex(certificate);
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    identity->m_context = context;
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    // A client that just goes away is a close, as on the plain port.
    SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    const bool ok =
        SSL_CTX_use_certificate(context, certificate) == 1 && SSL_CTX_use_PrivateKey(context, key) == 1;
    X509_free(certificate);
    EVP_PKEY_free(key);
    if (!ok) {
        error = lastError("cannot use the TLS certificate");
        return nullptr;
    }
    return identity;
}

TlsIdentity::~TlsIdentity() {
    SSL_CTX_free(m_context);
}

} // namespace practice_world
