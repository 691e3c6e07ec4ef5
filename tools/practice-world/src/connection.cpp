#include "connection.h"

#include <cerrno>
#include <zlib.h>
#include <sys/socket.h>
#include <unistd.h>

namespace practice_world {

struct Connection::Deflater {
    z_stream z{};
    Deflater() { deflateInit(&z, Z_DEFAULT_COMPRESSION); }
    ~Deflater() { deflateEnd(&z); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
};

Connection::Connection(ConnectionId id, int fd, std::size_t maxLineLength, ssl_ctx_st* tls, bool closeNotify)
    : m_id(id)
    , m_fd(fd)
    , m_tls(tls != nullptr ? std::make_unique<TlsStream>(tls, fd) : nullptr)
    , m_closeNotify(closeNotify)
    , m_lines(maxLineLength) {}

Connection::~Connection() {
    if (m_tls && m_closeNotify) {
        m_tls->closeNotify();
    }
    m_tls.reset();
    ::close(m_fd);
}

namespace {

Transfer fromSystem(ssize_t count) {
    if (count > 0)
        return {Transfer::Result::Moved, static_cast<std::size_t>(count)};
    if (count == 0)
        return {Transfer::Result::Closed, 0};
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return {Transfer::Result::Again, 0};
    return {Transfer::Result::Broken, 0};
}

} // namespace

Transfer Connection::readSome(char* buffer, std::size_t size) {
    if (m_tls)
        return m_tls->read(buffer, size);
    return fromSystem(::recv(m_fd, buffer, size, 0));
}

Transfer Connection::writeSome(std::string_view bytes) {
    if (m_tls)
        return m_tls->write(bytes);
    const ssize_t count = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    // Nothing written to a socket that takes writes means it is broken.
    return count == 0 ? Transfer{Transfer::Result::Broken, 0} : fromSystem(count);
}

void Connection::receive(std::string_view bytes, std::vector<std::string>& lines,
                         std::vector<TelnetEvent>& events) {
    std::string text;
    m_telnet.feed(bytes, text, events);
    m_lines.feed(text, lines);
}

void Connection::startCompression() {
    if (!m_deflate)
        m_deflate = std::make_unique<Deflater>();
}

void Connection::queue(std::string_view bytes) {
    if (!m_deflate) {
        m_output += bytes;
        return;
    }
    z_stream& z = m_deflate->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    char piece[16384];
    do {
        z.next_out = reinterpret_cast<Bytef*>(piece);
        z.avail_out = sizeof piece;
        deflate(&z, Z_SYNC_FLUSH);
        m_output.append(piece, sizeof piece - z.avail_out);
    } while (z.avail_out == 0);
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
