#pragma once

#include <cstddef>

namespace corvane {

// One stage of the received-byte path: it takes the bytes of a read (or a
// piece of one) as they are at its place in the path and hands what it makes
// of them to the next stage. Stages are called once per read or piece, never
// per byte, so the cost of the call does not grow with the text.
class ByteStage {
public:
    virtual ~ByteStage() = default;

    // Returns how many of the bytes were used: all of them, except where the
    // stream changes form among them (the world starts compressing after
    // IAC SB 86 IAC SE, and says so to the stage that inflates). The stage
    // before then hands the rest on anew, through whatever reads the stream
    // in its new form.
    virtual std::size_t take(const unsigned char* bytes, std::size_t n) = 0;

    // The receive path links its stages in its order; the last has none.
    void setNext(ByteStage* next) { m_next = next; }

protected:
    std::size_t pass(const unsigned char* bytes, std::size_t n) {
        return m_next != nullptr ? m_next->take(bytes, n) : n;
    }

private:
    ByteStage* m_next = nullptr;
};

} // namespace corvane
