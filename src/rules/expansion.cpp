#include "rules/expansion.h"

namespace corvane {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::string FillTriggerText(std::string_view text, std::string_view subject, const PatternMatch& match,
                            const PatternMatcher& matcher) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '$' || i + 1 == text.size()) {
            out.push_back(c);
            continue;
        }
        const char next = text[i + 1];
        if (next == '$') {
            out.push_back('$');
            ++i;
        } else if (isDigit(next)) {
            out.append(match.group(subject, static_cast<std::size_t>(next - '0')));
            ++i;
        } else if (next == '{') {
            const std::size_t close = text.find('}', i + 2);
            if (close == std::string_view::npos) {
                out.push_back(c);
                continue;
            }
            const std::string_view name = text.substr(i + 2, close - i - 2);
            int number = matcher.groupNumber(name);
            if (number < 0 && !name.empty() &&
                name.find_first_not_of("0123456789") == std::string_view::npos) {
                number = std::stoi(std::string(name.substr(0, 6)));
            }
            if (number >= 0) {
                out.append(match.group(subject, static_cast<std::size_t>(number)));
            }
            i = close;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string FillAliasText(std::string_view text, const AliasArguments& arguments) {
    std::string out;
    bool used = false;
    const auto word = [&](char digit) {
        const auto index = static_cast<std::size_t>(digit - '1');
        if (index < arguments.numbered.size()) {
            out.append(arguments.numbered[index]);
        }
        used = true;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        // "$1" as a trigger's send writes it, "$$" a dollar sign; "$"
        // before anything else is itself.
        if (c == '$' && next >= '1' && next <= '9') {
            word(next);
            ++i;
            continue;
        }
        if (c == '$' && next == '$') {
            out.push_back('$');
            ++i;
            continue;
        }
        if (c != '%' || i + 1 == text.size()) {
            out.push_back(c);
            continue;
        }
        if (next == '%') {
            out.push_back('%');
        } else if (next == '*') {
            out.append(arguments.rest);
            used = true;
        } else if (next >= '1' && next <= '9') {
            word(next);
        } else if (next == '-' && i + 2 < text.size() && text[i + 2] >= '1' && text[i + 2] <= '9') {
            // The words after the first N, as TinyFugue's %-1 gives them.
            const auto skip = static_cast<std::size_t>(text[i + 2] - '0');
            for (std::size_t w = skip; w < arguments.numbered.size(); ++w) {
                out.append(w > skip ? " " : "").append(arguments.numbered[w]);
            }
            used = true;
            ++i;
        } else {
            out.push_back(c);
            continue;
        }
        ++i;
    }
    if (!used && !arguments.rest.empty()) {
        out.push_back(' ');
        out.append(arguments.rest);
    }
    return out;
}

std::vector<std::string> SplitCommands(std::string_view text) {
    std::vector<std::string> commands(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == ';') {
            commands.back().push_back(';');
            ++i;
        } else if (c == ';' || c == '\n') {
            commands.emplace_back();
        } else if (c != '\r') {
            commands.back().push_back(c);
        }
    }
    if (commands.back().empty()) {
        commands.pop_back();
    }
    return commands;
}

} // namespace corvane
