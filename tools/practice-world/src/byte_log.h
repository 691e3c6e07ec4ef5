#pragma once

#include "types.h"

#include <fstream>
#include <string>
#include <string_view>

namespace practice_world {

// Writes every byte in and out, stamped and escaped one chunk per line, for
// finding out what a client really sent and what it was really sent.
class ByteLog {
public:
    bool open(const std::string& path);
    bool isOpen() const { return m_file.is_open(); }

    // `direction` is '<' for bytes from the client, '>' for bytes to it.
    void record(ConnectionId id, char direction, std::string_view bytes);
    void note(ConnectionId id, std::string_view text);

    // C-style escaping that keeps the log one line per chunk.
    static std::string escape(std::string_view bytes);

private:
    void write(ConnectionId id, std::string_view marker, std::string_view text);

    std::ofstream m_file;
};

} // namespace practice_world
