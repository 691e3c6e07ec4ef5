#pragma once

#include <string>
#include <vector>

namespace corvane::tin_reader {

// A TinTin++ file as tt++ itself splits it into commands.

// One "#command {arg} {arg}" or "#command arg arg" with its arguments; the
// name in lower case, without its "#".
struct TinCommand {
    std::string name;
    std::vector<std::string> args;
    std::string source;
};

// Inside braces a line end goes with the next line's indentation, a brace
// that opens the next line goes on with the command before it, and /* */
// comments and blank lines go.
std::vector<TinCommand> tinCommands(const std::string& file);
// Commands of a body, split at the semicolons outside braces.
std::vector<std::string> tinBodyCommands(const std::string& body);
// "act", "action": tt++ takes any abbreviation at least `shortest` long.
bool tinIs(const std::string& name, const std::string& full, std::size_t shortest);

} // namespace corvane::tin_reader
