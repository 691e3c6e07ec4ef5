#include "room/exits_line.h"

#include "core/text_codec.h"

#include <array>

namespace corvane {

namespace {

// More than this is a paragraph that happens to start with "Exits:", not a list.
constexpr std::size_t kMostExits = 32;
constexpr std::size_t kLongestExit = 40;

// Plain loops over the few junk characters: find_first_not_of would search
// the junk set once per character of every exit of every exits line.
bool isAny(char c, std::string_view set) {
    for (const char junk : set) {
        if (c == junk) {
            return true;
        }
    }
    return false;
}

std::string_view trimmed(std::string_view text, std::string_view junk = " \t.") {
    while (!text.empty() && isAny(text.front(), junk)) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isAny(text.back(), junk)) {
        text.remove_suffix(1);
    }
    return text;
}

std::size_t findAny(std::string_view text, std::string_view set) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isAny(text[i], set)) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool startsNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// "Out <o>" and "North [n]" name the command in the brackets.
std::string_view commandOf(std::string_view item) {
    if (findAny(item, "<[(") == std::string_view::npos) {
        return item;
    }
    for (const auto& [open, close] : std::array<std::pair<char, char>, 3>{{{'<', '>'}, {'[', ']'}, {'(', ')'}}}) {
        const auto from = item.find(open);
        const auto to = item.find(close, from == std::string_view::npos ? 0 : from);
        if (from != std::string_view::npos && to != std::string_view::npos && to > from + 1) {
            return trimmed(item.substr(from + 1, to - from - 1), " \t");
        }
    }
    return item;
}

// False when a name is missing or too long, or there are too many.
bool bracketedNames(std::string_view text, std::vector<std::string_view>& names) {
    for (std::size_t at = text.find_first_of("<["); at != std::string_view::npos;
         at = text.find_first_of("<[", at + 1)) {
        const char close = text[at] == '<' ? '>' : ']';
        const auto end = text.find(close, at + 1);
        if (end == std::string_view::npos) {
            break;
        }
        const std::string_view name = trimmed(text.substr(at + 1, end - at - 1), " \t");
        if (name.empty() || name.size() > kLongestExit || names.size() == kMostExits) {
            return false;
        }
        names.push_back(name);
        at = end;
    }
    return !names.empty();
}

} // namespace

bool ReadExitsLine(std::string_view line, std::vector<std::string_view>& exits) {
    exits.clear();
    std::string_view text = trimmed(line, " \t");
    // "[ Exits: n s ]", as many MUDs frame it.
    if (!text.empty() && text.front() == '[' && text.back() == ']') {
        text = trimmed(text.substr(1, text.size() - 2), " \t");
    }
    std::optional<std::string_view> listed;
    for (const std::string_view prefix : {"Obvious exits:", "Exits:"}) {
        if (startsNoCase(text, prefix)) {
            listed = trimmed(text.substr(prefix.size()));
            break;
        }
    }
    if (!listed) {
        return false;
    }
    std::string_view rest = *listed;
    if (rest.empty() || EqualsNoCase(rest, "none")) {
        return true;
    }
    // Commas when there are any, else blanks ("Exits: n s e"); "and" joins the last.
    const bool commas = findAny(rest, ",;") != std::string_view::npos;
    if (!commas) {
        // "North Road <n> and Market Row [se]": without commas only the short
        // names say where one exit ends.
        if (bracketedNames(rest, exits)) {
            return true;
        }
        exits.clear();
    }
    const auto take = [&exits](std::string_view item) {
        item = commandOf(item);
        if (item.empty() || EqualsNoCase(item, "and")) {
            return true;
        }
        if (item.size() > kLongestExit || exits.size() == kMostExits) {
            return false;
        }
        exits.push_back(item);
        return true;
    };
    const std::string_view separators = commas ? ",;" : " \t";
    while (!rest.empty()) {
        const auto end = findAny(rest, separators);
        std::string_view item = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (const auto joined = item.find(" and "); joined != std::string_view::npos) {
            if (!take(trimmed(item.substr(0, joined)))) {
                return false;
            }
            item = trimmed(item.substr(joined + 5));
        } else if (startsNoCase(item, "and ")) {
            item = trimmed(item.substr(4));
        }
        if (!take(item)) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<std::string>> ParseExitsLine(std::string_view line) {
    std::vector<std::string_view> views;
    if (!ReadExitsLine(line, views)) {
        return std::nullopt;
    }
    return std::vector<std::string>(views.begin(), views.end());
}

} // namespace corvane
