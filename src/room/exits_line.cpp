#include "room/exits_line.h"

#include "core/text_codec.h"

#include <array>

namespace corvane {

namespace {

// More than this is a paragraph that happens to start with "Exits:", not a list.
constexpr std::size_t kMostExits = 32;
constexpr std::size_t kLongestExit = 40;

std::string_view trimmed(std::string_view text, std::string_view junk = " \t.") {
    const auto first = text.find_first_not_of(junk);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(junk) - first + 1);
}

bool startsNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// "Out <o>" and "North [n]" name the command in the brackets.
std::string_view commandOf(std::string_view item) {
    for (const auto& [open, close] : std::array<std::pair<char, char>, 3>{{{'<', '>'}, {'[', ']'}, {'(', ')'}}}) {
        const auto from = item.find(open);
        const auto to = item.find(close, from == std::string_view::npos ? 0 : from);
        if (from != std::string_view::npos && to != std::string_view::npos && to > from + 1) {
            return trimmed(item.substr(from + 1, to - from - 1), " \t");
        }
    }
    return item;
}

std::optional<std::vector<std::string>> bracketedNames(std::string_view text) {
    std::vector<std::string> names;
    for (std::size_t at = text.find_first_of("<["); at != std::string_view::npos;
         at = text.find_first_of("<[", at + 1)) {
        const char close = text[at] == '<' ? '>' : ']';
        const auto end = text.find(close, at + 1);
        if (end == std::string_view::npos) {
            break;
        }
        const std::string_view name = trimmed(text.substr(at + 1, end - at - 1), " \t");
        if (name.empty() || name.size() > kLongestExit || names.size() == kMostExits) {
            return std::nullopt;
        }
        names.emplace_back(name);
        at = end;
    }
    if (names.empty()) {
        return std::nullopt;
    }
    return names;
}

} // namespace

std::optional<std::vector<std::string>> ParseExitsLine(std::string_view line) {
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
        return std::nullopt;
    }
    std::string_view rest = *listed;
    std::vector<std::string> exits;
    if (rest.empty() || EqualsNoCase(rest, "none")) {
        return exits;
    }
    // Commas when there are any, else blanks ("Exits: n s e"); "and" joins the last.
    const bool commas = rest.find_first_of(",;") != std::string_view::npos;
    if (!commas) {
        // "North Road <n> and Market Row [se]": without commas only the short
        // names say where one exit ends.
        if (auto named = bracketedNames(rest)) {
            return named;
        }
    }
    const std::string_view separators = commas ? ",;" : " \t";
    std::vector<std::string_view> items;
    while (!rest.empty()) {
        const auto end = rest.find_first_of(separators);
        std::string_view item = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (const auto joined = item.find(" and "); joined != std::string_view::npos) {
            items.push_back(trimmed(item.substr(0, joined)));
            item = trimmed(item.substr(joined + 5));
        } else if (startsNoCase(item, "and ")) {
            item = trimmed(item.substr(4));
        }
        items.push_back(item);
    }
    for (std::string_view item : items) {
        item = commandOf(item);
        if (item.empty() || EqualsNoCase(item, "and")) {
            continue;
        }
        if (item.size() > kLongestExit || exits.size() == kMostExits) {
            return std::nullopt;
        }
        exits.emplace_back(item);
    }
    return exits;
}

} // namespace corvane
