#include "tls/tls_channel.h"

#include "tls/tls_client_context.h"

#include <array>
#include <ctime>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace corvane {

namespace {

// Certificate texts come from the server; a name longer than this is cut.
constexpr std::size_t kMaxNameText = 512;

// Problems a user who knows the world may overrule by trusting the very
// certificate: most worlds make their own. Anything else (a forged
// signature, an endless chain) ends the handshake.
bool overrulable(int problem) {
    switch (problem) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
    case X509_V_ERR_INVALID_CA:
    case X509_V_ERR_INVALID_PURPOSE:
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return true;
    default:
        return false;
    }
}

std::string problemText(int problem, const std::string& host) {
    switch (problem) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        return "The certificate is self-signed: no authority this system trusts vouches for it.";
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        return "The certificate chain ends in a self-signed certificate this system does not trust.";
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
        return "The certificate was not issued by an authority this system trusts.";
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return "The certificate has expired.";
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return "The certificate is not valid yet.";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return "The certificate was made for another server, not for " + host + ".";
    default:
        return std::string("The certificate could not be checked: ") +
               X509_verify_cert_error_string(problem) + ".";
    }
}

std::string nameText(const X509_NAME* name) {
    BIO* text = BIO_new(BIO_s_mem());
    // One line, UTF-8 kept, control characters escaped.
    X509_NAME_print_ex(text, name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long length = BIO_ctrl(text, BIO_CTRL_INFO, 0, static_cast<void*>(&data));
    std::string result(data, static_cast<std::size_t>(length > 0 ? length : 0));
    BIO_free(text);
    if (result.size() > kMaxNameText) {
        result.resize(kMaxNameText);
        result += "...";
    }
    return result;
}

std::string timeText(const ASN1_TIME* time) {
    std::tm parts{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) {
        return "unknown";
    }
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text.data();
}

std::string sha256Text(X509* certificate) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest.data(), &length) != 1) {
        return {};
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

bool isIpAddress(const std::string& host) {
    ASN1_OCTET_STRING* address = a2i_IPADDRESS(host.c_str());
    ASN1_OCTET_STRING_free(address);
    return address != nullptr;
}

// The reason of a failed handshake or session, for the user.
std::string failureText(unsigned long code, bool handshaking) {
    switch (ERR_GET_REASON(code)) {
    case SSL_R_WRONG_VERSION_NUMBER:
    case SSL_R_PACKET_LENGTH_TOO_LONG:
    case SSL_R_HTTP_REQUEST:
    case SSL_R_UNEXPECTED_MESSAGE:
    case SSL_R_UNEXPECTED_RECORD:
    case SSL_R_RECORD_LENGTH_MISMATCH:
    case SSL_R_LENGTH_MISMATCH:
        if (handshaking) {
            return "The server did not answer in TLS. Is this the world's plain (not secure) port?";
        }
        break;
    case SSL_R_UNSUPPORTED_PROTOCOL:
    case SSL_R_TLSV1_ALERT_PROTOCOL_VERSION:
    case SSL_R_NO_PROTOCOLS_AVAILABLE:
    case SSL_R_VERSION_TOO_LOW:
        return "The server does not offer TLS 1.2 or 1.3.";
    case SSL_R_EXCESSIVE_MESSAGE_SIZE:
        return "The server's certificate chain is too large.";
    case SSL_R_EE_KEY_TOO_SMALL:
    case SSL_R_CA_KEY_TOO_SMALL:
    case SSL_R_CA_MD_TOO_WEAK:
        return "The server's certificate uses a key or signature too weak to be safe.";
    default:
        break;
    }
    const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
    const std::string detail = reason != nullptr ? std::string(" (") + reason + ")" : std::string();
    return handshaking ? "The secure handshake failed" + detail + "."
                       : "The secure session failed" + detail + ".";
}

} // namespace

TlsChannel::TlsChannel(const std::string& host, const TlsClientContext& context) {
    m_certificate.host = host;
    m_ssl = SSL_new(context.handle());
    m_in = BIO_new(BIO_s_mem());
    m_out = BIO_new(BIO_s_mem());
    // An empty input buffer means "wait for more", not the end of the stream.
    BIO_set_mem_eof_return(m_in, -1);
    SSL_set_bio(m_ssl, m_in, m_out);
    SSL_set_connect_state(m_ssl);
    SSL_set_ex_data(m_ssl, 0, this);

    X509_VERIFY_PARAM* checks = SSL_get0_param(m_ssl);
    X509_VERIFY_PARAM_set_hostflags(checks, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (isIpAddress(host)) {
        // Server name indication carries names only.
        X509_VERIFY_PARAM_set1_ip_asc(checks, host.c_str());
    } else {
        SSL_ctrl(m_ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                 const_cast<char*>(host.c_str()));
        X509_VERIFY_PARAM_set1_host(checks, host.c_str(), host.size());
    }
    SSL_set_verify(m_ssl, SSL_VERIFY_PEER, &TlsChannel::verifyCertificate);
    handshake();
}

TlsChannel::~TlsChannel() {
    SSL_free(m_ssl);
}

int TlsChannel::verifyCertificate(int preverified, x509_store_ctx_st* store) {
    if (preverified == 1) {
        return 1;
    }
    auto* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    auto* channel = static_cast<TlsChannel*>(SSL_get_ex_data(ssl, 0));
    const int problem = X509_STORE_CTX_get_error(store);
    // The handshake goes on so the user can be shown the certificate and
    // decide; nothing is sent before that.
    if (overrulable(problem)) {
        if (channel->m_trustProblem == 0) {
            channel->m_trustProblem = problem;
        }
        return 1;
    }
    if (channel->m_fatalProblem == 0) {
        channel->m_fatalProblem = problem;
    }
    return 0;
}

void TlsChannel::handshake() {
    ERR_clear_error();
    const int result = SSL_do_handshake(m_ssl);
    if (result == 1) {
        describeCertificate();
        m_state = State::AwaitingTrust;
        return;
    }
    const int error = SSL_get_error(m_ssl, result);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
        return;
    }
    fail(error);
}

void TlsChannel::streamEnded() {
    // A stream ended by an attacker or a dying link looks like a clean end
    // at the TCP level; only close_notify tells them apart.
    if (m_state == State::Open) {
        m_state = State::CutOff;
    }
}

void TlsChannel::receive(std::string_view ciphertext, std::string& plain) {
    if (m_state == State::Failed || m_state == State::Closed || m_state == State::CutOff) {
        return;
    }
    if (!ciphertext.empty()) {
        BIO_write(m_in, ciphertext.data(), static_cast<int>(ciphertext.size()));
    }
    if (m_state == State::Handshaking) {
        handshake();
    }
    if (m_state == State::Open) {
        readRecords(plain);
    }
}

void TlsChannel::open() {
    if (m_state == State::AwaitingTrust) {
        m_state = State::Open;
    }
}

void TlsChannel::readRecords(std::string& plain) {
    std::array<char, 16384> buffer{};
    for (;;) {
        ERR_clear_error();
        const int got = SSL_read(m_ssl, buffer.data(), static_cast<int>(buffer.size()));
        if (got > 0) {
            plain.append(buffer.data(), static_cast<std::size_t>(got));
            continue;
        }
        const int error = SSL_get_error(m_ssl, got);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            return;
        }
        if (error == SSL_ERROR_ZERO_RETURN) {
            m_state = State::Closed;
            return;
        }
        fail(error);
        return;
    }
}

void TlsChannel::send(std::string_view plain) {
    if (m_state != State::Open || plain.empty()) {
        return;
    }
    ERR_clear_error();
    // The output buffer is memory, so a write takes everything at once.
    if (SSL_write(m_ssl, plain.data(), static_cast<int>(plain.size())) <= 0) {
        fail(SSL_ERROR_SSL);
    }
}

void TlsChannel::takeOutgoing(std::string& out) {
    const std::size_t waiting = BIO_ctrl_pending(m_out);
    if (waiting == 0) {
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + waiting);
    const int got = BIO_read(m_out, out.data() + start, static_cast<int>(waiting));
    out.resize(start + static_cast<std::size_t>(got > 0 ? got : 0));
}

void TlsChannel::shutdown() {
    if (m_state == State::Open) {
        ERR_clear_error();
        SSL_shutdown(m_ssl);
        m_state = State::Closed;
    }
}

std::string TlsChannel::protocol() const {
    switch (SSL_version(m_ssl)) {
    case TLS1_3_VERSION:
        return "TLS 1.3";
    case TLS1_2_VERSION:
        return "TLS 1.2";
    default:
        return SSL_get_version(m_ssl);
    }
}

void TlsChannel::describeCertificate() {
    X509* certificate = SSL_get0_peer_certificate(m_ssl);
    if (certificate == nullptr) {
        m_certificate.problem = "The server showed no certificate.";
        return;
    }
    m_certificate.subject = nameText(X509_get_subject_name(certificate));
    m_certificate.issuer = nameText(X509_get_issuer_name(certificate));
    m_certificate.validFrom = timeText(X509_get0_notBefore(certificate));
    m_certificate.validUntil = timeText(X509_get0_notAfter(certificate));
    m_certificate.sha256 = sha256Text(certificate);
    const long result = SSL_get_verify_result(m_ssl);
    m_certificate.verified = m_trustProblem == 0 && result == X509_V_OK;
    if (!m_certificate.verified) {
        m_certificate.problem =
            problemText(m_trustProblem != 0 ? m_trustProblem : static_cast<int>(result), m_certificate.host);
    }
}

void TlsChannel::fail(int sslError) {
    const bool handshaking = m_state == State::Handshaking;
    m_state = State::Failed;
    if (m_fatalProblem != 0) {
        m_failure = std::string("The server's certificate was refused: ") +
                    X509_verify_cert_error_string(m_fatalProblem) + ".";
    } else if (sslError == SSL_ERROR_SYSCALL && ERR_peek_error() == 0) {
        m_failure = handshaking ? "The secure handshake failed." : "The secure session failed.";
    } else {
        m_failure = failureText(ERR_peek_error(), handshaking);
    }
    // The queue is per thread; what is left would be taken for the next failure.
    ERR_clear_error();
}

} // namespace corvane
