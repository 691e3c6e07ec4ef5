#include "rules/import_keys.h"

#include "rules/key_bindings.h"

#include <array>
#include <cctype>

namespace corvane {

namespace {

// What a terminal sends after ESC, for the keys a binding can take.
struct Sequence {
    std::string_view after;
    const char* key;
};
constexpr Sequence kSequences[] = {
    {"Op", "KP0"},    {"Oq", "KP1"},    {"Or", "KP2"},    {"Os", "KP3"},    {"Ot", "KP4"},    {"Ou", "KP5"},
    {"Ov", "KP6"},    {"Ow", "KP7"},    {"Ox", "KP8"},    {"Oy", "KP9"},    {"Oj", "KP*"},    {"Ok", "KP+"},
    {"Om", "KP-"},    {"On", "KP."},    {"Oo", "KP/"},    {"OP", "F1"},     {"OQ", "F2"},     {"OR", "F3"},
    {"OS", "F4"},     {"[11~", "F1"},   {"[12~", "F2"},   {"[13~", "F3"},   {"[14~", "F4"},   {"[15~", "F5"},
    {"[17~", "F6"},   {"[18~", "F7"},   {"[19~", "F8"},   {"[20~", "F9"},   {"[21~", "F10"},  {"[23~", "F11"},
    {"[24~", "F12"},  {"[[A", "F1"},    {"[[B", "F2"},    {"[[C", "F3"},    {"[[D", "F4"},    {"[[E", "F5"},
    {"[E", "KP5"},    {"[G", "KP5"},    {"[1;5P", "Ctrl+F1"}, {"[1;5Q", "Ctrl+F2"}, {"[1;5R", "Ctrl+F3"},
    {"[1;5S", "Ctrl+F4"},
};

// The text with tf's "^[" and tt++'s "\e" (or "\033", "\x1b") as ESC, and
// "^X" or "\cX" as a control character.
std::string bytesOf(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '^' && i + 1 < text.size()) {
            const char next = text[++i];
            out.push_back(next == '[' ? '\x1b' : next == '?' ? '\x7f' : static_cast<char>(std::toupper(next) & 0x1f));
        } else if (c == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == 'e') {
                out.push_back('\x1b');
                ++i;
            } else if (text.substr(i + 1, 3) == "033") {
                out.push_back('\x1b');
                i += 3;
            } else if (text.substr(i + 1, 3) == "x1b" || text.substr(i + 1, 3) == "x1B") {
                out.push_back('\x1b');
                i += 3;
            } else if (next == 'c' && i + 2 < text.size()) {
                out.push_back(static_cast<char>(std::toupper(text[i + 2]) & 0x1f));
                i += 2;
            } else {
                out.push_back(next);
                ++i;
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

std::string ImportedKey(std::string_view sequence, std::string& why) {
    const std::string bytes = bytesOf(sequence);
    std::string name;
    if (bytes.size() >= 2 && bytes[0] == '\x1b') {
        const std::string_view after = std::string_view(bytes).substr(1);
        for (const Sequence& known : kSequences) {
            if (after == known.after) {
                name = known.key;
            }
        }
        if (name.empty() && after.size() == 1 && std::isalnum(static_cast<unsigned char>(after[0]))) {
            // ESC before a key is how a terminal sends Meta (Alt) with it.
            const char key = after[0];
            name = std::string("Alt+") + (std::isupper(static_cast<unsigned char>(key)) ? "Shift+" : "") +
                   static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
        }
    } else if (bytes.size() == 1 && bytes[0] >= 1 && bytes[0] <= 26 && bytes[0] != '\t' && bytes[0] != '\r' &&
               bytes[0] != '\n') {
        name = std::string("Ctrl+") + static_cast<char>('A' + bytes[0] - 1);
    }
    if (name.empty()) {
        why = "binds \"" + std::string(sequence) +
              "\", a key Corvane cannot bind (the keypad, F1 to F12, Ctrl or Alt with a letter or digit)";
        return {};
    }
    std::string key;
    if (std::string refusal = KeyBindings::Check(name, key); !refusal.empty()) {
        why = "binds " + refusal;
        return {};
    }
    return key;
}

} // namespace corvane
