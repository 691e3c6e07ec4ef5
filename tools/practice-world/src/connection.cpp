#include "connection.h"

#include <unistd.h>

namespace practice_world {

Connection::Connection(ConnectionId id, int fd, std::size_t maxLineLength)
    : m_id(id)
    , m_fd(fd)
    , m_lines(maxLineLength) {}

Connection::~Connection() {
    ::close(m_fd);
}

void Connection::receive(std::string_view bytes, std::vector<std::string>& lines,
                         std::vector<TelnetEvent>& events) {
    std::string text;
    m_telnet.feed(bytes, text, events);
    m_lines.feed(text, lines);
}

void Connection::queue(std::string_view bytes) {
    m_output += bytes;
}

void Connection::markSent(std::size_t count) {
    m_sent += count;
    // Compact once the sent part dominates, so a long flood does not cost a
    // copy per write.
    if (m_sent == m_output.size()) {
        m_output.clear();
        m_sent = 0;
    } else if (m_sent > 65536 && m_sent * 2 > m_output.size()) {
        m_output.erase(0, m_sent);
        m_sent = 0;
    }
}

} // namespace practice_world
