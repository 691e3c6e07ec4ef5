#pragma once

#include <string>
#include <vector>

namespace corvane {

class Prompts;

// The settings written on a first start: the program folder as the place for
// settings and pictures, the output font, one world and its guest character.

// The 16 lines of the default file, without line ends.
std::vector<std::string> DefaultSettingsLines(const std::string& programDir);

// Writes the default file at path, replacing any file there. On failure the
// user is told why and false is returned; nothing is written.
bool CreateDefaultSettings(const std::string& path, const std::string& programDir, Prompts& prompts);

} // namespace corvane
