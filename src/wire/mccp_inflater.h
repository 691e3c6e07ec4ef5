#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace corvane {

// The world's compressed stream (telnet option 86): once the world says
// IAC SB 86 IAC SE, every byte after it is zlib data until the stream ends.
// Inflated text goes on a fixed-size piece at a time, so a small stream that
// inflates to gigabytes never needs more memory than one piece.
class MccpInflater {
public:
    static constexpr unsigned char Option = 86;
    // One inflated piece; the next stage has it before the next is made.
    static constexpr std::size_t kPieceSize = std::size_t{16} * 1024;

    using Next = std::function<void(std::string_view inflated)>;

    MccpInflater();
    ~MccpInflater();
    MccpInflater(const MccpInflater&) = delete;
    MccpInflater& operator=(const MccpInflater&) = delete;

    // The next byte received is the first of a compressed stream. A second
    // start while one runs changes nothing: it came inside the stream.
    void start();
    bool active() const { return m_active; }
    // The stream could not be inflated; nothing more is taken.
    bool corrupt() const { return m_corrupt; }
    // Hands `bytes` inflated to `next`. Returns how many bytes were used:
    // fewer than given when the compressed stream ended among them, and the
    // rest is plain text again.
    std::size_t inflate(std::string_view bytes, const Next& next);
    // Forgets any stream (a new connection).
    void reset();

private:
    struct Stream;
    void endStream();

    std::unique_ptr<Stream> m_stream;
    bool m_active = false;
    bool m_corrupt = false;
};

} // namespace corvane
