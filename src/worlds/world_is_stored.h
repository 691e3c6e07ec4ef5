#pragma once

#include <string>

namespace corvane {

// True when name is the name part of a world in the address book. Characters
// are only stored for such worlds, so a world connected to without being added
// leaves nothing behind.
bool WorldIsStored(const std::string& name, const std::string& settingsPath);

} // namespace corvane
