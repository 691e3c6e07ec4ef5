#include "core/ansi_parser.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr unsigned char BEL = 7;
// Far above any meaningful SGR value, and low enough that a flood of digits
// cannot overflow the accumulator.
constexpr int MaxParameterValue = 65535;

constexpr bool isIntermediate(unsigned char byte) {
    return byte >= 0x20 && byte <= 0x2F;
}
constexpr bool isFinal(unsigned char byte) {
    return byte >= 0x40 && byte <= 0x7E;
}
constexpr bool isPrivateMarker(unsigned char byte) {
    return byte >= 0x3C && byte <= 0x3F;
}

std::uint8_t channel(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

void AnsiParser::feed(unsigned char byte) {
    switch (m_state) {
    case State::Text:
        if (byte == ESC) {
            begin();
        }
        return;
    case State::Escape:
        if (grow(MaxSequenceLength)) {
            feedEscape(byte);
        }
        return;
    case State::Csi:
        if (grow(MaxSequenceLength)) {
            feedCsi(byte);
        }
        return;
    case State::EscapeIntermediate:
        if (!grow(MaxSequenceLength)) {
            return;
        }
        if (byte == ESC) {
            begin();
        } else if (!isIntermediate(byte)) {
            m_state = State::Text;
        }
        return;
    case State::Osc:
        if (!grow(MaxStringLength)) {
            return;
        }
        if (byte == BEL) {
            m_state = State::Text;
        } else if (byte == ESC) {
            m_state = State::OscEscape;
        }
        return;
    case State::ControlString:
        if (grow(MaxStringLength) && byte == ESC) {
            m_state = State::ControlStringEscape;
        }
        return;
    case State::OscEscape:
    case State::ControlStringEscape:
        if (!grow(MaxStringLength)) {
            return;
        }
        if (byte == '\\') {
            m_state = State::Text;
            return;
        }
        // An ESC that is not a string terminator cancels the string, as on a
        // terminal, and starts a sequence of its own.
        m_state = State::Escape;
        m_length = 2;
        feedEscape(byte);
        return;
    }
}

void AnsiParser::begin() {
    m_state = State::Escape;
    m_length = 1;
}

bool AnsiParser::grow(std::size_t limit) {
    if (++m_length <= limit) {
        return true;
    }
    m_state = State::Text;
    return false;
}

void AnsiParser::feedEscape(unsigned char byte) {
    switch (byte) {
    case '[':
        m_state = State::Csi;
        m_params[0] = 0;
        m_paramCount = 0;
        m_colonMask = 0;
        m_private = false;
        m_intermediate = false;
        return;
    case ']':
        m_state = State::Osc;
        return;
    case 'P':
    case 'X':
    case '^':
    case '_':
        m_state = State::ControlString;
        return;
    case ESC:
        begin();
        return;
    default:
        // Other finals make a two-byte sequence; a control or non-ASCII byte
        // means this was never a sequence, and the byte goes with it.
        m_state = isIntermediate(byte) ? State::EscapeIntermediate : State::Text;
        return;
    }
}

void AnsiParser::feedCsi(unsigned char byte) {
    if (byte >= '0' && byte <= '9') {
        m_paramCount = std::max<std::size_t>(m_paramCount, 1);
        const std::size_t index = m_paramCount - 1;
        if (index < m_params.size()) {
            m_params[index] = std::min(m_params[index] * 10 + (byte - '0'), MaxParameterValue);
        }
    } else if (byte == ';' || byte == ':') {
        // A leading separator means an empty, hence zero, first parameter.
        m_paramCount = std::max<std::size_t>(m_paramCount, 1);
        if (m_paramCount < m_params.size()) {
            m_params[m_paramCount] = 0;
            if (byte == ':') {
                m_colonMask |= 1U << m_paramCount;
            }
        }
        ++m_paramCount;
    } else if (isPrivateMarker(byte)) {
        m_private = true;
    } else if (isIntermediate(byte)) {
        m_intermediate = true;
    } else if (isFinal(byte)) {
        // Private-marked or intermediate forms ending in 'm' are other
        // functions (xterm's key modifiers, for one), not colours.
        if (byte == 'm' && !m_private && !m_intermediate) {
            applySgr();
        } else if (byte == 'z' && !m_private && !m_intermediate) {
            m_lineMode = m_paramCount == 0 ? 0 : m_params[0];
        }
        m_state = State::Text;
    } else if (byte == ESC) {
        begin();
    } else {
        m_state = State::Text;
    }
}

void AnsiParser::applySgr() {
    const std::size_t count = std::min(m_paramCount, m_params.size());
    if (count == 0) {
        resetAttributes();
    }
    for (std::size_t index = 0; index < count;) {
        std::size_t groupEnd = index + 1;
        while (groupEnd < count && isSubParameter(groupEnd)) {
            ++groupEnd;
        }
        index = applyCode(index, groupEnd, count);
    }
    updateStyle();
}

// Returns the index of the first parameter not used by this code.
std::size_t AnsiParser::applyCode(std::size_t index, std::size_t groupEnd, std::size_t count) {
    const int code = m_params[index];
    if (code >= 30 && code <= 37) {
        m_foreground = {ColourKind::Basic, static_cast<std::uint8_t>(code - 30), {}};
    } else if (code >= 40 && code <= 47) {
        m_background = {ColourKind::Basic, static_cast<std::uint8_t>(code - 40), {}};
    } else if (code >= 90 && code <= 97) {
        m_foreground = {ColourKind::Basic, static_cast<std::uint8_t>(code - 90 + 8), {}};
    } else if (code >= 100 && code <= 107) {
        m_background = {ColourKind::Basic, static_cast<std::uint8_t>(code - 100 + 8), {}};
    } else {
        switch (code) {
        case 0:
            resetAttributes();
            break;
        case 1:
            m_bold = true;
            break;
        case 2: // faint: there is no dimmer weight to show, so it reads as normal
        case 21:
        case 22:
            m_bold = false;
            break;
        case 3:
            m_italic = true;
            break;
        case 4:
            // 4:0 switches underline off; 4:1 to 4:5 are underline styles.
            m_underline = groupEnd == index + 1 || m_params[index + 1] != 0;
            break;
        case 7:
            m_reverse = true;
            break;
        case 23:
            m_italic = false;
            break;
        case 24:
            m_underline = false;
            break;
        case 27:
            m_reverse = false;
            break;
        case 38:
            return applyExtendedColour(m_foreground, index, groupEnd, count);
        case 39:
            m_foreground = {};
            break;
        case 48:
            return applyExtendedColour(m_background, index, groupEnd, count);
        case 49:
            m_background = {};
            break;
        default:
            break;
        }
    }
    return groupEnd;
}

// 38 and 48 come in two spellings: the colon form carries its values inside
// its own group (with or without the colour-space id before r:g:b), the older
// semicolon form takes them from the parameters that follow. Missing values
// leave the colour as it was.
std::size_t AnsiParser::applyExtendedColour(Colour& target, std::size_t index, std::size_t groupEnd,
                                            std::size_t count) {
    const auto setRgb = [&](std::size_t first) {
        target = {ColourKind::Rgb, 0,
                  Rgb{channel(m_params[first]), channel(m_params[first + 1]), channel(m_params[first + 2])}};
    };
    const auto setIndexed = [&](std::size_t at) {
        target = {ColourKind::Rgb, 0, paletteColour(m_params[at])};
    };

    if (groupEnd > index + 1) {
        const std::size_t size = groupEnd - index;
        const int mode = m_params[index + 1];
        if (mode == 5 && size >= 3) {
            setIndexed(index + 2);
        } else if (mode == 2 && size >= 6) {
            setRgb(index + 3);
        } else if (mode == 2 && size == 5) {
            setRgb(index + 2);
        }
        return groupEnd;
    }
    if (index + 1 >= count) {
        return count;
    }
    const int mode = m_params[index + 1];
    if (mode == 5) {
        if (index + 2 < count) {
            setIndexed(index + 2);
        }
        return std::min(index + 3, count);
    }
    if (mode == 2) {
        if (index + 4 < count) {
            setRgb(index + 2);
        }
        return std::min(index + 5, count);
    }
    return index + 2;
}

void AnsiParser::resetAttributes() {
    m_foreground = {};
    m_background = {};
    m_bold = false;
    m_italic = false;
    m_underline = false;
    m_reverse = false;
}

void AnsiParser::updateStyle() {
    const auto resolve = [](const Colour& colour, bool bright) -> std::optional<Rgb> {
        switch (colour.kind) {
        case ColourKind::Default:
            return std::nullopt;
        case ColourKind::Basic:
            // Bold brightens the eight basic colours, as on the terminals
            // that servers colour their text for.
            return paletteColour(colour.basic + (bright && colour.basic < 8 ? 8 : 0));
        case ColourKind::Rgb:
            return colour.rgb;
        }
        return std::nullopt;
    };
    m_style.foreground = resolve(m_foreground, m_bold);
    m_style.background = resolve(m_background, false);
    m_style.bold = m_bold;
    m_style.italic = m_italic;
    m_style.underline = m_underline;
    m_style.reverse = m_reverse;
}

void AnsiParser::reset() {
    m_state = State::Text;
    m_lineMode = -1;
    m_paramCount = 0;
    m_length = 0;
    resetAttributes();
    updateStyle();
}

void AnsiParser::cancelSequence() {
    m_state = State::Text;
    m_paramCount = 0;
    m_length = 0;
}

Rgb AnsiParser::paletteColour(int index) {
    static constexpr std::array<Rgb, 16> Basic{{{0, 0, 0},
                                                {170, 0, 0},
                                                {0, 170, 0},
                                                {170, 85, 0},
                                                {0, 0, 170},
                                                {170, 0, 170},
                                                {0, 170, 170},
                                                {170, 170, 170},
                                                {85, 85, 85},
                                                {255, 85, 85},
                                                {85, 255, 85},
                                                {255, 255, 85},
                                                {85, 85, 255},
                                                {255, 85, 255},
                                                {85, 255, 255},
                                                {255, 255, 255}}};
    static constexpr std::array<std::uint8_t, 6> CubeLevels{0, 95, 135, 175, 215, 255};
    index = std::clamp(index, 0, 255);
    if (index < 16) {
        return Basic[static_cast<std::size_t>(index)];
    }
    if (index < 232) {
        const auto cube = static_cast<std::size_t>(index - 16);
        return Rgb{CubeLevels[cube / 36], CubeLevels[(cube / 6) % 6], CubeLevels[cube % 6]};
    }
    const auto grey = static_cast<std::uint8_t>(8 + 10 * (index - 232));
    return Rgb{grey, grey, grey};
}

TextLine StyledLine(std::string_view text) {
    TextLine line;
    AnsiParser parser;
    TextStyle spanStyle;
    std::size_t spanStart = 0;
    // Control characters between words become one blank; at either end, none.
    bool blank = false;
    const auto closeSpan = [&] {
        if (!spanStyle.isPlain() && line.text.size() > spanStart) {
            line.spans.push_back(StyleSpan{static_cast<std::uint32_t>(spanStart),
                                           static_cast<std::uint32_t>(line.text.size() - spanStart), spanStyle});
        }
        spanStart = line.text.size();
    };
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (parser.inSequence() || byte == AnsiParser::ESC) {
            parser.feed(byte);
            if (!parser.inSequence() && !(parser.style() == spanStyle)) {
                closeSpan();
                spanStyle = parser.style();
            }
        } else if (byte < 0x20 || byte == 0x7F) {
            blank = !line.text.empty();
        } else {
            if (blank) {
                line.text.push_back(' ');
                blank = false;
            }
            line.text.push_back(c);
        }
    }
    closeSpan();
    return line;
}

} // namespace corvane
