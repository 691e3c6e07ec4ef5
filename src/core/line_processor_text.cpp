#include "core/line_processor.h"

#include "core/session.h"
#include "core/text_codec.h"

namespace corvane {

// Text decoding in the text stage: runs of text bytes become characters
// (UTF-8 where it is, else Windows-1252), through MXP's markup while it is
// on, with the style spans of the line they join.

namespace {

// Decoded characters that are not shown: controls, and the separators and
// noncharacters that the output window would take for line structure.
bool isShownCharacter(char32_t c) {
    if (c < 0xA0) {
        return c >= 0x20 && c < 0x80;
    }
    if (c == 0x2028 || c == 0x2029 || (c >= 0xFDD0 && c <= 0xFDEF)) {
        return false;
    }
    return (c & 0xFFFE) != 0xFFFE;
}

} // namespace

void LineProcessor::closeSpan() {
    const std::size_t end = m_line.text.size();
    if (!m_spanStyle.isPlain() && end > m_spanStart) {
        m_line.spans.push_back(StyleSpan{static_cast<std::uint32_t>(m_spanStart),
                                         static_cast<std::uint32_t>(end - m_spanStart), m_spanStyle});
    }
    m_spanStart = end;
}

void LineProcessor::putCharacter(char32_t character) {
    if (!isShownCharacter(character)) {
        return;
    }
    if (m_lineCharacters >= kMaxLineCharacters) {
        cutLine();
    }
    AppendUtf8(m_line.text, character);
    ++m_lineCharacters;
}

void LineProcessor::flushDecoder() {
    m_decoder.flush([this](char32_t character) { textCharacter(character); });
}

void LineProcessor::textCharacter(char32_t character) {
    if (m_mxpOn) {
        m_mxp.feed(character, *this);
    } else {
        putCharacter(character);
    }
}

template <typename Put> void LineProcessor::feedDecoder(unsigned char byte, Put&& put) {
    // A world that asked for the code page gets it for every byte, even
    // where its text happens to look like UTF-8.
    if (m_session.Encoding == TextEncoding::Windows1252) {
        put(Cp1252ToCodePoint(byte));
    } else {
        m_decoder.feed(byte, put);
    }
}

void LineProcessor::decodeByte(unsigned char byte) {
    feedDecoder(byte, [this](char32_t character) { textCharacter(character); });
}

void LineProcessor::decodeText(const unsigned char* begin, const unsigned char* end) {
    const auto put = [this](char32_t character) { putCharacter(character); };
    for (const unsigned char* p = begin; p != end; ++p) {
        if (*p < 0x80 && !m_decoder.pending()) {
            if (m_lineCharacters >= kMaxLineCharacters) {
                cutLine();
            }
            m_line.text.push_back(static_cast<char>(*p));
            ++m_lineCharacters;
        } else {
            feedDecoder(*p, put);
        }
    }
}

void LineProcessor::setMxpAccepted(bool accepted) {
    m_mxpAccepted = accepted;
    m_telnet.setAccepted(telnet_option::Mxp, TelnetFilter::Side::Remote, accepted);
    m_telnet.setAccepted(telnet_option::Mxp, TelnetFilter::Side::Local, accepted);
    mxpSwitched();
}

void LineProcessor::mxpSwitched() {
    const bool on = m_mxpAccepted && (m_telnet.isOn(telnet_option::Mxp, TelnetFilter::Side::Remote) ||
                                      m_telnet.isOn(telnet_option::Mxp, TelnetFilter::Side::Local));
    if (on == m_mxpOn) {
        return;
    }
    m_mxpOn = on;
    // A line mode seen while MXP was off is not for it.
    m_ansi.takeLineMode();
    m_mxp.reset();
    mxpLookChanged();
}

void LineProcessor::mxpBytes(const unsigned char* begin, const unsigned char* end) {
    for (const unsigned char* p = begin; p != end; ++p) {
        if (*p < 0x80 && !m_decoder.pending()) {
            m_mxp.feed(*p, *this);
        } else {
            feedDecoder(*p, [this](char32_t character) { m_mxp.feed(character, *this); });
        }
    }
}

void LineProcessor::mxpSequenceEnded() {
    const int mode = m_ansi.takeLineMode();
    if (mode >= 0) {
        m_mxp.setLineMode(mode, *this);
    }
    mxpLookChanged();
}

void LineProcessor::mxpText(char32_t character) {
    putCharacter(character);
}

void LineProcessor::mxpLookChanged() {
    TextStyle style = m_ansi.style();
    if (m_mxpOn) {
        const MxpLook& look = m_mxp.look();
        const auto rgb = [](std::uint32_t value) {
            return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                       static_cast<std::uint8_t>(value)};
        };
        style.bold = style.bold || look.bold;
        style.italic = style.italic || look.italic;
        style.underline = style.underline || look.underline;
        if (look.foreground) {
            style.foreground = rgb(*look.foreground);
        }
        if (look.background) {
            style.background = rgb(*look.background);
        }
        style.link = look.link;
    }
    if (!(style == m_spanStyle)) {
        closeSpan();
        m_spanStyle = style;
    }
}

void LineProcessor::mxpLineBreak() {
    completeLine(true);
    m_previous = '\n';
    m_pairedEnd = 0;
}

} // namespace corvane
