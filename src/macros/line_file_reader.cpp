#include "macros/line_file_reader.h"

#include <cerrno>
#include <filesystem>

namespace corvane {

FileError LineFileReader::open(const std::string& path) {
    close();
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(path, error)) {
        return FileErrorFromErrno(path.empty() ? ENOENT : EISDIR);
    }
    errno = 0;
    m_file.open(path, std::ios::binary);
    if (!m_file.is_open()) {
        return FileErrorFromErrno(errno == 0 ? ENOENT : errno);
    }
    return {};
}

void LineFileReader::close() {
    if (m_file.is_open()) {
        m_file.close();
    }
    m_file.clear();
    m_buffer.clear();
    m_pos = 0;
    m_skipLineFeed = false;
    m_midLine = false;
}

bool LineFileReader::fill() {
    if (m_pos < m_buffer.size()) {
        return true;
    }
    m_buffer.resize(kMaxPiece);
    m_file.read(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.resize(static_cast<std::size_t>(m_file.gcount()));
    m_pos = 0;
    return !m_buffer.empty();
}

bool LineFileReader::next(std::string& piece, bool& lineEnded) {
    piece.clear();
    lineEnded = false;
    if (!m_file.is_open()) {
        return false;
    }
    bool readAny = false;
    while (piece.size() < kMaxPiece) {
        if (!fill()) {
            // The last line of a file need not end with a line end; a line
            // cut into pieces is ended even when nothing follows its last one.
            lineEnded = true;
            const bool ended = readAny || m_midLine;
            m_midLine = false;
            return ended;
        }
        if (m_skipLineFeed) {
            m_skipLineFeed = false;
            if (m_buffer[m_pos] == '\n') {
                ++m_pos;
                continue;
            }
        }
        readAny = true;
        const char c = m_buffer[m_pos++];
        if (c == '\r' || c == '\n') {
            m_skipLineFeed = c == '\r';
            lineEnded = true;
            m_midLine = false;
            return true;
        }
        piece.push_back(c);
    }
    m_midLine = true;
    return true;
}

} // namespace corvane
