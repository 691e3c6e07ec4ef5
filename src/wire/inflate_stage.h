#pragma once

#include "wire/byte_stage.h"
#include "wire/mccp_inflater.h"

namespace corvane {

// MCCP2 in the received-byte path: plain bytes go on as they came until
// telnet reads the world's IAC SB 86 IAC SE and starts this stage; from
// there on, the rest of that read included, bytes go on inflated until the
// compressed stream ends and the text is plain again.
class InflateStage : public ByteStage {
public:
    InflateStage();

    std::size_t take(const unsigned char* bytes, std::size_t n) override;
    // The next byte is the first of a compressed stream. A second start
    // while one runs changes nothing: it came inside the stream.
    void start() { m_inflater.start(); }
    // The stream could not be inflated: nothing more can be read.
    bool corrupt() const { return m_inflater.corrupt(); }
    // Forgets any stream (a new connection).
    void reset() { m_inflater.reset(); }

private:
    // One inflated piece, all of it, to the next stage.
    void passPiece(std::string_view piece);

    MccpInflater m_inflater;
    MccpInflater::Next m_next;
};

} // namespace corvane
