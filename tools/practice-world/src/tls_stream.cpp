#include "tls_stream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <openssl/err.h>
#include <openssl/ssl.h>

namespace practice_world {

TlsStream::TlsStream(ssl_ctx_st* context, int fd)
    : m_ssl(SSL_new(context)) {
    SSL_set_fd(m_ssl, fd);
    SSL_set_accept_state(m_ssl);
}

void TlsStream::closeNotify() {
    if (SSL_is_init_finished(m_ssl)) {
        ERR_clear_error();
        SSL_shutdown(m_ssl);
    }
}

TlsStream::~TlsStream() {
    SSL_free(m_ssl);
}

Transfer TlsStream::read(char* buffer, std::size_t size) {
    m_readWaitsForWrite = false;
    ERR_clear_error();
    const int got = SSL_read(m_ssl, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
    if (got > 0) {
        return {Transfer::Result::Moved, static_cast<std::size_t>(got)};
    }
    if (SSL_get_error(m_ssl, got) == SSL_ERROR_WANT_WRITE) {
        m_readWaitsForWrite = true;
    }
    return settle(got);
}

Transfer TlsStream::write(std::string_view bytes) {
    m_writeWaitsForRead = false;
    ERR_clear_error();
    const int sent =
        SSL_write(m_ssl, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX)));
    if (sent > 0) {
        return {Transfer::Result::Moved, static_cast<std::size_t>(sent)};
    }
    if (SSL_get_error(m_ssl, sent) == SSL_ERROR_WANT_READ) {
        m_writeWaitsForRead = true;
    }
    return settle(sent);
}

bool TlsStream::hasBuffered() const {
    return SSL_pending(m_ssl) > 0;
}

Transfer TlsStream::settle(int result) {
    switch (SSL_get_error(m_ssl, result)) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        return {Transfer::Result::Again, 0};
    case SSL_ERROR_ZERO_RETURN:
        return {Transfer::Result::Closed, 0};
    case SSL_ERROR_SYSCALL:
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
            return {Transfer::Result::Again, 0};
        }
        return {result == 0 ? Transfer::Result::Closed : Transfer::Result::Broken, 0};
    default: {
        const unsigned long code = ERR_peek_error();
        const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
        m_failure = reason != nullptr ? reason : "TLS failure";
        ERR_clear_error();
        return {Transfer::Result::Broken, 0};
    }
    }
}

} // namespace practice_world
