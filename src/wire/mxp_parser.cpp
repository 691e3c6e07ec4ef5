#include "wire/mxp_parser.h"

#include "wire/mxp_colours.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvane {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isAsciiLetter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isNameCharacter(char32_t c) {
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
}

bool isSpace(char32_t c) {
    return c == ' ' || c == '\t';
}

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// What an entity's name stands for; nothing for a name this subset does not know.
std::optional<char32_t> entityValue(std::u32string_view name) {
    if (name.size() >= 2 && name.front() == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::u32string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 7) {
            return std::nullopt;
        }
        char32_t value = 0;
        for (const char32_t d : digits) {
            int digit = -1;
            if (d >= '0' && d <= '9') {
                digit = static_cast<int>(d - '0');
            } else if (hex && d >= 'a' && d <= 'f') {
                digit = static_cast<int>(d - 'a' + 10);
            } else if (hex && d >= 'A' && d <= 'F') {
                digit = static_cast<int>(d - 'A' + 10);
            }
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        // Controls would be line structure or terminal codes, not text.
        if (value < 0x20 || (value >= 0x7F && value < 0xA0) || (value >= 0xD800 && value < 0xE000) ||
            value > 0x10FFFF) {
            return std::nullopt;
        }
        return value;
    }
    static constexpr std::array<std::pair<std::u32string_view, char32_t>, 6> kNamed = {{
        {U"lt", U'<'}, {U"gt", U'>'}, {U"amp", U'&'}, {U"quot", U'"'}, {U"apos", U'\''}, {U"nbsp", 0xA0}}};
    for (const auto& [known, value] : kNamed) {
        if (name.size() == known.size() &&
            std::equal(name.begin(), name.end(), known.begin(),
                       [](char32_t a, char32_t b) { return (isAsciiLetter(a) ? (a | 0x20) : a) == b; })) {
            return value;
        }
    }
    return std::nullopt;
}

// An attribute's value with its entities read, controls left out: a
// command from a link is one line.
std::string attributeText(std::u32string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char32_t c = value[i];
        if (c == '&') {
            const std::size_t end = value.find(';', i + 1);
            if (end != std::u32string_view::npos && end - i - 1 <= MxpParser::kMaxEntityLength) {
                if (const auto decoded = entityValue(value.substr(i + 1, end - i - 1))) {
                    c = *decoded;
                    i = end;
                }
            }
        }
        if (c >= 0x20 && c != 0x7F) {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::vector<std::string> splitBars(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = text.find('|', start);
        parts.emplace_back(text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos || parts.size() > MxpParser::kMaxMenu) {
            break;
        }
        start = bar + 1;
    }
    return parts;
}

std::string replaceLinkText(std::string command, std::string_view text) {
    static constexpr std::string_view kMarker = "&text;";
    std::size_t at = 0;
    while ((at = lowerAscii(command).find(kMarker, at)) != std::string::npos) {
        command.replace(at, kMarker.size(), text);
        at += text.size();
    }
    return command;
}

bool isWebAddress(std::string_view address) {
    const std::string lower = lowerAscii(address.substr(0, 8));
    return (lower.rfind("http://", 0) == 0 && address.size() > 7) ||
           (lower.rfind("https://", 0) == 0 && address.size() > 8);
}

} // namespace

// A tag as read: its name in lower case, named attributes (names in lower
// case) and values given without a name, in order.
struct MxpParser::Tag {
    bool closing = false;
    std::string name;
    std::vector<std::pair<std::string, std::string>> named;
    std::vector<std::string> unnamed;

    const std::string* value(std::string_view key) const {
        for (const auto& [attribute, text] : named) {
            if (attribute == key) {
                return &text;
            }
        }
        return nullptr;
    }
    bool flag(std::string_view key) const {
        return value(key) != nullptr ||
               std::any_of(unnamed.begin(), unnamed.end(), [&](const std::string& text) { return lowerAscii(text) == key; });
    }

    static Tag read(std::u32string_view body) {
        Tag tag;
        std::size_t i = 0;
        if (i < body.size() && body[i] == '/') {
            tag.closing = true;
            ++i;
        }
        const std::size_t nameStart = i;
        while (i < body.size() && isNameCharacter(body[i])) {
            ++i;
        }
        tag.name = lowerAscii(attributeText(body.substr(nameStart, i - nameStart)));
        while (i < body.size()) {
            while (i < body.size() && (isSpace(body[i]) || body[i] == '/')) {
                ++i;
            }
            if (i >= body.size()) {
                break;
            }
            const auto token = [&]() {
                const char32_t quote = body[i];
                if (quote == '"' || quote == '\'') {
                    const std::size_t end = std::min(body.find(quote, i + 1), body.size());
                    const std::u32string_view text = body.substr(i + 1, end - i - 1);
                    i = std::min(end + 1, body.size());
                    return text;
                }
                const std::size_t start = i;
                while (i < body.size() && !isSpace(body[i]) && body[i] != '=') {
                    ++i;
                }
                return body.substr(start, i - start);
            };
            const std::u32string_view first = token();
            if (i < body.size() && body[i] == '=') {
                ++i;
                const std::u32string_view second = i < body.size() ? token() : std::u32string_view();
                tag.named.emplace_back(lowerAscii(attributeText(first)), attributeText(second));
            } else {
                tag.unnamed.push_back(attributeText(first));
            }
        }
        return tag;
    }
};

void MxpParser::feed(char32_t character, Sink& sink) {
    if (m_state == State::Tag) {
        tagCharacter(character, sink);
        return;
    }
    if (m_state == State::Entity) {
        entityCharacter(character, sink);
        return;
    }
    const bool tempSecure = std::exchange(m_tempSecure, false);
    if (m_mode == Mode::Locked && !tempSecure) {
        showCharacter(character, sink);
    } else if (character == '<') {
        m_state = State::Tag;
        m_tagSecure = tempSecure || m_mode == Mode::Secure;
        m_quote = 0;
        m_buffer.clear();
    } else if (character == '&') {
        m_state = State::Entity;
        m_buffer.clear();
    } else {
        showCharacter(character, sink);
    }
}

void MxpParser::tagCharacter(char32_t character, Sink& sink) {
    if (m_buffer.empty() && !isAsciiLetter(character) && character != '/' && character != '!') {
        // "a < b", "<3": a lone angle bracket is text.
        m_state = State::Text;
        showCharacter('<', sink);
        feed(character, sink);
        return;
    }
    if (m_quote != 0) {
        if (character == m_quote) {
            m_quote = 0;
        }
    } else if ((character == '"' || character == '\'') && !m_buffer.empty() &&
               (m_buffer.back() == '=' || isSpace(m_buffer.back()))) {
        m_quote = character;
    } else if (character == '>') {
        m_state = State::Text;
        tagEnded(sink);
        return;
    }
    m_buffer.push_back(character);
    if (m_buffer.size() > kMaxTagLength) {
        m_state = State::Text;
        showBuffer('<', m_buffer, sink);
    }
}

void MxpParser::entityCharacter(char32_t character, Sink& sink) {
    if (character == ';') {
        m_state = State::Text;
        if (const auto value = entityValue(m_buffer)) {
            showCharacter(*value, sink);
        } else {
            showBuffer('&', m_buffer, sink);
            showCharacter(';', sink);
        }
        return;
    }
    const bool fits = m_buffer.size() < kMaxEntityLength;
    if (fits && (isNameCharacter(character) || (m_buffer.empty() && character == '#'))) {
        m_buffer.push_back(character);
        return;
    }
    // "fish & chips": an ampersand that starts no entity is text.
    m_state = State::Text;
    showBuffer('&', m_buffer, sink);
    feed(character, sink);
}

void MxpParser::showCharacter(char32_t character, Sink& sink) {
    if (m_look.link != 0 && m_linkText.size() < kMaxLinkText) {
        appendUtf8(m_linkText, character);
    }
    sink.mxpText(character);
}

void MxpParser::showBuffer(char32_t first, std::u32string_view after, Sink& sink) {
    // Copied first: showCharacter() never touches the buffer, but a caller's view may be of it.
    const std::u32string text(after);
    showCharacter(first, sink);
    for (const char32_t c : text) {
        showCharacter(c, sink);
    }
}

void MxpParser::tagEnded(Sink& sink) {
    struct Known {
        std::string_view name;
        Element element;
    };
    static constexpr std::array<Known, 20> kElements = {{
        {"b", Element::Bold},
        {"bold", Element::Bold},
        {"strong", Element::Bold},
        {"i", Element::Italic},
        {"italic", Element::Italic},
        {"em", Element::Italic},
        {"u", Element::Underline},
        {"underline", Element::Underline},
        {"c", Element::Colour},
        {"color", Element::Colour},
        {"send", Element::Send},
        {"a", Element::Web},
        {"br", Element::LineBreak},
        // Allowed in open mode but outside this subset: dropped, never text.
        {"s", Element::Dropped},
        {"strike", Element::Dropped},
        {"h", Element::Dropped},
        {"high", Element::Dropped},
        {"font", Element::Dropped},
        {"small", Element::Dropped},
        {"tt", Element::Dropped},
    }};
    const Tag tag = Tag::read(m_buffer);
    Element element = Element::Unknown;
    for (const Known& known : kElements) {
        if (known.name == tag.name) {
            element = known.element;
            break;
        }
    }
    if (tag.closing) {
        closeTag(element, m_tagSecure, sink);
    } else {
        openTag(element, tag, m_tagSecure, sink);
    }
}

void MxpParser::openTag(Element element, const Tag& tag, bool secure, Sink& sink) {
    const bool looks = element == Element::Bold || element == Element::Italic || element == Element::Underline ||
                       element == Element::Colour;
    if (!secure && !looks && element != Element::Dropped) {
        // Outside secure mode only the looks are MXP; the rest is what the world's text says.
        const std::u32string body = m_buffer;
        showBuffer('<', body, sink);
        showCharacter('>', sink);
        return;
    }
    if (element == Element::LineBreak) {
        sink.mxpLineBreak();
        return;
    }
    if (element == Element::Dropped || element == Element::Unknown || m_opened.size() >= kMaxDepth) {
        return;
    }
    Opened opened;
    opened.element = element;
    if (element == Element::Colour) {
        const std::string* fore = tag.value("fore");
        const std::string* back = tag.value("back");
        const std::string* first = tag.unnamed.empty() ? nullptr : &tag.unnamed[0];
        const std::string* second = tag.unnamed.size() < 2 ? nullptr : &tag.unnamed[1];
        if (fore == nullptr) {
            fore = first;
            first = second;
        }
        if (back == nullptr) {
            back = first;
        }
        opened.foreground = fore == nullptr ? std::nullopt : MxpColour(*fore);
        opened.background = back == nullptr ? std::nullopt : MxpColour(*back);
    } else if ((element == Element::Send || element == Element::Web) && !linkOpen() &&
               m_linksThisLine < kMaxLinksPerLine) {
        const std::string* href = tag.value("href");
        if (href == nullptr && !tag.unnamed.empty() && lowerAscii(tag.unnamed[0]) != "prompt") {
            href = &tag.unnamed[0];
        }
        const std::string* hint = tag.value("hint");
        MxpLink link;
        if (element == Element::Web) {
            if (href != nullptr && isWebAddress(*href)) {
                link.kind = MxpLink::Kind::Web;
                link.address = *href;
                link.hint = hint == nullptr ? std::string() : *hint;
                opened.link = m_links.add(std::move(link));
            }
        } else {
            link.prompt = tag.flag("prompt");
            opened.href = href == nullptr ? std::string() : *href;
            opened.hint = hint == nullptr ? std::string() : *hint;
            opened.link = m_links.add(std::move(link));
        }
        if (opened.link != 0) {
            ++m_linksThisLine;
            m_linkText.clear();
        }
    }
    m_opened.push_back(std::move(opened));
    updateLook(sink);
}

void MxpParser::closeTag(Element element, bool secure, Sink& sink) {
    for (std::size_t i = m_opened.size(); i > 0; --i) {
        if (m_opened[i - 1].element == element) {
            // Closing a tag closes whatever was opened inside it too.
            closeFrom(i - 1, sink);
            return;
        }
    }
    const bool mxpAnyway = element == Element::Bold || element == Element::Italic ||
                           element == Element::Underline || element == Element::Colour ||
                           element == Element::Dropped;
    if (!secure && !mxpAnyway) {
        const std::u32string body = m_buffer;
        showBuffer('<', body, sink);
        showCharacter('>', sink);
    }
}

void MxpParser::closeFrom(std::size_t index, Sink& sink) {
    for (std::size_t i = m_opened.size(); i > index; --i) {
        if (m_opened[i - 1].link != 0) {
            finishLink(m_opened[i - 1]);
        }
    }
    m_opened.resize(std::min(index, m_opened.size()));
    updateLook(sink);
}

void MxpParser::finishLink(const Opened& opened) {
    MxpLink* link = m_links.find(opened.link);
    if (link == nullptr || link->kind != MxpLink::Kind::Send) {
        return;
    }
    // A link's commands are its text unless it names them; "&text;" in one is the text.
    std::vector<std::string> commands;
    if (!opened.href.empty()) {
        for (std::string& command : splitBars(opened.href)) {
            command = replaceLinkText(std::move(command), m_linkText);
            if (!command.empty()) {
                commands.push_back(std::move(command));
            }
        }
    } else if (!m_linkText.empty()) {
        commands.push_back(m_linkText);
    }
    commands.resize(std::min(commands.size(), kMaxMenu));
    std::vector<std::string> hints = opened.hint.empty() ? std::vector<std::string>() : splitBars(opened.hint);
    // One hint more than commands: the first is the link's own, the rest the menu's words.
    if (hints.size() == commands.size() + 1) {
        link->hint = hints.front();
        hints.erase(hints.begin());
    } else if (hints.size() == 1 || hints.size() != commands.size()) {
        link->hint = opened.hint;
        hints.clear();
    }
    link->captions = hints.size() == commands.size() ? std::move(hints) : commands;
    link->commands = std::move(commands);
}

bool MxpParser::linkOpen() const {
    return std::any_of(m_opened.begin(), m_opened.end(), [](const Opened& opened) {
        return opened.element == Element::Send || opened.element == Element::Web;
    });
}

void MxpParser::updateLook(Sink& sink) {
    MxpLook look;
    for (const Opened& opened : m_opened) {
        switch (opened.element) {
        case Element::Bold:
            look.bold = true;
            break;
        case Element::Italic:
            look.italic = true;
            break;
        case Element::Underline:
            look.underline = true;
            break;
        case Element::Colour:
            look.foreground = opened.foreground ? opened.foreground : look.foreground;
            look.background = opened.background ? opened.background : look.background;
            break;
        default:
            look.link = opened.link != 0 ? opened.link : look.link;
            break;
        }
    }
    if (!(look == m_look)) {
        m_look = look;
        sink.mxpLookChanged();
    }
}

void MxpParser::setLineMode(int mode, Sink& sink) {
    switch (mode) {
    case 0:
        m_mode = Mode::Open;
        break;
    case 1:
        m_mode = Mode::Secure;
        break;
    case 2:
        m_mode = Mode::Locked;
        break;
    case 3:
        closeFrom(0, sink);
        m_mode = m_defaultMode = Mode::Open;
        break;
    case 4:
        m_tempSecure = true;
        break;
    case 5:
        m_mode = m_defaultMode = Mode::Open;
        break;
    case 6:
        m_mode = m_defaultMode = Mode::Secure;
        break;
    case 7:
        m_mode = m_defaultMode = Mode::Locked;
        break;
    default:
        // Modes past 7 name the world's own elements, which this subset never defines.
        break;
    }
}

void MxpParser::lineEnded(Sink& sink) {
    if (m_state != State::Text) {
        const char32_t first = m_state == State::Tag ? U'<' : U'&';
        m_state = State::Text;
        showBuffer(first, m_buffer, sink);
    }
    closeFrom(0, sink);
    m_mode = m_defaultMode;
    m_tempSecure = false;
    m_linksThisLine = 0;
    m_linkText.clear();
}

void MxpParser::reset() {
    m_state = State::Text;
    m_mode = m_defaultMode = Mode::Open;
    m_tempSecure = false;
    m_quote = 0;
    m_buffer.clear();
    m_opened.clear();
    m_look = MxpLook{};
    m_linksThisLine = 0;
    m_linkText.clear();
}

} // namespace corvane
