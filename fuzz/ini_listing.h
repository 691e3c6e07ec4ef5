#pragma once
// What a reader of a settings file sees, worked out the plain way with one
// scan of its lines, to hold the indexed lookups of IniFile against: for each
// section name the entries of its first header, for each key its first entry.

#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane::fuzz {

inline void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

inline std::string foldedName(std::string_view name) {
    std::string out(trimmed(name));
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// (folded section, folded key) -> value
using Listing = std::map<std::pair<std::string, std::string>, std::string>;

inline Listing ListingOf(const std::vector<std::string>& lines) {
    Listing listing;
    std::set<std::string> sectionsSeen;
    std::string section;
    bool firstOfItsName = false;
    for (const std::string& raw : lines) {
        const std::string_view line = trimmed(raw);
        if (!line.empty() && line.front() == '[') {
            const std::string_view inside = line.substr(1);
            section = foldedName(inside.substr(0, inside.rfind(']')));
            firstOfItsName = sectionsSeen.insert(section).second;
            continue;
        }
        if (!firstOfItsName || line.empty() || line.front() == ';') {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || trimmed(line.substr(0, equals)).empty()) {
            continue;
        }
        listing.try_emplace({section, foldedName(line.substr(0, equals))},
                            std::string(trimmed(line.substr(equals + 1))));
    }
    return listing;
}

} // namespace corvane::fuzz
