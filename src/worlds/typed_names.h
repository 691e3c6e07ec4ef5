#pragma once

#include <string>
#include <string_view>

namespace corvane {

// World and character names typed by the user end up as the first field of a
// comma list and as section headers of the settings file, which trims blanks
// and compares headers without regard to case.

// The typed name without the leading and trailing blanks the file would drop.
std::string TrimmedName(std::string_view typed);

// True for the sections the program keeps its own settings in: a world of
// that name would share them, and deleting it would delete them.
bool IsProgramSection(std::string_view name);

} // namespace corvane
