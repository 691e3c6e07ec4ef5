#include "qt/qt_socket.h"

#include <QHostInfo>
#include <QSocketNotifier>
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

std::string describe(int error) {
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
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

std::optional<SocketError> QtSocket::connect(const std::string& host, int port) {
    close();
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
    m_state = State::Connected;
    if (m_writeNotifier) {
        m_writeNotifier->setEnabled(false);
    }
    m_readNotifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_readNotifier.get(), &QSocketNotifier::activated, this, &QtSocket::onReadable);
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
        failConnect(errorFromErrno(ETIMEDOUT));
    }
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
    if (m_state != State::Connected) {
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
            if (m_events != nullptr) {
                m_events->onSocketData(std::string_view(m_readBuffer.data(), static_cast<std::size_t>(got)));
            }
            if (generation != m_generation) {
                return;
            }
            continue;
        }
        if (got == 0) {
            closeDescriptor();
            dropOutput();
            m_state = State::Closed;
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
    if (m_state == State::Connecting) {
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
    if (m_state != State::Connected) {
        return;
    }
    int error = 0;
    if (flushOutput(error)) {
        if (m_writeNotifier) {
            m_writeNotifier->setEnabled(false);
        }
        if (m_reportSendComplete) {
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
    const bool wasEmpty = m_output.empty();
    m_output.append(bytes);
    // A login typed (or started from the command line) before the connection
    // is up waits for it instead of failing.
    if (!wasEmpty || m_state == State::Connecting) {
        m_reportSendComplete = true;
        return {SendStatus::Pending, {}};
    }
    int error = 0;
    if (flushOutput(error)) {
        return {SendStatus::Sent, {}};
    }
    if (error != 0) {
        m_output.clear();
        m_outputSent = 0;
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
    m_output.clear();
    m_outputSent = 0;
    m_reportSendComplete = false;
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
}

} // namespace corvane
