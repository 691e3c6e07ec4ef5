#include "worlds/typed_names.h"

#include "core/text_codec.h"

#include <array>

namespace corvane {

std::string TrimmedName(std::string_view typed) {
    const auto first = typed.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = typed.find_last_not_of(" \t");
    return std::string(typed.substr(first, last - first + 1));
}

bool IsProgramSection(std::string_view name) {
    static constexpr std::array<std::string_view, 4> kSections = {"Corvane", "Corvane2", "Font", "Addresses"};
    for (const auto section : kSections) {
        if (EqualsNoCase(name, section)) {
            return true;
        }
    }
    return false;
}

} // namespace corvane
