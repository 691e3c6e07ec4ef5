#include "mcp/mcp_message.h"

#include <algorithm>

namespace corvane {

namespace {

bool isAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isIdentChar(char c) {
    return isAlpha(c) || (c >= '0' && c <= '9') || c == '-';
}

// A character an unquoted value may hold.
bool isSimpleChar(char c) {
    return c != ' ' && c != '"' && c != '\\' && c != ':' && c != '*' && c != '\r' && c != '\n';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Reads the text step by step; each read leaves the position after what it took.
class Reader {
public:
    explicit Reader(std::string_view text)
        : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    bool take(char c) {
        if (peek() != c || atEnd()) {
            return false;
        }
        ++m_pos;
        return true;
    }
    // One or more blanks; false when there was none.
    bool spaces() {
        const std::size_t start = m_pos;
        while (!atEnd() && m_text[m_pos] == ' ') {
            ++m_pos;
        }
        return m_pos > start;
    }
    // An identifier, in lower case; empty when none starts here.
    std::string ident() {
        std::string out;
        if (atEnd() || !isAlpha(m_text[m_pos])) {
            return out;
        }
        while (!atEnd() && isIdentChar(m_text[m_pos])) {
            out.push_back(lower(m_text[m_pos++]));
        }
        return out;
    }
    std::string unquoted() {
        const std::size_t start = m_pos;
        while (!atEnd() && isSimpleChar(m_text[m_pos])) {
            ++m_pos;
        }
        return std::string(m_text.substr(start, m_pos - start));
    }
    // A bare or quoted value; false when neither is there, or a quote never ends.
    bool value(std::string& out) {
        out.clear();
        if (!take('"')) {
            out = unquoted();
            return !out.empty();
        }
        while (!atEnd()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return true;
            }
            if (c == '\\') {
                if (atEnd()) {
                    return false;
                }
                out.push_back(m_text[m_pos++]);
            } else {
                out.push_back(c);
            }
        }
        return false;
    }
    std::string_view rest() const { return atEnd() ? std::string_view() : m_text.substr(m_pos); }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

McpLine invalid() {
    return McpLine{};
}

McpLine parseContinue(Reader& in) {
    McpLine line;
    if (!in.spaces()) {
        return invalid();
    }
    line.tag = in.unquoted();
    if (line.tag.empty() || !in.spaces()) {
        return invalid();
    }
    line.key = in.ident();
    // Exactly one blank after the colon; any more belong to the value. An
    // empty line of the value may come without the blank.
    if (line.key.empty() || !in.take(':') || (!in.take(' ') && !in.atEnd())) {
        return invalid();
    }
    line.text = std::string(in.rest());
    line.kind = McpLine::Kind::Continue;
    return line;
}

McpLine parseEnd(Reader& in) {
    McpLine line;
    if (!in.spaces()) {
        return invalid();
    }
    line.tag = in.unquoted();
    in.spaces();
    if (line.tag.empty() || !in.atEnd()) {
        return invalid();
    }
    line.kind = McpLine::Kind::End;
    return line;
}

McpLine parseStart(Reader& in) {
    McpLine line;
    line.message.name = in.ident();
    if (line.message.name.empty()) {
        return invalid();
    }
    const bool separated = in.spaces();
    if (line.message.name != "mcp") {
        line.authKey = separated ? in.unquoted() : std::string();
        if (line.authKey.empty()) {
            return invalid();
        }
        if (!in.spaces() && !in.atEnd()) {
            return invalid();
        }
    } else if (!separated && !in.atEnd()) {
        return invalid();
    }
    std::vector<std::string> seen;
    while (!in.atEnd()) {
        std::string key = in.ident();
        if (key.empty()) {
            return invalid();
        }
        const bool multiline = in.take('*');
        std::string value;
        if (!in.take(':') || !in.spaces() || !in.value(value)) {
            return invalid();
        }
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            return invalid();
        }
        seen.push_back(key);
        if (key == "_data-tag") {
            line.tag = value;
        } else if (multiline) {
            line.multilineKeys.push_back(key);
            line.message.add(key, std::string(), true);
        } else {
            line.message.add(key, std::move(value));
        }
        if (!in.spaces() && !in.atEnd()) {
            return invalid();
        }
    }
    if (!line.multilineKeys.empty() && line.tag.empty()) {
        return invalid();
    }
    line.kind = McpLine::Kind::Start;
    return line;
}

bool needsQuotes(std::string_view value) {
    return value.empty() || !std::all_of(value.begin(), value.end(), isSimpleChar);
}

} // namespace

const std::string& McpMessage::value(std::string_view key) const {
    static const std::string none;
    for (const Value& v : values) {
        if (v.key == key) {
            return v.value;
        }
    }
    return none;
}

bool McpMessage::has(std::string_view key) const {
    return std::any_of(values.begin(), values.end(), [key](const Value& v) { return v.key == key; });
}

McpMessage& McpMessage::add(std::string key, std::string value, bool multiline) {
    values.push_back(Value{std::move(key), std::move(value), multiline});
    return *this;
}

McpLine ParseMcpLine(std::string_view text) {
    Reader in(text);
    if (in.take('*')) {
        return parseContinue(in);
    }
    if (in.take(':')) {
        return parseEnd(in);
    }
    return parseStart(in);
}

std::string McpQuoted(std::string_view value) {
    if (!needsQuotes(value)) {
        return std::string(value);
    }
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
        }
        if (c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

std::vector<std::string> FormatMcpMessage(const McpMessage& message, const std::string& authKey,
                                          const std::function<std::string()>& newTag) {
    std::string start = "#$#" + message.name;
    if (message.name != "mcp") {
        start += " " + authKey;
    }
    std::string tag;
    std::vector<std::string> continued;
    for (const McpMessage::Value& v : message.values) {
        if (!v.multiline && v.value.find('\n') == std::string::npos) {
            start += " " + v.key + ": " + McpQuoted(v.value);
            continue;
        }
        if (tag.empty()) {
            tag = newTag();
        }
        start += " " + v.key + "*: \"\"";
        std::size_t from = 0;
        while (from < v.value.size()) {
            std::size_t end = v.value.find('\n', from);
            if (end == std::string::npos) {
                end = v.value.size();
            }
            std::string piece = v.value.substr(from, end - from);
            if (!piece.empty() && piece.back() == '\r') {
                piece.pop_back();
            }
            continued.push_back("#$#* " + tag + " " + v.key + ": " + piece);
            from = end + 1;
        }
    }
    std::vector<std::string> lines;
    if (tag.empty()) {
        lines.push_back(std::move(start));
        return lines;
    }
    lines.push_back(start + " _data-tag: " + tag);
    lines.insert(lines.end(), continued.begin(), continued.end());
    lines.push_back("#$#: " + tag);
    return lines;
}

} // namespace corvane
