#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane::testing {

// A parameterised case's name made from any text, for tables whose rows carry
// no name of their own. GoogleTest takes only letters, digits and "_": letters
// and digits stay, a "-" before a digit reads "minus", and every other run of
// bytes becomes one "_".
inline std::string ParamName(std::string_view text) {
    constexpr std::size_t kLongest = 60;
    std::string name;
    for (std::size_t i = 0; i < text.size() && name.size() < kLongest; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) != 0) {
            name += static_cast<char>(c);
            continue;
        }
        if (!name.empty() && name.back() != '_') {
            name += '_';
        }
        if (c == '-' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])) != 0) {
            name += "minus";
        }
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name.empty() ? "empty" : name;
}

} // namespace corvane::testing
