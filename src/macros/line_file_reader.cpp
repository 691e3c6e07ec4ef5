#include "macros/line_file_reader.h"

#include <cerrno>
#include <filesystem>

namespace corvane {

namespace {

// How many continuation bytes the UTF-8 sequence that ends the text still
// lacks; 0 when it ends on a whole character or on bytes that are no UTF-8.
std::size_t missingContinuations(const std::string& text) {
    std::size_t continuations = 0;
    for (std::size_t i = text.size(); i > 0 && continuations < 4; --i) {
        const auto byte = static_cast<unsigned char>(text[i - 1]);
        if ((byte & 0xC0) == 0x80) {
            ++continuations;
            continue;
        }
        std::size_t length = 1;
        if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
        }
        return length > continuations + 1 ? length - continuations - 1 : 0;
    }
    return 0;
}

} // namespace

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
    // Each piece is read on its own, so a character cut in two would reach
    // the world as two wrong ones: the piece takes the rest of it along.
    for (std::size_t missing = missingContinuations(piece); missing > 0 && fill(); --missing) {
        if ((static_cast<unsigned char>(m_buffer[m_pos]) & 0xC0) != 0x80) {
            break;
        }
        piece.push_back(m_buffer[m_pos++]);
    }
    m_midLine = true;
    return true;
}

} // namespace corvane
