#include "server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace practice_world {

namespace {

constexpr std::size_t kMaxLineLength = 4096;
// A client that lets this much pile up unread is not reading at all.
constexpr std::size_t kMaxUnsent = std::size_t{8} * 1024 * 1024;
// Reads per connection per loop turn, so one fast sender cannot starve the rest.
constexpr int kReadsPerTurn = 8;

constexpr std::string_view kFull = "Sorry, the practice world is full. Try again later.\r\n";
constexpr std::string_view kGoingDown = "\r\nGoing down - Bye\r\n";

ReplyQueue::Time steadyNow() {
    return std::chrono::steady_clock::now();
}

std::string errorText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

Server::Server(World& world, const Options& options, ByteLog& log)
    : m_world(world)
    , m_options(options)
    , m_log(log) {}

Server::~Server() {
    m_connections.clear();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

std::optional<std::string> Server::listen() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(m_options.port));
    if (::inet_pton(AF_INET, m_options.bindAddress.c_str(), &address.sin_addr) != 1)
        return "not an IPv4 address: " + m_options.bindAddress;

    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return errorText("socket");
    const int on = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errorText(("bind " + m_options.bindAddress + ":" + std::to_string(m_options.port)).c_str());
    if (::listen(m_listenFd, 64) != 0)
        return errorText("listen");
    socklen_t length = sizeof address;
    if (::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return errorText("getsockname");
    m_port = ntohs(address.sin_port);
    return std::nullopt;
}

void Server::run(int stopFd) {
    std::vector<pollfd> fds;
    std::vector<ConnectionId> ids;
    for (;;) {
        fds.clear();
        ids.clear();
        fds.push_back(pollfd{stopFd, POLLIN, 0});
        fds.push_back(pollfd{m_listenFd, POLLIN, 0});
        for (const auto& [id, connection] : m_connections) {
            short events = connection->reading() ? POLLIN : 0;
            if (!connection->unsent().empty())
                events |= POLLOUT;
            fds.push_back(pollfd{connection->fd(), events, 0});
            ids.push_back(id);
        }

        int timeout = -1;
        std::optional<ReplyQueue::Time> due = m_replies.nextDue();
        if (const auto ping = nextPing(); ping && (!due || *ping < *due))
            due = ping;
        if (due) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - steadyNow()).count();
            timeout = static_cast<int>(std::clamp<long long>(wait, 0, 60000));
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            std::cerr << "corvane-practice-world: " << errorText("poll") << '\n';
            break;
        }
        if (fds[0].revents != 0)
            break;
        if (fds[1].revents & POLLIN)
            acceptClients();
        for (std::size_t i = 0; i < ids.size(); ++i) {
            Connection* connection = find(ids[i]);
            const short revents = fds[i + 2].revents;
            if (!connection || revents == 0)
                continue;
            if (!connection->reading() && (revents & (POLLHUP | POLLERR))) {
                // Nothing more can be written to a socket hung up in both directions.
                m_broken.push_back(ids[i]);
                continue;
            }
            if (revents & (POLLIN | POLLHUP | POLLERR))
                readFrom(*connection);
            if ((revents & POLLOUT) && (connection = find(ids[i])))
                writeTo(*connection);
        }
        pingQuietConnections();
        deliverDue();
        settle();
    }
    shutDown();
}

void Server::acceptClients() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (m_connections.size() >= static_cast<std::size_t>(m_options.maxConnections)) {
            [[maybe_unused]] const auto sent = ::send(fd, kFull.data(), kFull.size(), MSG_NOSIGNAL);
            ::close(fd);
            continue;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

        const ConnectionId id = m_nextId++;
        auto& connection = m_connections[id] = std::make_unique<Connection>(id, fd, kMaxLineLength);
        m_log.note(id, "connected");
        if (m_options.modern) {
            using namespace telnet;
            const char naws[] = {static_cast<char>(kIac), static_cast<char>(kDo), static_cast<char>(kNaws)};
            // Asked before the greeting, as the newer servers do.
            m_replies.push(id, std::string(naws, sizeof naws), steadyNow());
        }
        dispatch(id, m_world.open(id, WallClock::now()));
        if (m_options.telnetProbe) {
            using namespace telnet;
            const char probe[] = {static_cast<char>(kIac),          static_cast<char>(kDo),
                                  static_cast<char>(kTerminalType), static_cast<char>(kIac),
                                  static_cast<char>(kWill),         static_cast<char>(kEcho)};
            // Queued, not sent, so it cannot overtake the greeting.
            m_replies.push(id, std::string(probe, sizeof probe), steadyNow());
            connection->startTerminalTypeProbe();
        }
        deliverDue();
    }
}

void Server::readFrom(Connection& connection) {
    const ConnectionId id = connection.id();
    char buffer[16384];
    for (int turn = 0; turn < kReadsPerTurn; ++turn) {
        const ssize_t count = ::recv(connection.fd(), buffer, sizeof buffer, 0);
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        if (count < 0) {
            m_broken.push_back(id);
            return;
        }
        if (count == 0) {
            // The client is done sending; answers it is still owed go out first.
            connection.stopReading();
            connection.closeWhenFlushed();
            m_log.note(id, "client closed its side");
            dispatch(id, m_world.close(id, WallClock::now()));
            return;
        }
        const std::string_view bytes(buffer, static_cast<std::size_t>(count));
        m_log.record(id, '<', bytes);
        connection.noteTraffic(steadyNow());

        std::vector<std::string> lines;
        std::vector<TelnetEvent> events;
        connection.receive(bytes, lines, events);
        handleTelnet(connection, events);
        for (const std::string& line : lines) {
            // Lines after QUIT are not commands any more.
            if (!connection.reading())
                break;
            Outcome outcome = m_world.input(id, line, WallClock::now());
            if (outcome.closeCaller)
                connection.stopReading();
            dispatch(id, std::move(outcome));
        }
        if (!connection.reading())
            return;
    }
}

void Server::handleTelnet(Connection& connection, const std::vector<TelnetEvent>& events) {
    for (const TelnetEvent& event : events) {
        const std::string text = "telnet " + describe(event);
        m_log.note(connection.id(), text);
        std::cerr << "corvane-practice-world: #" << connection.id() << ' ' << text << '\n';
        using namespace telnet;
        if (event.command == kWill && event.option == kTerminalType && connection.takeTerminalTypeAnswer()) {
            const char request[] = {static_cast<char>(kIac),          static_cast<char>(kSb),
                                    static_cast<char>(kTerminalType), static_cast<char>(kSend),
                                    static_cast<char>(kIac),          static_cast<char>(kSe)};
            m_replies.push(connection.id(), std::string(request, sizeof request), steadyNow());
        }
    }
}

void Server::dispatch(ConnectionId caller, Outcome outcome) {
    const auto now = steadyNow();
    const auto lag = std::chrono::milliseconds(m_options.lagMilliseconds);
    for (Delivery& delivery : outcome.deliveries) {
        if (!find(delivery.to))
            continue;
        if (delivery.kind == Delivery::Kind::Reply) {
            m_replies.push(delivery.to, std::move(delivery.text), now + lag);
            // With --lag a client that keeps typing piles up replies here, not in its socket buffer.
            if (m_replies.bytesHeld(delivery.to) > kMaxUnsent) {
                m_log.note(delivery.to, "dropped: too many replies waiting");
                m_broken.push_back(delivery.to);
            }
        } else if (delivery.kind == Delivery::Kind::ScreenReply) {
            m_replies.push(delivery.to, std::move(delivery.text), now,
                           outcome.closeCaller && delivery.to == caller);
        }
    }
    // Replies that are due go first, so without lag a command's answer comes
    // before anything it caused for the same connection.
    deliverDue();
    for (const Delivery& delivery : outcome.deliveries) {
        Connection* connection = find(delivery.to);
        if (connection && delivery.kind == Delivery::Kind::Event)
            send(*connection, delivery.text);
    }
}

void Server::deliverDue() {
    for (ReplyQueue::Item& item : m_replies.takeDue(steadyNow())) {
        Connection* connection = find(item.to);
        if (!connection)
            continue;
        send(*connection, item.text);
        if (item.closeAfter)
            connection->closeWhenFlushed();
    }
}

std::optional<ReplyQueue::Time> Server::nextPing() const {
    if (!m_options.modern)
        return std::nullopt;
    std::optional<ReplyQueue::Time> next;
    for (const auto& [id, connection] : m_connections) {
        if (connection->reading() && (!next || connection->lastTraffic() < *next))
            next = connection->lastTraffic();
    }
    if (next)
        *next += std::chrono::seconds(m_options.nopSeconds);
    return next;
}

void Server::pingQuietConnections() {
    if (!m_options.modern)
        return;
    const auto now = steadyNow();
    const char nop[] = {static_cast<char>(telnet::kIac), static_cast<char>(telnet::kNop)};
    for (const auto& [id, connection] : m_connections) {
        if (!connection->reading() ||
            now - connection->lastTraffic() < std::chrono::seconds(m_options.nopSeconds))
            continue;
        // Queued behind any reply still held back, and counted as traffic at
        // once, so a client that does not read gets one NOP per quiet spell.
        m_replies.push(id, std::string(nop, sizeof nop), now);
        connection->noteTraffic(now);
    }
}

void Server::send(Connection& connection, std::string_view bytes) {
    connection.queue(bytes);
    writeTo(connection);
}

void Server::writeTo(Connection& connection) {
    while (!connection.unsent().empty()) {
        const std::string_view unsent = connection.unsent();
        const ssize_t count = ::send(connection.fd(), unsent.data(), unsent.size(), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (count <= 0) {
            m_broken.push_back(connection.id());
            return;
        }
        m_log.record(connection.id(), '>', unsent.substr(0, static_cast<std::size_t>(count)));
        connection.markSent(static_cast<std::size_t>(count));
        connection.noteTraffic(steadyNow());
    }
    if (connection.unsent().size() > kMaxUnsent) {
        m_log.note(connection.id(), "dropped: not reading its output");
        m_broken.push_back(connection.id());
    }
}

void Server::settle() {
    std::vector<ConnectionId> finished;
    for (const auto& [id, connection] : m_connections) {
        if (connection->closing() && connection->unsent().empty() && !m_replies.holds(id))
            finished.push_back(id);
    }
    for (ConnectionId id : finished)
        drop(id);
    // Dropping may tell others, whose sockets may break in turn.
    while (!m_broken.empty()) {
        const ConnectionId id = m_broken.back();
        m_broken.pop_back();
        drop(id);
    }
}

void Server::drop(ConnectionId id) {
    auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    m_connections.erase(it);
    m_replies.forget(id);
    m_log.note(id, "closed");
    dispatch(id, m_world.close(id, WallClock::now()));
}

void Server::shutDown() {
    for (const auto& [id, connection] : m_connections) {
        connection->queue(kGoingDown);
        const std::string_view unsent = connection->unsent();
        // One try only: a stop must be prompt even if a client is not reading.
        const ssize_t count =
            ::send(connection->fd(), unsent.data(), unsent.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (count > 0)
            m_log.record(id, '>', unsent.substr(0, static_cast<std::size_t>(count)));
        m_log.note(id, "closed: server stopping");
    }
    m_connections.clear();
}

Connection* Server::find(ConnectionId id) {
    auto it = m_connections.find(id);
    return it == m_connections.end() ? nullptr : it->second.get();
}

} // namespace practice_world
