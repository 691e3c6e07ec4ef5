#pragma once

#include "core/text_file_writer.h"

#include <cstddef>
#include <fstream>
#include <string>

namespace corvane {

// Reads a text file a line at a time without ever holding more than one
// piece of it: a line longer than kMaxPiece comes in several pieces, so a
// file with no line ends at all costs no more memory than a short one. A
// piece never ends inside a UTF-8 character; it runs up to three bytes past
// kMaxPiece to finish one. CR LF, LF and CR alone all end a line.
class LineFileReader {
public:
    static constexpr std::size_t kMaxPiece = 4096;

    FileError open(const std::string& path);
    bool isOpen() const { return m_file.is_open(); }
    void close();
    // The next piece of the file; lineEnded is false when the line goes on
    // in the next piece. False at the end of the file or on a read error.
    bool next(std::string& piece, bool& lineEnded);

private:
    bool fill();

    std::ifstream m_file;
    std::string m_buffer;
    std::size_t m_pos = 0;
    // A CR ended the last line: an LF right after it belongs to that line end.
    bool m_skipLineFeed = false;
    // The last piece handed out did not end its line.
    bool m_midLine = false;
};

} // namespace corvane
