#pragma once

#include "platform/socket.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>

class QSocketNotifier;
class QHostInfo;

namespace corvane {

class TlsChannel;

// The world connection on a non-blocking BSD socket driven by Qt's event loop.
// Working at this level keeps errno, so a reset by the peer is told apart from
// an orderly close, and reads go straight into one reusable buffer. A secure
// connection runs its TLS session (TlsChannel) between the descriptor and the
// events.
class QtSocket : public QObject, public Socket {
    Q_OBJECT
public:
    explicit QtSocket(QObject* parent = nullptr);
    ~QtSocket() override;

    void setEvents(SocketEvents* events) override { m_events = events; }
    std::optional<SocketError> connect(const std::string& host, int port, bool secure) override;
    void acceptCertificate() override;
    SendResult send(std::string_view bytes) override;
    void close() override;
    void holdReading(bool hold) override;
    State state() const override { return m_state; }
    std::string remoteHost() const override { return m_host; }
    void clearRemoteHost() override { m_host.clear(); }
    std::string secureProtocol() const override;

    // How long a secure handshake may take once the server has answered.
    void setHandshakeTimeout(std::chrono::milliseconds timeout) { m_handshakeTimeout = timeout; }

    static SocketError errorFromErrno(int error);

    // Bytes handed to send() that have not left yet.
    std::size_t pendingOutput() const { return m_output.size() - m_outputSent; }
    // True while so much waits to be sent that nothing more is read.
    bool readingPaused() const { return m_readingPaused; }

private:
    void onLookedUp(const QHostInfo& info);
    void tryNextAddress();
    void onReadable();
    void onWritable();
    void onConnectTimeout();
    void connectionEstablished();
    void reportConnected();
    // The secure session's side of each step.
    void startHandshake();
    void receiveSecure(std::string_view ciphertext);
    void queueSecureOutput();
    bool flushOutput(int& error);
    void failConnect(const SocketError& error);
    void fail(const SocketError& error);
    void closeDescriptor();
    void dropOutput();
    void updateReading();

    SocketEvents* m_events = nullptr;
    State m_state = State::Closed;
    std::string m_host;
    int m_port = 0;
    int m_fd = -1;
    int m_lookupId = -1;
    QList<QHostAddress> m_addresses;
    int m_lastConnectErrno = 0;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QTimer m_connectTimer;
    std::string m_output;
    std::size_t m_outputSent = 0;
    bool m_reportSendComplete = false;
    bool m_readingPaused = false;
    bool m_readingHeld = false;
    std::string m_readBuffer;
    bool m_secure = false;
    std::unique_ptr<TlsChannel> m_tls;
    // What the client sends before the secure session is up waits here, so
    // a password never leaves before the server's certificate is accepted.
    std::string m_plainWaiting;
    std::string m_plainReceived;
    std::chrono::milliseconds m_handshakeTimeout{30000};
    // Bumped on every close so a handler that closed the socket can tell the
    // loop that called it to stop.
    unsigned m_generation = 0;
};

} // namespace corvane
