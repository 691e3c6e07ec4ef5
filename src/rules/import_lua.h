#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane::import_lua {

// Lua the importers write for what is not a rule: variables, timers and
// event handlers, run in each world's script state.

// A Lua string literal holding text exactly.
std::string quote(const std::string& text);
// A command to send: through the aliases, or raw (straight to the world).
struct Send {
    std::string text;
    bool raw = false;
};
// A function body sending each command, one statement a line.
std::string sends(const std::vector<Send>& commands);
// `vars[NAME] = VALUE`.
std::string setVariable(const std::string& name, const std::string& value);
// A handler for one of the client's events, running `body` (Lua).
std::string on(const std::string& event, const std::string& body);
// A timer every `seconds`, `count` times (0: until cancelled), by name.
std::string every(double seconds, int count, const std::string& name, const std::string& body);
std::string after(double seconds, const std::string& body);
// tf's "hours:minutes:seconds", "hours:minutes" or "seconds" (fractions
// allowed); nothing for other text.
std::optional<double> tfSeconds(const std::string& time);

// A body's command with its substitutions already Lua expressions, each
// between kOpen and kClose (see marked); the rest is literal text.
inline constexpr char kOpen = '\x01';
inline constexpr char kClose = '\x02';
inline std::string marked(const std::string& expression) {
    return std::string(1, kOpen) + expression + std::string(1, kClose);
}
// Such text as one Lua string expression ("say " .. tostring(vars.hp)).
std::string concat(const std::string& text);

} // namespace corvane::import_lua
