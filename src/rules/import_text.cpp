#include "rules/import_text.h"

#include "core/text_codec.h"

#include <map>

namespace corvane::import_text {

std::string lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string escapeRegex(char c) {
    static const std::string special = "\\^$.|?*+()[]{}/";
    return special.find(c) != std::string::npos ? std::string("\\") + c : std::string(1, c);
}

std::string shortened(const std::string& command) {
    constexpr std::size_t kShown = 60;
    // Cut between characters, never inside one.
    return Utf8Length(command) > kShown ? Utf8Left(command, kShown) + "..." : command;
}

std::optional<Rgb> namedColour(const std::string& name) {
    static const std::map<std::string, Rgb> colours = {
        {"black", {0, 0, 0}},         {"red", {205, 0, 0}},      {"green", {0, 205, 0}},
        {"yellow", {205, 205, 0}},    {"blue", {0, 0, 238}},     {"magenta", {205, 0, 205}},
        {"cyan", {0, 205, 205}},      {"white", {229, 229, 229}}, {"light red", {255, 0, 0}},
        {"light green", {0, 255, 0}}, {"light yellow", {255, 255, 0}}, {"light blue", {92, 92, 255}},
        {"light magenta", {255, 0, 255}}, {"light cyan", {0, 255, 255}}, {"light white", {255, 255, 255}},
        {"gray", {127, 127, 127}},    {"grey", {127, 127, 127}},
    };
    const auto found = colours.find(name);
    if (found == colours.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace corvane::import_text
