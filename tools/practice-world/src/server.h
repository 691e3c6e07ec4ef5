#pragma once

#include "byte_log.h"
#include "connection.h"
#include "options.h"
#include "reply_queue.h"
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
    Server(World& world, const Options& options, ByteLog& log);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and listens; returns why not on failure.
    std::optional<std::string> listen();
    std::uint16_t port() const { return m_port; }
    // Serves until `stopFd` becomes readable.
    void run(int stopFd);

private:
    void acceptClients();
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
    int m_listenFd = -1;
    std::uint16_t m_port = 0;
    ConnectionId m_nextId = 1;
    std::map<ConnectionId, std::unique_ptr<Connection>> m_connections;
    std::vector<ConnectionId> m_broken;
    ReplyQueue m_replies;
};

} // namespace practice_world
