#pragma once

#include "wire/byte_stage.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

struct Session;
class Socket;

// Received bytes waiting to be read, the first stage of the received-byte
// path: they wait here while the output is paused, and the path hands them on
// a read at a time when it is not. Nobody reads while the output is paused,
// so past a limit the socket stops reading and the server waits instead of
// this holding an endless flood in memory.
class HeldText : public ByteStage {
public:
    // Received text held while the output is paused before the socket stops reading.
    static constexpr std::size_t kMaxHeldText = std::size_t{1024} * 1024;

    // `held` is told of bytes kept because the output is paused.
    HeldText(const Session& session, Socket& socket, std::function<void(std::string_view bytes)> held);

    std::size_t take(const unsigned char* bytes, std::size_t n) override;
    // Hands everything waiting on to the next stage as one read; false when
    // nothing waited.
    bool passRead();
    // The output goes on: the socket reads again.
    void resumed();
    bool empty() const { return m_text.empty(); }
    std::size_t lines() const;
    const std::string& text() const { return m_text; }
    void clear() { m_text.clear(); }

private:
    const Session& m_session;
    Socket& m_socket;
    std::function<void(std::string_view bytes)> m_held;
    std::string m_text;
    // The read being handed on, kept so its buffer is reused.
    std::string m_read;
};

} // namespace corvane
