#pragma once

#include "core/text_codec.h"

#include <array>
#include <cstdint>

namespace corvane {

// Reads received bytes as text a byte at a time: a well-formed UTF-8
// multi-byte sequence gives its character, every other byte is read as
// Windows-1252. Worlds mix both (old areas in the code page, players typing in
// UTF-8), and the decision is made per sequence so neither kind of text turns
// to debris. The state survives between reads, so a sequence split across two
// of them still decodes.
class Utf8StreamDecoder {
public:
    // Feeds one byte; `put(char32_t)` receives each character as it is known.
    template <typename Put> void feed(unsigned char byte, Put&& put);
    // A byte that cannot continue a sequence is coming (a control, an escape):
    // whatever is half read falls back to Windows-1252 first.
    template <typename Put> void flush(Put&& put);
    bool pending() const { return m_count != 0; }
    // True once the stream has held a valid multi-byte sequence: from then on
    // it is known to speak UTF-8.
    bool sawMultibyte() const { return m_sawMultibyte; }
    // Some byte from 128 up was not part of valid UTF-8.
    bool sawInvalid() const { return m_sawInvalid; }
    void reset() { *this = Utf8StreamDecoder{}; }

private:
    template <typename Put> void start(unsigned char byte, Put&& put);

    std::array<unsigned char, 4> m_bytes{};
    std::uint8_t m_count = 0;
    std::uint8_t m_length = 0;
    // Range allowed for the next continuation byte: the second byte's range
    // rules out overlong forms, surrogates and code points past U+10FFFF.
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xBF;
    char32_t m_codePoint = 0;
    bool m_sawMultibyte = false;
    bool m_sawInvalid = false;
};

template <typename Put> void Utf8StreamDecoder::feed(unsigned char byte, Put&& put) {
    if (m_count == 0) {
        start(byte, put);
        return;
    }
    if (byte < m_low || byte > m_high) {
        flush(put);
        start(byte, put);
        return;
    }
    m_bytes[m_count++] = byte;
    m_codePoint = (m_codePoint << 6) | (byte & 0x3Fu);
    m_low = 0x80;
    m_high = 0xBF;
    if (m_count == m_length) {
        m_count = 0;
        m_sawMultibyte = true;
        put(m_codePoint);
    }
}

template <typename Put> void Utf8StreamDecoder::flush(Put&& put) {
    // The bytes after a lead are all continuation bytes, which start nothing,
    // so reading each as Windows-1252 is the byte-by-byte fallback.
    for (std::uint8_t i = 0; i < m_count; ++i) {
        put(Cp1252ToCodePoint(m_bytes[i]));
    }
    m_sawInvalid = m_sawInvalid || m_count > 0;
    m_count = 0;
}

template <typename Put> void Utf8StreamDecoder::start(unsigned char byte, Put&& put) {
    m_low = 0x80;
    m_high = 0xBF;
    if (byte >= 0xC2 && byte <= 0xDF) {
        m_length = 2;
        m_codePoint = byte & 0x1Fu;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        m_length = 3;
        m_codePoint = byte & 0x0Fu;
        if (byte == 0xE0) {
            m_low = 0xA0;
        } else if (byte == 0xED) {
            m_high = 0x9F;
        }
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        m_length = 4;
        m_codePoint = byte & 0x07u;
        if (byte == 0xF0) {
            m_low = 0x90;
        } else if (byte == 0xF4) {
            m_high = 0x8F;
        }
    } else {
        m_sawInvalid = m_sawInvalid || byte >= 0x80;
        put(Cp1252ToCodePoint(byte));
        return;
    }
    m_bytes[0] = byte;
    m_count = 1;
}

} // namespace corvane
