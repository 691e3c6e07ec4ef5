#include "server.h"

#include "mud_manner.h"

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

Server::Server(World& world, const Options& options, ByteLog& log, const TlsIdentity* tls)
    : m_world(world)
    , m_options(options)
    , m_log(log)
    , m_tls(tls) {}

Server::~Server() {
    m_connections.clear();
    for (const int fd : {m_listenFd, m_tlsListenFd}) {
        if (fd >= 0)
            ::close(fd);
    }
}

std::optional<std::string> Server::listen() {
    if (auto failure = listenOn(m_options.port, m_listenFd, m_port))
        return failure;
    if (m_tls && m_options.tlsPort >= 0)
        return listenOn(m_options.tlsPort, m_tlsListenFd, m_tlsPort);
    return std::nullopt;
}

std::optional<std::string> Server::listenOn(int port, int& fd, std::uint16_t& bound) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, m_options.bindAddress.c_str(), &address.sin_addr) != 1)
        return "not an IPv4 address: " + m_options.bindAddress;

    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return errorText("socket");
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return errorText(("bind " + m_options.bindAddress + ":" + std::to_string(port)).c_str());
    if (::listen(fd, 64) != 0)
        return errorText("listen");
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return errorText("getsockname");
    bound = ntohs(address.sin_port);
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
        // Without a TLS port poll() skips this entry.
        fds.push_back(pollfd{m_tlsListenFd, POLLIN, 0});
        bool buffered = false;
        for (const auto& [id, connection] : m_connections) {
            short events = connection->reading() ? POLLIN : 0;
            if ((!connection->unsent().empty() && !connection->writeWaitsForRead()) ||
                connection->readWaitsForWrite())
                events |= POLLOUT;
            buffered = buffered || (connection->reading() && connection->hasBufferedInput());
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
        if (buffered)
            timeout = 0;
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
            std::cerr << "corvane-practice-world: " << errorText("poll") << '\n';
            break;
        }
        if (fds[0].revents != 0)
            break;
        if (fds[1].revents & POLLIN)
            acceptClients(m_listenFd, false);
        if (fds[2].revents & POLLIN)
            acceptClients(m_tlsListenFd, true);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            Connection* connection = find(ids[i]);
            short revents = fds[i + 3].revents;
            if (connection && connection->reading() && connection->hasBufferedInput())
                revents |= POLLIN;
            if (connection && connection->readWaitsForWrite() && (revents & POLLOUT))
                revents |= POLLIN;
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

void Server::acceptClients(int listenFd, bool secure) {
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        if (m_connections.size() >= static_cast<std::size_t>(m_options.maxConnections)) {
            // A TLS client could not read the plain text anyway.
            if (!secure) {
                [[maybe_unused]] const auto sent = ::send(fd, kFull.data(), kFull.size(), MSG_NOSIGNAL);
            }
            ::close(fd);
            continue;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

        const ConnectionId id = m_nextId++;
        auto& connection = m_connections[id] =
            std::make_unique<Connection>(id, fd, kMaxLineLength, secure ? m_tls->context() : nullptr,
                                         !m_options.tlsCutOff);
        m_log.note(id, secure ? "connected (TLS)" : "connected");
        if (m_options.modern) {
            using namespace telnet;
            const char naws[] = {static_cast<char>(kIac), static_cast<char>(kDo), static_cast<char>(kNaws)};
            // Asked before the greeting, as the newer servers do.
            m_replies.push(id, std::string(naws, sizeof naws), steadyNow());
        }
        if (m_options.mud) {
            // Offered before any text, as the MUD servers do.
            m_replies.push(id, mud::offers(), steadyNow());
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
        const Transfer got = connection.readSome(buffer, sizeof buffer);
        if (got.result == Transfer::Result::Again) {
            // The TLS handshake may have gone far enough for what waits to go out.
            if (connection.secure() && !connection.unsent().empty())
                writeTo(connection);
            return;
        }
        if (got.result == Transfer::Result::Broken) {
            if (connection.secure())
                m_log.note(id, "TLS: " + connection.tlsFailure());
            m_broken.push_back(id);
            return;
        }
        if (got.result == Transfer::Result::Closed) {
            // The client is done sending; answers it is still owed go out first.
            connection.stopReading();
            connection.closeWhenFlushed();
            m_log.note(id, "client closed its side");
            dispatch(id, m_world.close(id, WallClock::now()));
            return;
        }
        const std::string_view bytes(buffer, got.count);
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
        if (m_options.mccp && event.command == kDo && event.option == mud::kMccp2 && !connection.compressing()) {
            // The start goes out plain; every byte after it is compressed.
            const char start[] = {static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(mud::kMccp2),
                                  static_cast<char>(kIac), static_cast<char>(kSe)};
            send(connection, std::string_view(start, sizeof start));
            connection.startCompression();
        }
        if (m_options.mud && event.command == kDo && event.option == mud::kGmcp) {
            dispatch(connection.id(), m_world.agreeGmcp(connection.id()));
        }
        if (m_options.mud && event.command == kDo && event.option == mud::kMsdp) {
            dispatch(connection.id(), m_world.agreeMsdp(connection.id()));
        }
        if (m_options.mud && event.command == kDo && event.option == mud::kMssp) {
            dispatch(connection.id(), m_world.agreeMssp(connection.id()));
        }
        if (m_options.mud && event.command == kDo && event.option == mud::kMxp) {
            dispatch(connection.id(), m_world.agreeMxp(connection.id()));
        }
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
        const Transfer sent = connection.writeSome(unsent);
        if (sent.result == Transfer::Result::Again)
            break;
        if (sent.result != Transfer::Result::Moved) {
            m_broken.push_back(connection.id());
            return;
        }
        m_log.record(connection.id(), '>', unsent.substr(0, sent.count));
        connection.markSent(sent.count);
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
        const Transfer sent = connection->writeSome(unsent);
        if (sent.result == Transfer::Result::Moved)
            m_log.record(id, '>', unsent.substr(0, sent.count));
        m_log.note(id, "closed: server stopping");
    }
    m_connections.clear();
}

Connection* Server::find(ConnectionId id) {
    auto it = m_connections.find(id);
    return it == m_connections.end() ? nullptr : it->second.get();
}

} // namespace practice_world
