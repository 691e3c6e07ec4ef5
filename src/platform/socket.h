#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// A socket failure as the session reports it: a stable number (the classic
// Winsock numbering, so messages read the same everywhere) and a readable text.
struct SocketError {
    int number = 0;
    std::string description;
};

namespace socket_errors {
inline constexpr int WouldBlock = 10035;
inline constexpr int NetworkDown = 10050;
inline constexpr int NetworkUnreachable = 10051;
inline constexpr int ConnectionAborted = 10053;
inline constexpr int ConnectionReset = 10054;
inline constexpr int NotConnected = 10057;
inline constexpr int TimedOut = 10060;
inline constexpr int ConnectionRefused = 10061;
inline constexpr int HostUnreachable = 10065;
inline constexpr int HostNotFound = 11001;
inline constexpr int WrongState = 40006;
// Secure connections. Outside the classic range, like the other numbers
// that have no classic counterpart.
inline constexpr int SecureHandshakeFailed = 13001;
inline constexpr int SecureHandshakeTimedOut = 13002;
inline constexpr int CertificateNotTrusted = 13003;
inline constexpr int SecureSessionFailed = 13004;
} // namespace socket_errors

// The certificate a server presented on a secure connection, as the user is
// shown it when deciding whether to trust it. Every text is the server's own
// and is shown as plain text.
struct PeerCertificate {
    std::string host;       // the name the connection asked for
    std::string subject;    // one line, "CN = ..., O = ..."
    std::string issuer;
    std::string validFrom;  // "2025-01-31 12:00:00 UTC"
    std::string validUntil;
    std::string sha256;     // 64 lower-case hexadecimal digits of the SHA-256 of the DER bytes
    // True when the chain leads to a root this system trusts and the
    // certificate names the host; problem then is empty.
    bool verified = false;
    std::string problem;
};

// The things a world connection reports. Handlers run on the UI thread.
class SocketEvents {
public:
    virtual ~SocketEvents() = default;
    virtual void onSocketConnected() = 0;
    // Raw bytes exactly as they came off the wire.
    virtual void onSocketData(std::string_view bytes) = 0;
    // Everything handed to send() so far has left; only reported after a send
    // that answered SendResult::Pending.
    virtual void onSocketSendComplete() = 0;
    // The server closed the connection in an orderly way.
    virtual void onSocketClosed() = 0;
    // A secure connection's stream ended without the server closing the
    // session: onSocketClosed follows at once.
    virtual void onSocketCutOff() = 0;
    // Any failure, including a refused or failed connect and a reset by peer.
    virtual void onSocketError(const SocketError& error) = 0;
    // A secure connection finished its handshake. Nothing is sent or reported
    // as received until acceptCertificate() is called; close() refuses.
    virtual void onSocketCertificate(const PeerCertificate& certificate) = 0;
};

// An event-driven TCP client socket; one world connection at a time. A secure
// connection speaks TLS 1.2 or 1.3 and counts as connected only once the
// server's certificate has been accepted; what is sent before that waits.
class Socket {
public:
    enum class State { Closed = 0, Connecting = 6, Connected = 7 };
    enum class SendStatus { Sent, Pending, Failed };
    struct SendResult {
        SendStatus status = SendStatus::Sent;
        SocketError error;
    };

    virtual ~Socket() = default;
    virtual void setEvents(SocketEvents* events) = 0;
    // Starts an asynchronous connect. An error is returned only when the attempt
    // cannot even start; later failures arrive through onSocketError.
    virtual std::optional<SocketError> connect(const std::string& host, int port, bool secure) = 0;
    // The certificate reported by onSocketCertificate is good for this
    // connection: it becomes connected.
    virtual void acceptCertificate() = 0;
    // Sends the bytes unchanged. Pending means they are queued and
    // onSocketSendComplete will follow once they have left.
    virtual SendResult send(std::string_view bytes) = 0;
    // Closes at once; no events are reported for a connection closed this way.
    virtual void close() = 0;
    // While held, nothing more is read: the kernel's buffers fill and the
    // server blocks, as TCP intends. Used while the reader cannot keep up.
    virtual void holdReading(bool hold) = 0;
    virtual State state() const = 0;
    virtual std::string remoteHost() const = 0;
    virtual void clearRemoteHost() = 0;
    // "TLS 1.3" while a secure connection is up, empty otherwise.
    virtual std::string secureProtocol() const = 0;
};

} // namespace corvane
