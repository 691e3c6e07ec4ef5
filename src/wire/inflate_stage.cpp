#include "wire/inflate_stage.h"

namespace corvane {

InflateStage::InflateStage() : m_next([this](std::string_view piece) { passPiece(piece); }) {}

std::size_t InflateStage::take(const unsigned char* bytes, std::size_t n) {
    std::size_t at = 0;
    while (at < n && !m_inflater.corrupt()) {
        if (m_inflater.active()) {
            at += m_inflater.inflate({reinterpret_cast<const char*>(bytes + at), n - at}, m_next);
            continue;
        }
        // Stops short where the world starts compressing, the rest then inflated.
        at += pass(bytes + at, n - at);
    }
    // A corrupt stream's rest is nobody's.
    return n;
}

void InflateStage::passPiece(std::string_view piece) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(piece.data());
    std::size_t left = piece.size();
    while (left > 0) {
        // A start inside the stream stops the next stage too; it is text of
        // the stream and changes nothing, so the piece goes on where it stopped.
        const std::size_t used = pass(bytes, left);
        if (used == 0) {
            break;
        }
        bytes += used;
        left -= used;
    }
}

} // namespace corvane
