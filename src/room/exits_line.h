#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Reads the line many rooms end with, "Obvious exits: north, out <o>" or
// "Exits: n s e", into the commands that take each exit: the short name in
// <>, [] or () where the world gives one, else the exit's name. nullopt when
// the line is not an exits line; an empty list for "Exits: none".
std::optional<std::vector<std::string>> ParseExitsLine(std::string_view line);
// The same, as views into the line, in a list kept by the caller: a flood of
// exits lines then allocates nothing. False when the line is not an exits line.
bool ReadExitsLine(std::string_view line, std::vector<std::string_view>& exits);

} // namespace corvane
