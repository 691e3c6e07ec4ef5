#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvane::import_expr {

// The expressions of tf's /if, /while and /test and of tt++'s #if and #math
// as Lua, each with its own client's rules: tf's == < > compare numbers and
// =~ !~ strings, & | are and/or, text counts as the number at its front;
// tt++ compares quoted strings as strings and everything else as numbers,
// && || are and/or, and an expression with text that is not a number in it
// is false (a sum, 0). What either would do some other way (regexp and glob matches,
// functions other than tf's strlen(), tt++ patterns on the right of ==, bitwise operators) is
// refused with `why` naming it.
enum class Dialect { TinyFugue, TinTin };

// A name in the expression (tf's `hp`, `{P1}`) as Lua, or nothing when the
// importer cannot name it.
using Names = std::function<std::optional<std::string>(const std::string&)>;

// Text may hold values already substituted as import_lua::marked Lua.
std::optional<std::string> condition(const std::string& text, Dialect dialect, const Names& names,
                                     std::string& why);
// A number (tt++'s #math, tf's /test name := ...).
std::optional<std::string> number(const std::string& text, Dialect dialect, const Names& names,
                                  std::string& why);

// Any value (tf's $[...]): a number, text, or a truth as 1 or 0.
std::optional<std::string> value(const std::string& text, Dialect dialect, const Names& names,
                                 std::string& why);

// The helper functions `lua` calls, to put before it in the same chunk.
std::string helpersFor(const std::string& lua);

} // namespace corvane::import_expr
