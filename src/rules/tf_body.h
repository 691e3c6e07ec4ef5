#pragma once

#include "rules/import_lua.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace corvane::tf_body {

// A TinyFugue macro's body: its commands, its substitutions, and the body as
// a rule's Lua where it reads variables or tests conditions.

// What the file has said so far that changes how later commands read.
struct TfFile {
    std::string matching = "glob";
    std::set<std::string> macros;
};

// A substitution's name: "*", "1".."9", "-1".."-9", "P0".."P9", "L", or a
// variable's name. `fill` writes it in Corvane's terms, or nothing when it
// cannot; `literal` writes one character of the text.
using TfFill = std::function<std::optional<std::string>(const std::string&)>;
using TfLiteral = std::function<std::string(char)>;

// Body text with TinyFugue's quoting undone: "%;" ends a command, "\c" and
// "%%" are the character itself.
std::optional<std::vector<std::string>> tfBodyCommands(const std::string& body, const TfFill& fill,
                                                       const TfLiteral& literal, std::string& why);

// "/send [-w] [-h] [-n] text" is text to this world; a /name of the file's
// macros stays for the aliases when `aliasesExpand`; tf's own commands do
// not come over.
std::optional<std::string> tfSendable(const std::string& command, const std::set<std::string>& macros,
                                      bool aliasesExpand, std::string& why);

// The body's commands as one send, ";" between them.
std::optional<std::string> tfJoinedSends(const std::vector<std::string>& commands,
                                         const std::set<std::string>& macros, std::string& why);

// A hook's or timer's body as Lua: its commands sent (a /name through the
// aliases), or its variables, conditions and loops as a rule's are.
std::optional<std::string> tfScriptLua(const std::string& body, const TfFile& file, std::string& why);

// A name a Lua script can keep in vars.
bool luaName(const std::string& name);

// Whether a body needs Lua: it names a variable (a substitution `own` does
// not take) or a substitution `luaOnly` says only Lua can give, or uses
// /if, /while, /echo, /set, /let or /test.
bool tfNeedsLua(const std::string& body, const TfFill& own,
                const std::function<bool(const std::string&)>& luaOnly = nullptr);

// A body as a rule's Lua. `own` names the rule's substitutions (%P1, %1, %*)
// in Lua; other names are variables in vars.
std::optional<std::string> tfBodyLua(const std::string& body, const TfFill& own, const TfFile& file,
                                     std::string& why);

} // namespace corvane::tf_body
