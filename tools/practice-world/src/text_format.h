#pragma once

#include "types.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace practice_world {

// Small text helpers shared by the command handlers; free functions, no state.

std::string_view trim(std::string_view text);
std::string toLower(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);

// "A", "A, and B", "A, B, and C": the house style keeps the comma before "and"
// even for two names.
std::string joinWithAnd(const std::vector<std::string>& names);

// Idle time as WHO shows it: "5s", "3m", "2h", "1d".
std::string formatIdle(std::chrono::seconds idle);
// Time online as WHO shows it: "hh:mm", with a day count in front past a day.
std::string formatOnFor(std::chrono::seconds online);
// A calendar time in UTC, e.g. "Mon Jan 15 10:22:01 2024".
std::string formatDate(WallTime when);

std::string padRight(std::string_view text, std::size_t width);
std::string padLeft(std::string_view text, std::size_t width);

} // namespace practice_world
