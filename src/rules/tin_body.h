#pragma once

#include "rules/import_lua.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane::tin_body {

// A TinTin++ action's or alias's body: its commands as a rule sends them,
// or as the rule's Lua where it reads variables, tests conditions or shows
// text.

// One command as sent: "#send {x}" is x, "#nop" nothing; other tt++
// commands and functions do not come over.
std::optional<std::string> tinSendable(const std::string& command, std::string& why);
// The body as one send, ";" between commands. `trigger`: %N is group N ($N).
std::optional<std::string> tinCommandsOf(const std::string& body, bool trigger, std::string& why);

// Whether a body needs Lua: it reads a variable, or uses #if, #showme,
// #math or #variable.
bool tinNeedsLua(const std::string& body);
// The body as a rule's Lua. `trigger`: %N is the line's group N (%0 the
// whole match); else the alias's word N (%0 all of them).
std::optional<std::string> tinRuleLua(const std::string& body, bool trigger, std::string& why);
// A ticker's, delay's or event's body as Lua: its commands through the aliases.
std::optional<std::string> tinScriptLua(const std::string& body, std::string& why);

} // namespace corvane::tin_body
