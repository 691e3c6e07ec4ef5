#include "qt/qt_socket.h"

#include "tls/tls_channel.h"
#include "tls/tls_client_context.h"

#include <QHostInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvane {

namespace {

constexpr int kConnectTimeoutMs = 30000;
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
// Reading stops after this much per wake-up so timers and input keep running
// while a server floods us; the notifier fires again at once for the rest.
constexpr std::size_t kMaxReadPerWakeup = std::size_t{1024} * 1024;
// Every telnet request gets a reply, so a server that sends requests but never
// reads would have us queue replies without end. Past this much unsent output
// nothing more is read until it drains, and TCP makes the server wait.
constexpr std::size_t kMaxPendingOutput = std::size_t{1024} * 1024;

std::string describe(int error) {
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

std::string secondsText(std::chrono::milliseconds time) {
    const auto seconds = std::max<long long>(1, (time.count() + 999) / 1000);
    return seconds == 1 ? "1 second" : std::to_string(seconds) + " seconds";
}

} // namespace

SocketError QtSocket::errorFromErrno(int error) {
    switch (error) {
    case ECONNREFUSED:
        return {socket_errors::ConnectionRefused, "Connection refused"};
    case ECONNRESET:
        return {socket_errors::ConnectionReset, "Connection reset by peer"};
    case EPIPE:
    case ECONNABORTED:
        return {socket_errors::ConnectionAborted, "Connection aborted"};
    case ETIMEDOUT:
        return {socket_errors::TimedOut, "Connection timed out"};
    case EHOSTUNREACH:
        return {socket_errors::HostUnreachable, "No route to host"};
    case ENETUNREACH:
        return {socket_errors::NetworkUnreachable, "Network is unreachable"};
    case ENETDOWN:
        return {socket_errors::NetworkDown, "Network is down"};
    case EADDRNOTAVAIL:
        return {10049, "Address not available"};
    case EACCES:
    case EPERM:
        return {10013, "Permission denied"};
    case ENOBUFS:
    case ENOMEM:
        return {10055, "No buffer space available"};
    default:
        // Outside the range the classic numbers use, so never mistaken for one.
        return {12000 + error, describe(error)};
    }
}

QtSocket::QtSocket(QObject* parent)
    : QObject(parent) {
    m_connectTimer.setSingleShot(true);
    QObject::connect(&m_connectTimer, &QTimer::timeout, this, &QtSocket::onConnectTimeout);
    // One buffer for the whole connection: reads never allocate or fill.
    m_readBuffer.resize(kReadChunk);
}

QtSocket::~QtSocket() {
    closeDescriptor();
}

std::optional<SocketError> QtSocket::connect(const std::string& host, int port, bool secure) {
    close();
    m_secure = secure;
    if (port < 1 || port > 65535) {
        return SocketError{10049, "Invalid port number"};
    }
    if (host.empty()) {
        return SocketError{socket_errors::HostNotFound, "Host not found"};
    }
    m_host = host;
    m_port = port;
    m_state = State::Connecting;
    m_lastConnectErrno = 0;
    m_connectTimer.start(kConnectTimeoutMs);
    m_lookupId = QHostInfo::lookupHost(QString::fromStdString(host), this, &QtSocket::onLookedUp);
    return std::nullopt;
}

void QtSocket::onLookedUp(const QHostInfo& info) {
    if (m_state != State::Connecting || info.lookupId() != m_lookupId) {
        return;
    }
    m_lookupId = -1;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        failConnect(info.error() == QHostInfo::HostNotFound || info.addresses().isEmpty()
                        ? SocketError{socket_errors::HostNotFound, "Host not found"}
                        : SocketError{11002, "Host lookup failed"});
        return;
    }
    m_addresses = info.addresses();
    tryNextAddress();
}

void QtSocket::tryNextAddress() {
    while (!m_addresses.isEmpty()) {
        const QHostAddress address = m_addresses.takeFirst();
        sockaddr_storage storage{};
        socklen_t length = 0;
        int family = AF_INET;
        if (address.protocol() == QAbstractSocket::IPv6Protocol) {
            family = AF_INET6;
            sockaddr_in6 a6{};
            a6.sin6_family = AF_INET6;
            a6.sin6_port = htons(static_cast<uint16_t>(m_port));
            const Q_IPV6ADDR raw = address.toIPv6Address();
            std::memcpy(&a6.sin6_addr, &raw, sizeof raw);
            a6.sin6_scope_id = address.scopeId().toUInt();
            std::memcpy(&storage, &a6, sizeof a6);
            length = sizeof a6;
        } else {
            sockaddr_in a4{};
            a4.sin_family = AF_INET;
            a4.sin_port = htons(static_cast<uint16_t>(m_port));
            a4.sin_addr.s_addr = htonl(address.toIPv4Address());
            std::memcpy(&storage, &a4, sizeof a4);
            length = sizeof a4;
        }
        m_fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_fd < 0) {
            m_lastConnectErrno = errno;
            continue;
        }
        // Commands are single short lines; waiting to coalesce them only adds lag.
        int on = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const int result = ::connect(m_fd, reinterpret_cast<sockaddr*>(&storage), length);
        if (result == 0) {
            connectionEstablished();
            return;
        }
        if (errno == EINPROGRESS) {
            m_writeNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
            QObject::connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &QtSocket::onWritable);
            return;
        }
        m_lastConnectErrno = errno;
        closeDescriptor();
    }
    failConnect(errorFromErrno(m_lastConnectErrno != 0 ? m_lastConnectErrno : ECONNREFUSED));
}

void QtSocket::connectionEstablished() {
    m_connectTimer.stop();
    m_addresses.clear();
    if (m_writeNotifier) {
        m_writeNotifier->setEnabled(false);
    }
    m_readNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &QtSocket::onReadable);
    updateReading();
    if (m_secure) {
        startHandshake();
        return;
    }
    reportConnected();
}

void QtSocket::reportConnected() {
    m_state = State::Connected;
    const unsigned generation = m_generation;
    if (m_events != nullptr) {
        m_events->onSocketConnected();
    }
    if (generation == m_generation && !m_output.empty()) {
        onWritable();
    }
}

void QtSocket::onConnectTimeout() {
    if (m_state == State::Connecting) {
        if (m_lookupId >= 0) {
            QHostInfo::abortHostLookup(m_lookupId);
            m_lookupId = -1;
        }
        if (m_tls) {
            failConnect({socket_errors::SecureHandshakeTimedOut,
                         "The server did not finish the secure handshake within " +
                             secondsText(m_handshakeTimeout) + "."});
            return;
        }
        failConnect(errorFromErrno(ETIMEDOUT));
    }
}

void QtSocket::startHandshake() {
    m_tls = std::make_unique<TlsChannel>(m_host, TlsClientContext::system());
    m_connectTimer.start(static_cast<int>(m_handshakeTimeout.count()));
    queueSecureOutput();
}

void QtSocket::queueSecureOutput() {
    m_tls->takeOutgoing(m_output);
    if (m_output.empty() || m_fd < 0) {
        return;
    }
    if (!m_writeNotifier) {
        m_writeNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
        QObject::connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &QtSocket::onWritable);
    }
    m_writeNotifier->setEnabled(true);
}

void QtSocket::receiveSecure(std::string_view ciphertext) {
    m_plainReceived.clear();
    m_tls->receive(ciphertext, m_plainReceived);
    queueSecureOutput();
    switch (m_tls->state()) {
    case TlsChannel::State::Handshaking:
        return;
    case TlsChannel::State::AwaitingTrust:
        // Reading and the clock wait while the user looks at the certificate.
        m_connectTimer.stop();
        updateReading();
        if (m_events != nullptr) {
            m_events->onSocketCertificate(m_tls->certificate());
        }
        return;
    case TlsChannel::State::Open:
        if (!m_plainReceived.empty() && m_events != nullptr) {
            m_events->onSocketData(m_plainReceived);
        }
        return;
    case TlsChannel::State::Closed:
    case TlsChannel::State::CutOff: {
        const unsigned generation = m_generation;
        if (!m_plainReceived.empty() && m_events != nullptr) {
            m_events->onSocketData(m_plainReceived);
        }
        if (generation == m_generation) {
            closeDescriptor();
            dropOutput();
            m_state = State::Closed;
            if (m_events != nullptr) {
                m_events->onSocketClosed();
            }
        }
        return;
    }
    case TlsChannel::State::Failed: {
        // One try to tell the server why, then the session is over.
        int ignored = 0;
        flushOutput(ignored);
        const SocketError error{m_state == State::Connected ? socket_errors::SecureSessionFailed
                                                            : socket_errors::SecureHandshakeFailed,
                                m_tls->failure()};
        fail(error);
        return;
    }
    }
}

void QtSocket::acceptCertificate() {
    if (!m_tls || m_tls->state() != TlsChannel::State::AwaitingTrust) {
        return;
    }
    m_tls->open();
    m_tls->send(m_plainWaiting);
    m_plainWaiting.clear();
    queueSecureOutput();
    const unsigned generation = m_generation;
    reportConnected();
    // What came with the end of the handshake is read once the handler that
    // accepted has returned, and reading resumes after it, so order is kept.
    QTimer::singleShot(0, this, [this, generation] {
        if (generation != m_generation) {
            return;
        }
        updateReading();
        receiveSecure({});
    });
}

std::string QtSocket::secureProtocol() const {
    return m_tls && m_state == State::Connected ? m_tls->protocol() : std::string();
}

void QtSocket::failConnect(const SocketError& error) {
    fail(error);
}

void QtSocket::fail(const SocketError& error) {
    closeDescriptor();
    dropOutput();
    m_state = State::Closed;
    if (m_events != nullptr) {
        m_events->onSocketError(error);
    }
}

void QtSocket::onReadable() {
    if (m_state == State::Closed || (m_state == State::Connecting && !m_tls)) {
        return;
    }
    const unsigned generation = m_generation;
    std::size_t total = 0;
    // A short read took all the kernel had: asking again would only return
    // EAGAIN, and the notifier fires again when more arrives.
    bool drained = false;
    while (total < kMaxReadPerWakeup && !drained) {
        const ssize_t got = ::recv(m_fd, m_readBuffer.data(), m_readBuffer.size(), 0);
        if (got > 0) {
            total += static_cast<std::size_t>(got);
            drained = static_cast<std::size_t>(got) < m_readBuffer.size();
            const std::string_view received(m_readBuffer.data(), static_cast<std::size_t>(got));
            if (m_tls) {
                receiveSecure(received);
            } else if (m_events != nullptr) {
                m_events->onSocketData(received);
            }
            if (generation != m_generation || m_readingPaused) {
                return;
            }
            continue;
        }
        if (got == 0 && m_state == State::Connecting) {
            fail({socket_errors::SecureHandshakeFailed,
                  "The server closed the connection during the secure handshake."});
            return;
        }
        if (got == 0) {
            // Asked before the descriptor closes: closing lets the TLS session go.
            bool cutOff = false;
            if (m_tls) {
                m_tls->streamEnded();
                cutOff = m_tls->state() == TlsChannel::State::CutOff;
            }
            closeDescriptor();
            dropOutput();
            m_state = State::Closed;
            const unsigned closedGeneration = m_generation;
            if (cutOff && m_events != nullptr) {
                m_events->onSocketCutOff();
                if (closedGeneration != m_generation) {
                    return;
                }
            }
            if (m_events != nullptr) {
                m_events->onSocketClosed();
            }
            return;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            fail(errorFromErrno(errno));
        }
        return;
    }
}

bool QtSocket::flushOutput(int& error) {
    error = 0;
    while (m_outputSent < m_output.size()) {
        const ssize_t sent =
            ::send(m_fd, m_output.data() + m_outputSent, m_output.size() - m_outputSent, MSG_NOSIGNAL);
        if (sent > 0) {
            m_outputSent += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (m_outputSent > m_output.size() / 2) {
                // Drop what has left, so a queue that never quite empties stays bounded.
                m_output.erase(0, m_outputSent);
                m_outputSent = 0;
            }
            return false;
        }
        error = sent < 0 ? errno : EPIPE;
        return false;
    }
    m_output.clear();
    m_outputSent = 0;
    return true;
}

void QtSocket::onWritable() {
    if (m_state == State::Connecting && !m_tls) {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            m_lastConnectErrno = error;
            m_writeNotifier->setEnabled(false);
            closeDescriptor();
            tryNextAddress();
            return;
        }
        connectionEstablished();
        return;
    }
    if (m_state == State::Closed) {
        return;
    }
    int error = 0;
    const bool flushed = flushOutput(error);
    if (error == 0) {
        updateReading();
    }
    if (flushed) {
        if (m_writeNotifier) {
            m_writeNotifier->setEnabled(false);
        }
        if (m_reportSendComplete && m_state == State::Connected) {
            m_reportSendComplete = false;
            if (m_events != nullptr) {
                m_events->onSocketSendComplete();
            }
        }
        return;
    }
    if (error != 0) {
        fail(errorFromErrno(error));
    }
}

Socket::SendResult QtSocket::send(std::string_view bytes) {
    if (m_state == State::Closed) {
        return {
            SendStatus::Failed,
            {socket_errors::WrongState, "Wrong protocol or connection state for the requested transaction"}};
    }
    if (m_secure && m_state != State::Connected) {
        m_plainWaiting.append(bytes);
        m_reportSendComplete = true;
        return {SendStatus::Pending, {}};
    }
    std::string sealed;
    if (m_tls) {
        m_tls->send(bytes);
        m_tls->takeOutgoing(sealed);
        bytes = sealed;
    }
    const bool wasEmpty = m_output.empty();
    m_output.append(bytes);
    // A login typed (or started from the command line) before the connection
    // is up waits for it instead of failing.
    if (!wasEmpty || m_state == State::Connecting) {
        updateReading();
        m_reportSendComplete = true;
        return {SendStatus::Pending, {}};
    }
    int error = 0;
    const bool flushed = flushOutput(error);
    if (error != 0) {
        m_output.clear();
        m_outputSent = 0;
    }
    updateReading();
    if (flushed) {
        return {SendStatus::Sent, {}};
    }
    if (error != 0) {
        // The read side reports the broken connection; the send itself failed.
        return {SendStatus::Failed, errorFromErrno(error)};
    }
    m_reportSendComplete = true;
    if (!m_writeNotifier) {
        m_writeNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Write);
        QObject::connect(m_writeNotifier.get(), &QSocketNotifier::activated, this, &QtSocket::onWritable);
    }
    m_writeNotifier->setEnabled(true);
    return {SendStatus::Pending, {}};
}

void QtSocket::close() {
    if (m_tls && m_state == State::Connected && m_output.empty()) {
        // One try to end the session politely; the close does not wait for
        // it, and a record half sent cannot be followed by another.
        m_tls->shutdown();
        std::string notice;
        m_tls->takeOutgoing(notice);
        [[maybe_unused]] const auto sent =
            ::send(m_fd, notice.data(), notice.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    m_connectTimer.stop();
    m_addresses.clear();
    closeDescriptor();
    dropOutput();
    m_state = State::Closed;
}

void QtSocket::dropOutput() {
    m_plainWaiting.clear();
    m_output.clear();
    m_outputSent = 0;
    m_reportSendComplete = false;
    m_readingPaused = false;
    m_readingHeld = false;
}

void QtSocket::holdReading(bool hold) {
    m_readingHeld = hold;
    updateReading();
}

void QtSocket::updateReading() {
    // Nothing is read while the user decides on a certificate, while the
    // reader is held, or while the server does not take what we send.
    m_readingPaused = m_readingHeld || pendingOutput() > kMaxPendingOutput ||
                      (m_tls && m_tls->state() == TlsChannel::State::AwaitingTrust);
    if (m_readNotifier) {
        m_readNotifier->setEnabled(!m_readingPaused);
    }
}

void QtSocket::closeDescriptor() {
    ++m_generation;
    // Notifiers may be the sender of the signal being handled right now.
    for (auto* notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->disconnect(this);
            notifier->release()->deleteLater();
        }
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_tls.reset();
}

} // namespace corvane
