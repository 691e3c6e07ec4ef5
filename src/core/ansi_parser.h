#pragma once

#include "core/text_line.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace corvane {

// ANSI escape sequences in received text: SGR colour and attribute codes change
// the current style; every other sequence is swallowed whole so no debris
// reaches the screen. The style carries over from line to line, as terminals do.
class AnsiParser {
public:
    static constexpr unsigned char ESC = 27;
    // Junk that never ends must not swallow the session: a sequence running
    // past these lengths (counted from its ESC) is abandoned and text resumes.
    static constexpr std::size_t MaxSequenceLength = 256;
    static constexpr std::size_t MaxStringLength = std::size_t{64} * 1024; // OSC, DCS, PM, APC, SOS

    // True while inside a sequence; the caller then hands every byte to feed().
    bool inSequence() const { return m_state != State::Text; }
    // Takes a byte while inSequence(), or the ESC that starts a sequence.
    void feed(unsigned char byte);
    const TextStyle& style() const { return m_style; }
    // The MXP line mode of the last ESC [ n z, or -1; taking it clears it.
    int takeLineMode() { return std::exchange(m_lineMode, -1); }
    // Back to text in the plain style, as at the start of a connection.
    void reset();
    // Leaves a half-read sequence without touching the style: a carriage
    // return in the middle of one still has to end its line.
    void cancelSequence();

    // The colour of an entry of the 256-colour table (0-15 the basic sixteen).
    static Rgb paletteColour(int index);

private:
    enum class State {
        Text,
        Escape,
        Csi,
        Osc,
        OscEscape,
        EscapeIntermediate,
        ControlString,
        ControlStringEscape
    };
    enum class ColourKind : std::uint8_t { Default, Basic, Rgb };
    struct Colour {
        ColourKind kind = ColourKind::Default;
        std::uint8_t basic = 0;
        Rgb rgb;
    };

    void begin();
    bool grow(std::size_t limit);
    void feedEscape(unsigned char byte);
    void feedCsi(unsigned char byte);
    bool isSubParameter(std::size_t index) const { return ((m_colonMask >> index) & 1U) != 0; }
    void applySgr();
    std::size_t applyCode(std::size_t index, std::size_t groupEnd, std::size_t count);
    std::size_t applyExtendedColour(Colour& target, std::size_t index, std::size_t groupEnd,
                                    std::size_t count);
    void resetAttributes();
    void updateStyle();

    State m_state = State::Text;
    std::array<int, 32> m_params{};
    // Parameters seen so far, also past the 32 kept.
    std::size_t m_paramCount = 0;
    // Bit i: parameter i followed a ':' (a sub-parameter of the one before).
    std::uint32_t m_colonMask = 0;
    bool m_private = false;
    bool m_intermediate = false;
    std::size_t m_length = 0;
    Colour m_foreground;
    Colour m_background;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_reverse = false;
    int m_lineMode = -1;
    TextStyle m_style;
};

// Text that arrives whole rather than in the stream (a GMCP channel message):
// its colour codes become spans, and line ends, tabs and other control
// characters become blanks so it stays one line.
TextLine StyledLine(std::string_view text);

} // namespace corvane
