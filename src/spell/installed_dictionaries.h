#pragma once

#include <string>
#include <vector>

namespace corvane {

// A dictionary found on this system: its name (the file name without
// .aff/.dic, such as en_US) and its two files.
struct InstalledDictionary {
    std::string name;
    std::string affPath;
    std::string dicPath;
};

// The folders looked in, first wins for a name: the player's own
// (~/.local/share/hunspell, for a dictionary added without root) and the
// system's (/usr/share/hunspell, where Debian's hunspell-* packages put them).
std::vector<std::string> DictionaryFolders(const std::string& home, const std::string& dataHome);

// The dictionaries in those folders that have both files, sorted by name.
std::vector<InstalledDictionary> FindDictionaries(const std::vector<std::string>& folders);

} // namespace corvane
