#include "rules/import_text.h"

#include "core/text_codec.h"

#include <algorithm>
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

Rgb xtermColour(int index) {
    static const std::uint8_t level[] = {0, 95, 135, 175, 215, 255};
    if (index < 16) {
        static const Rgb basic[] = {{0, 0, 0},       {205, 0, 0},   {0, 205, 0},   {205, 205, 0},
                                    {0, 0, 238},     {205, 0, 205}, {0, 205, 205}, {229, 229, 229},
                                    {127, 127, 127}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {92, 92, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        return basic[std::max(index, 0)];
    }
    if (index < 232) {
        const int cube = index - 16;
        return Rgb{level[cube / 36], level[(cube / 6) % 6], level[cube % 6]};
    }
    const auto grey = static_cast<std::uint8_t>(8 + 10 * (std::min(index, 255) - 232));
    return Rgb{grey, grey, grey};
}

std::optional<Rgb> namedColour(const std::string& name) {
    static const std::map<std::string, Rgb> colours = {
        {"black", {0, 0, 0}},
        {"red", {205, 0, 0}},
        {"green", {0, 205, 0}},
        {"yellow", {205, 205, 0}},
        {"blue", {0, 0, 238}},
        {"magenta", {205, 0, 205}},
        {"cyan", {0, 205, 205}},
        {"white", {229, 229, 229}},
        {"light red", {255, 0, 0}},
        {"light green", {0, 255, 0}},
        {"light yellow", {255, 255, 0}},
        {"light blue", {92, 92, 255}},
        {"light magenta", {255, 0, 255}},
        {"light cyan", {0, 255, 255}},
        {"light white", {255, 255, 255}},
        {"gray", {127, 127, 127}},
        {"grey", {127, 127, 127}},
        // TinTin++'s 256-colour names, light and dark as it mixes them.
        {"azure", {0, 135, 255}},
        {"ebony", {38, 38, 38}},
        {"jade", {0, 175, 135}},
        {"lime", {135, 255, 0}},
        {"orange", {255, 135, 0}},
        {"pink", {255, 95, 175}},
        {"silver", {175, 175, 175}},
        {"tan", {215, 175, 135}},
        {"violet", {175, 95, 255}},
        {"light azure", {95, 175, 255}},
        {"light ebony", {88, 88, 88}},
        {"light jade", {95, 215, 175}},
        {"light lime", {175, 255, 95}},
        {"light orange", {255, 175, 95}},
        {"light pink", {255, 135, 215}},
        {"light silver", {215, 215, 215}},
        {"light tan", {255, 215, 175}},
        {"light violet", {215, 135, 255}},
        {"dark azure", {0, 95, 175}},
        {"dark ebony", {18, 18, 18}},
        {"dark jade", {0, 135, 95}},
        {"dark lime", {95, 175, 0}},
        {"dark orange", {175, 95, 0}},
        {"dark pink", {175, 0, 95}},
        {"dark silver", {135, 135, 135}},
        {"dark tan", {175, 135, 95}},
        {"dark violet", {95, 0, 175}},
    };
    const auto found = colours.find(name);
    if (found == colours.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace corvane::import_text
