#pragma once

#include <string>
#include <vector>

namespace practice_world {

inline constexpr int kMaxFloodLines = 5000;

// `count` lines of the kind of text a busy world sends: chatter, combat, some of
// it ANSI-coloured, some tab-separated, and the words highlighters like to catch
// (dragon, treasure, wizard, goblin, lantern). The same count gives the same
// lines, so a test can compare what arrived with what was sent.
std::vector<std::string> floodLines(int count);

} // namespace practice_world
