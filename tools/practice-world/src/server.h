#pragma once

#include "byte_log.h"
#include "connection.h"
#include "options.h"
#include "reply_queue.h"
#include "tls_identity.h"
#include "world.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace practice_world {

// The socket side: accepts clients, feeds their lines to the World and writes
// back what it answers, all from one poll loop with a timer queue for --lag.
class Server {
public:
    // With an identity the server also listens on options.tlsPort for TLS.
    Server(World& world, const Options& options, ByteLog& log, const TlsIdentity* tls = nullptr);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and listens; returns why not on failure.
    std::optional<std::string> listen();
    std::uint16_t port() const { return m_port; }
    std::uint16_t tlsPort() const { return m_tlsPort; }
    // Serves until `stopFd` becomes readable.
    void run(int stopFd);

private:
    std::optional<std::string> listenOn(int port, int& fd, std::uint16_t& bound);
    void acceptClients(int listenFd, bool secure);
    void readFrom(Connection& connection);
    void handleTelnet(Connection& connection, const std::vector<TelnetEvent>& events);
    void dispatch(ConnectionId caller, Outcome outcome);
    void deliverDue();
    // With --modern: IAC NOP to every connection quiet for --nop-seconds.
    void pingQuietConnections();
    // When the next quiet connection is due a NOP, if any can be.
    std::optional<ReplyQueue::Time> nextPing() const;
    void send(Connection& connection, std::string_view bytes);
    void writeTo(Connection& connection);
    // Writes and closes what can be; drops the broken and the finished.
    void settle();
    void drop(ConnectionId id);
    void shutDown();
    Connection* find(ConnectionId id);

    World& m_world;
    const Options& m_options;
    ByteLog& m_log;
    const TlsIdentity* m_tls;
    int m_listenFd = -1;
    std::uint16_t m_port = 0;
    int m_tlsListenFd = -1;
    std::uint16_t m_tlsPort = 0;
    ConnectionId m_nextId = 1;
    std::map<ConnectionId, std::unique_ptr<Connection>> m_connections;
    std::vector<ConnectionId> m_broken;
    ReplyQueue m_replies;
};

} // namespace practice_world
