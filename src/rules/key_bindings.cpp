#include "rules/key_bindings.h"

#include "core/session.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace corvane {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}

// The last part of a key's name: KP0..KP9, KP/ KP* KP- KP+ KP., F1..F12, a letter or a digit.
std::string baseKey(const std::string& part) {
    if (part.size() == 1 && std::isalnum(static_cast<unsigned char>(part[0]))) {
        return part;
    }
    if (part.size() == 3 && part.compare(0, 2, "KP") == 0 && std::string_view("0123456789/*-+.").find(part[2]) != std::string_view::npos) {
        return part;
    }
    if (part.size() >= 2 && part.size() <= 3 && part[0] == 'F' &&
        std::all_of(part.begin() + 1, part.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        const int number = std::stoi(part.substr(1));
        if (number >= 1 && number <= 12) {
            return "F" + std::to_string(number);
        }
    }
    return {};
}

struct Taken {
    const char* key;
    const char* holder;
};

// What the main window already does with a key. Alt with a letter opens a
// menu or presses a button by its access key; the speech keys read the
// session back; the input line keeps its editing keys.
constexpr Taken kTaken[] = {
    {"Alt+F", "the File menu"},
    {"Alt+E", "the Edit menu"},
    {"Alt+V", "the View menu"},
    {"Alt+G", "the Game menu"},
    {"Alt+H", "the Help menu"},
    {"Alt+C", "the Connect button"},
    {"Alt+N", "the Info button"},
    {"Alt+D", "the Direction button"},
    {"Alt+L", "the OpenLog button"},
    {"Alt+P", "the Upload button"},
    {"Alt+W", "the who button"},
    {"Alt+M", "the GoHome button"},
    {"Alt+Q", "the QUIT button"},
    {"Alt+1", "the User 1 button"},
    {"Alt+2", "the User 2 button"},
    {"Alt+3", "the User 3 button"},
    {"Alt+4", "the User 4 button"},
    {"Alt+5", "the User 5 button"},
    {"Alt+6", "the User 6 button"},
    {"Alt+7", "the User 7 button"},
    {"Alt+8", "the User 8 button"},
    {"Alt+9", "the User 9 button"},
    {"F2", "File > Connect to a MUD"},
    {"F3", "Game > Connect to a Character"},
    {"F4", "Edit > Preferences"},
    {"F5", "Edit > User Macros"},
    {"F6", "Edit > Triggers and Aliases"},
    {"Ctrl+Shift+N", "File > New Window"},
    {"Ctrl+F", "View > Session History"},
    {"Ctrl+R", "Game > Reconnect"},
    {"F12", "speech (turns it off and on)"},
    {"Ctrl+1", "speech (reads a recent line)"},
    {"Ctrl+2", "speech (reads a recent line)"},
    {"Ctrl+3", "speech (reads a recent line)"},
    {"Ctrl+4", "speech (reads a recent line)"},
    {"Ctrl+5", "speech (reads a recent line)"},
    {"Ctrl+6", "speech (reads a recent line)"},
    {"Ctrl+7", "speech (reads a recent line)"},
    {"Ctrl+8", "speech (reads a recent line)"},
    {"Ctrl+9", "speech (reads a recent line)"},
    {"Ctrl+0", "speech (reads a recent line)"},
    {"Ctrl+A", "the input line (select all)"},
    {"Ctrl+C", "the input line (copy)"},
    {"Ctrl+V", "the input line (paste)"},
    {"Ctrl+X", "the input line (cut)"},
    {"Ctrl+Z", "the input line (undo)"},
    {"Ctrl+Y", "the input line (redo)"},
    {"Ctrl+Shift+Z", "the input line (redo)"},
    {"Ctrl+Shift+A", "the input line (select all)"},
    {"Ctrl+Shift+V", "the input line (paste)"},
    {"Ctrl+Shift+C", "the input line (copy)"},
};

} // namespace

KeyBindings::KeyBindings(const RuleBook& book, const Session& session, std::function<bool()> keypadMoves)
    : m_book(book)
    , m_session(session)
    , m_keypadMoves(std::move(keypadMoves)) {}

std::string KeyBindings::Normalise(std::string_view typed, std::string& why) {
    std::string text = upper(typed);
    text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); }),
               text.end());
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    std::string base;
    std::size_t start = 0;
    while (start < text.size()) {
        // "+" and "-" part the name, except as the keypad's own plus and minus.
        std::size_t end = text.compare(start, 2, "KP") == 0 && start + 3 <= text.size()
                              ? start + 3
                              : text.find_first_of("+-", start);
        end = std::min(end, text.size());
        const std::string part = text.substr(start, end - start);
        start = end + 1;
        if (start >= text.size()) {
            base = baseKey(part);
            if (base.empty()) {
                why = "\"" + std::string(typed) + "\" is no key Corvane binds (keypad KP0..KP9, F1..F12, "
                      "or Ctrl or Alt with a letter or digit)";
                return {};
            }
        } else if (part == "CTRL" || part == "CONTROL" || part == "C") {
            ctrl = true;
        } else if (part == "ALT" || part == "META" || part == "M") {
            alt = true;
        } else if (part == "SHIFT" || part == "S") {
            shift = true;
        } else {
            why = "\"" + std::string(typed) + "\" is no key Corvane binds (write it as Ctrl+Alt+X)";
            return {};
        }
    }
    if (base.empty()) {
        why = "\"" + std::string(typed) + "\" names no key, only Ctrl, Alt or Shift";
        return {};
    }
    const bool typing = base.size() == 1 && !ctrl && !alt;
    if (typing) {
        why = std::string(shift ? "Shift+" : "") + base + " types a character in the input line";
        return {};
    }
    return std::string(ctrl ? "Ctrl+" : "") + (alt ? "Alt+" : "") + (shift ? "Shift+" : "") + base;
}

std::string KeyBindings::Holder(const std::string& key) {
    for (const Taken& taken : kTaken) {
        if (key == taken.key) {
            return taken.holder;
        }
    }
    return {};
}

std::string KeyBindings::Check(std::string_view typed, std::string& key) {
    std::string why;
    key = Normalise(typed, why);
    if (key.empty()) {
        return why;
    }
    if (const std::string holder = Holder(key); !holder.empty()) {
        const std::string taken = key;
        key.clear();
        return taken + " is taken by " + holder;
    }
    return {};
}

const std::vector<std::pair<std::string, std::string>>& KeyBindings::KeypadMoves() {
    static const std::vector<std::pair<std::string, std::string>> moves = {
        {"KP8", "north"}, {"KP2", "south"}, {"KP4", "west"}, {"KP6", "east"}, {"KP7", "nw"},  {"KP9", "ne"},
        {"KP1", "sw"},    {"KP3", "se"},    {"KP5", "look"}, {"KP-", "up"},   {"KP+", "down"},
    };
    return moves;
}

std::string KeyBindings::bindFromScript(const std::string& typed, const std::string& command, int handler) {
    std::string key;
    if (std::string refusal = Check(typed, key); !refusal.empty()) {
        return "bind: " + refusal;
    }
    const auto found = m_script.find(key);
    if (found == m_script.end() && m_script.size() >= kMaxScriptBindings) {
        return "bind: more than " + std::to_string(kMaxScriptBindings) + " keys bound";
    }
    if (found != m_script.end() && found->second.handler != 0 && m_released) {
        m_released(found->second.handler);
    }
    if (command.empty() && handler == 0) {
        // bind(key, "") lets the key go.
        if (found != m_script.end()) {
            m_script.erase(found);
        }
        return {};
    }
    m_script[key] = Action{command, {}, handler, "key " + key};
    return {};
}

std::optional<KeyBindings::Action> KeyBindings::find(const std::string& key) const {
    if (key.empty() || !Holder(key).empty()) {
        return std::nullopt;
    }
    if (const auto found = m_script.find(key); found != m_script.end()) {
        return found->second;
    }
    for (const std::size_t index : m_book.active(Rule::Kind::Key, m_session.WorldName)) {
        const Rule& rule = m_book.rule(index);
        std::string why;
        if (Normalise(rule.pattern, why) == key) {
            return Action{rule.send, rule.script, 0, "key " + (rule.name.empty() ? key : rule.name)};
        }
    }
    if (m_keypadMoves && m_keypadMoves()) {
        for (const auto& [pad, command] : KeypadMoves()) {
            if (pad == key) {
                return Action{command, {}, 0, "key " + key};
            }
        }
    }
    return std::nullopt;
}

} // namespace corvane
