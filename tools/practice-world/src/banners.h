#pragma once

#include "types.h"

#include <string_view>

namespace practice_world {

// The fixed texts a connection is shown, with their line ends as sent: the
// modern manner ends some lines with a bare LF, as servers that print their
// banner files unchanged do.

// The welcome screen, at connect and again for most input before login.
std::string_view greetingText(Manner manner);
// Shown by the modern manner after a login and by its `motd`; it ends with a
// separator line, so the text after it starts a line of its own only when
// the client takes a bare LF as a line end.
std::string_view messageOfTheDay();

} // namespace practice_world
