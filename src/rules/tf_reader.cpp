#include "rules/tf_reader.h"

#include "rules/import_text.h"

#include <algorithm>

namespace corvane::tf_reader {

using import_text::trim;

// A line ending in a backslash goes on on the next line (whose leading blanks
// go); lines starting with ";" or "#" are comments.
std::vector<std::string> tfCommands(const std::string& text) {
    std::vector<std::string> commands;
    std::string pending;
    bool continued = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (continued) {
            line = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
        } else if (trim(line).empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        // "%\" at the end is a backslash, not a continuation.
        continued = !line.empty() && line.back() == '\\' && (line.size() < 2 || line[line.size() - 2] != '%');
        if (continued) {
            line.pop_back();
        }
        pending += line;
        if (!continued) {
            commands.push_back(trim(pending));
            pending.clear();
        }
        if (end == text.size()) {
            break;
        }
    }
    if (!trim(pending).empty()) {
        commands.push_back(trim(pending));
    }
    return commands;
}

// One option's value: quoted (a backslash takes the next character as it
// is, so "\\" is one backslash) or up to the next blank.
std::string tfValue(const std::string& text, std::size_t& i) {
    if (i < text.size() && (text[i] == '"' || text[i] == '\'' || text[i] == '`')) {
        const char quote = text[i++];
        std::string value;
        while (i < text.size() && text[i] != quote) {
            if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == quote || text[i + 1] == '\\')) {
                ++i;
            }
            value.push_back(text[i++]);
        }
        ++i;
        return value;
    }
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
        ++i;
    }
    return text.substr(start, i - start);
}

void skipBlanks(const std::string& text, std::size_t& i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
}

bool TfOptions::has(char option) const {
    return std::any_of(values.begin(), values.end(), [&](const auto& v) { return v.first == option; });
}

std::optional<std::string> TfOptions::value(char option) const {
    for (const auto& v : values) {
        if (v.first == option) {
            return v.second;
        }
    }
    return std::nullopt;
}

TfOptions tfOptions(const std::string& args, const std::string& withValues) {
    TfOptions out;
    std::size_t i = 0;
    for (;;) {
        skipBlanks(args, i);
        if (i + 1 >= args.size() || args[i] != '-' || args[i + 1] == ' ') {
            break;
        }
        ++i;
        if (args[i] == '-') {
            ++i;
            break;
        }
        while (i < args.size() && args[i] != ' ' && args[i] != '\t') {
            const char option = args[i++];
            if (withValues.find(option) == std::string::npos) {
                out.values.emplace_back(option, "");
                continue;
            }
            if (i >= args.size() || args[i] == ' ' || args[i] == '\t') {
                skipBlanks(args, i);
            }
            out.values.emplace_back(option, tfValue(args, i));
            break;
        }
    }
    out.rest = args.substr(std::min(i, args.size()));
    return out;
}

} // namespace corvane::tf_reader
