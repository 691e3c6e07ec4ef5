#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace corvane::testing {

// One-connection TCP peer on 127.0.0.1 that records every byte it receives.
class LoopbackServer : public QObject {
public:
    LoopbackServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            peer = m_server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, this, [this] {
                if (reading) {
                    received += peer->readAll();
                }
            });
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    void send(const QByteArray& bytes) {
        peer->write(bytes);
        peer->flush();
    }
    void close() { peer->disconnectFromHost(); }
    void resumeReading() {
        reading = true;
        received += peer->readAll();
    }

    QTcpSocket* peer = nullptr;
    QByteArray received;
    bool reading = true;

private:
    QTcpServer m_server;
};

} // namespace corvane::testing
