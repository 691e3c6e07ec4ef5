#pragma once

#include "rules/rule_book.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

struct Session;

// The keys that send a command or run Lua in the main window: the player's
// key rules, what the connected world's scripts bound with bind(), and the
// built-in keypad moves, in that order. A key the window already uses (an
// access key, a menu shortcut, the speech keys, the input line's editing)
// is never bound; the refusal names what holds it.
class KeyBindings {
public:
    // What a key does: a command (typed as if in the input line), Lua, or a
    // function a script bound (its handler in the world's state).
    struct Action {
        std::string command;
        std::string script;
        int handler = 0;
        // For error lines: "key KP8".
        std::string name;
    };
    static constexpr std::size_t kMaxScriptBindings = 500;

    KeyBindings(const RuleBook& book, const Session& session, std::function<bool()> keypadMoves);

    // A key's name as the player or a file writes it ("ctrl+f9", "kp8",
    // "Alt-x") in the one spelling key events use ("Ctrl+F9", "KP8",
    // "Alt+X"); empty with the reason when it names no key that can be bound.
    static std::string Normalise(std::string_view typed, std::string& why);
    // What already uses a key (by its normalised name); empty when it is free.
    static std::string Holder(const std::string& key);
    // Normalise, then Holder: the refusal, or empty with `key` set.
    static std::string Check(std::string_view typed, std::string& key);
    // The built-in set: key → command.
    static const std::vector<std::pair<std::string, std::string>>& KeypadMoves();

    // A script's bind(): a command, or the function held as `handler` (not
    // 0). The refusal, or empty. A key bound again lets go of its old function.
    std::string bindFromScript(const std::string& key, const std::string& command, int handler);
    // The script's state is gone (disconnect): its bindings and functions with it.
    void scriptClosed() { m_script.clear(); }
    // Lets go of a function a binding no longer holds.
    void setHandlerReleased(std::function<void(int)> released) { m_released = std::move(released); }

    // What a key pressed in the main window does, by its normalised name.
    std::optional<Action> find(const std::string& key) const;

private:
    const RuleBook& m_book;
    const Session& m_session;
    std::function<bool()> m_keypadMoves;
    std::function<void(int)> m_released;
    std::map<std::string, Action> m_script;
};

} // namespace corvane
