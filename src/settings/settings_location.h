#pragma once

#include <string>

namespace corvane {

// Where the settings file lives: beside the program when that folder can take
// it, else in the user's configuration folder.
struct SettingsLocation {
    std::string path;
    // The folder holding the settings file; the default program path.
    std::string dataDir;
};

// directory + "CORVANE.INI", with a separator between them unless the
// directory already ends in one.
std::string SettingsPathIn(const std::string& directory);

// An explicit path wins. Otherwise the program folder, when it already holds
// the file or a file can be created there (an empty programDir: the program
// has no folder of its own, as when installed for the whole system); otherwise
// xdgConfigHome/corvane (home/.config/corvane when xdgConfigHome is empty or
// relative), which is created when missing.
SettingsLocation LocateSettings(const std::string& explicitPath, const std::string& programDir,
                                const std::string& xdgConfigHome, const std::string& home);

} // namespace corvane
