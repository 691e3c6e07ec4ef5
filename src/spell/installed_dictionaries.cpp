#include "spell/installed_dictionaries.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace corvane {

namespace fs = std::filesystem;

std::vector<std::string> DictionaryFolders(const std::string& home, const std::string& dataHome) {
    std::vector<std::string> folders;
    if (!dataHome.empty()) {
        folders.push_back((fs::path(dataHome) / "hunspell").string());
    } else if (!home.empty()) {
        folders.push_back((fs::path(home) / ".local/share/hunspell").string());
    }
    folders.emplace_back("/usr/share/hunspell");
    return folders;
}

std::vector<InstalledDictionary> FindDictionaries(const std::vector<std::string>& folders) {
    std::vector<InstalledDictionary> found;
    for (const std::string& folder : folders) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            const fs::path& aff = it->path();
            if (aff.extension() != ".aff") {
                continue;
            }
            fs::path dic = aff;
            dic.replace_extension(".dic");
            std::error_code ignored;
            // Hyphenation patterns (hyph_*) live beside some dictionaries and are not word lists.
            const std::string name = aff.stem().string();
            if (name.empty() || name.rfind("hyph_", 0) == 0 || !fs::is_regular_file(dic, ignored)) {
                continue;
            }
            const bool known = std::any_of(found.begin(), found.end(),
                                           [&name](const InstalledDictionary& d) { return d.name == name; });
            if (!known) {
                found.push_back({name, aff.string(), dic.string()});
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const InstalledDictionary& a, const InstalledDictionary& b) { return a.name < b.name; });
    return found;
}

} // namespace corvane
