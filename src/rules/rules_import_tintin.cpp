// Importing TinTin++ files, and telling them from TinyFugue's.
#include "rules/rules_import.h"

#include "core/text_codec.h"
#include "rules/import_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>

namespace corvane {

namespace {

using namespace import_text;

// ---- TinTin++ --------------------------------------------------------------

// One "#command {arg} {arg}" or "#command arg arg" with its arguments.
struct TinCommand {
    std::string name;
    std::vector<std::string> args;
    std::string source;
};

std::vector<TinCommand> tinCommands(const std::string& text) {
    std::vector<TinCommand> commands;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
            ++i;
        }
        if (i >= text.size()) {
            break;
        }
        if (text[i] != '#' || text.compare(i, 4, "#nop") == 0) {
            const std::size_t end = text.find('\n', i);
            i = end == std::string::npos ? text.size() : end + 1;
            continue;
        }
        const std::size_t start = i;
        TinCommand command;
        ++i;
        while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) != 0) {
            command.name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
            ++i;
        }
        while (i < text.size() && text[i] != '\n' && text[i] != ';') {
            if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
                ++i;
            } else if (text[i] == '{') {
                int depth = 0;
                std::string arg;
                for (; i < text.size(); ++i) {
                    if (text[i] == '{' && depth++ == 0) {
                        continue;
                    }
                    if (text[i] == '}' && --depth == 0) {
                        ++i;
                        break;
                    }
                    arg.push_back(text[i]);
                }
                command.args.push_back(arg);
            } else {
                std::string arg;
                while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r' &&
                       text[i] != ';') {
                    arg.push_back(text[i++]);
                }
                command.args.push_back(arg);
            }
        }
        command.source = trim(text.substr(start, i - start));
        commands.push_back(command);
    }
    return commands;
}

// "is", "act", "action": TinTin++ takes any unique abbreviation.
bool tinIs(const std::string& name, const std::string& full, std::size_t shortest) {
    return name.size() >= shortest && startsWith(full, name);
}

// A TinTin++ pattern as a regular expression: %1..%99 and %* take any text,
// %w a word, %d digits; ^ at the start anchors it.
std::string tinPattern(const std::string& pattern) {
    std::string out;
    std::size_t i = 0;
    if (!pattern.empty() && pattern[0] == '^') {
        out = "^";
        i = 1;
    }
    for (; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            if (std::isdigit(static_cast<unsigned char>(next)) != 0) {
                while (i + 1 < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i + 1])) != 0) {
                    ++i;
                }
                out += "(.*?)";
                continue;
            }
            const std::map<char, std::string> wildcards = {{'*', "(.*?)"}, {'w', "(\\w+)"}, {'d', "(\\d+)"},
                                                           {'s', "(\\s+)"}, {'S', "(\\S+)"}, {'W', "(\\W+)"},
                                                           {'D', "(\\D+)"}, {'+', "(.+?)"}, {'?', "(.?)"}};
            if (const auto found = wildcards.find(next); found != wildcards.end()) {
                out += found->second;
                ++i;
                continue;
            }
        }
        if (c == '$' && i + 1 == pattern.size()) {
            out += "$";
            continue;
        }
        out += escapeRegex(c);
    }
    // A lazy group at the very end would take nothing.
    if (out.size() >= 5 && out.compare(out.size() - 5, 5, "(.*?)") == 0) {
        out.replace(out.size() - 5, 5, "(.*)");
    }
    return out;
}

std::optional<std::string> tinTriggerCommands(const std::string& commands, std::string& why) {
    std::string out;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const char c = commands[i];
        if (c == '%' && i + 1 < commands.size() && std::isdigit(static_cast<unsigned char>(commands[i + 1])) != 0) {
            out += "$";
            out.push_back(commands[++i]);
        } else if (c == '$') {
            out += "$$";
        } else {
            out.push_back(c);
        }
    }
    std::istringstream pieces(out);
    std::string piece;
    while (std::getline(pieces, piece, ';')) {
        const std::string t = trim(piece);
        if (!t.empty() && t[0] == '#') {
            why = "runs the TinTin++ command " + t.substr(0, t.find_first_of(" {"));
            return std::nullopt;
        }
    }
    return out;
}

std::optional<Rule> tinColour(const std::string& spec, Rule rule) {
    std::string words = lower(trim(spec));
    if (startsWith(words, "bold ")) {
        rule.bold = true;
        words = trim(words.substr(5));
    }
    const std::size_t on = words.find(" on ");
    if (on != std::string::npos) {
        rule.background = namedColour(trim(words.substr(on + 4)));
        words = trim(words.substr(0, on));
    }
    rule.foreground = namedColour(words);
    if (words == "bold") {
        rule.bold = true;
    } else if (!rule.foreground) {
        return std::nullopt;
    }
    rule.colour = Rule::Colour::Match;
    return rule;
}

} // namespace

RulesImport ImportTinTin(const std::string& text) {
    RulesImport result;
    for (const TinCommand& command : tinCommands(text)) {
        std::string why;
        const std::string& name = command.name;
        const std::string first = command.args.empty() ? "" : command.args[0];
        const std::string second = command.args.size() > 1 ? command.args[1] : "";
        Rule rule;
        rule.name = first;
        rule.mode = MatchMode::Regex;
        rule.caseSensitive = true;
        rule.pattern = tinPattern(first);
        if (first.empty()) {
            why = "has no pattern";
        } else if (tinIs(name, "action", 2)) {
            if (const auto send = tinTriggerCommands(second, why)) {
                rule.send = *send;
                result.rules.push_back(rule);
                continue;
            }
        } else if (tinIs(name, "alias", 3)) {
            rule.kind = Rule::Kind::Alias;
            rule.mode = MatchMode::Plain;
            rule.caseSensitive = false;
            rule.pattern = first;
            std::string send;
            for (std::size_t i = 0; i < second.size(); ++i) {
                if (second.compare(i, 2, "%0") == 0) {
                    send += "%*";
                    ++i;
                } else {
                    send.push_back(second[i]);
                }
            }
            rule.send = send;
            result.rules.push_back(rule);
            continue;
        } else if (tinIs(name, "gag", 3)) {
            rule.gag = true;
            result.rules.push_back(rule);
            continue;
        } else if (tinIs(name, "highlight", 3)) {
            if (auto coloured = tinColour(second.empty() ? "bold" : second, rule)) {
                result.rules.push_back(*coloured);
                continue;
            }
            why = "uses the colour \"" + second + "\"";
        } else if (tinIs(name, "substitute", 3)) {
            // Only a substitution that keeps the text and adds colour codes.
            std::string plain;
            std::string codes;
            for (std::size_t i = 0; i < second.size(); ++i) {
                const std::size_t close = second.find('>', i);
                if (second[i] == '<' && close != std::string::npos && close - i == 4) {
                    codes = second.substr(i + 1, 3);
                    i = close;
                } else {
                    plain.push_back(second[i]);
                }
            }
            if (plain == "%0" || plain == "%*") {
                // <aBc>: attribute, foreground, background as 0-9 ANSI.
                static const char* ansi[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
                if (codes.size() == 3 && codes[1] >= '0' && codes[1] <= '7') {
                    rule.foreground = namedColour(ansi[codes[1] - '0']);
                }
                if (codes.size() == 3 && codes[2] >= '0' && codes[2] <= '7') {
                    rule.background = namedColour(ansi[codes[2] - '0']);
                }
                rule.bold = codes.size() == 3 && codes[0] == '1';
                rule.colour = Rule::Colour::Match;
                result.rules.push_back(rule);
                continue;
            }
            why = "changes the text, which Corvane does not do (only colours)";
        } else {
            why = "is not a trigger or an alias";
        }
        result.skipped.push_back(shortened(command.source) + ": " + why);
    }
    return result;
}

RulesImport ImportRulesFile(const std::string& text) {
    for (const TinCommand& command : tinCommands(text)) {
        for (const char* known : {"action", "alias", "gag", "highlight", "substitute"}) {
            if (command.name.size() >= 2 && startsWith(known, command.name)) {
                return ImportTinTin(text);
            }
        }
    }
    return ImportTinyFugue(text);
}

RulesImport ImportRulesBytes(std::string_view bytes) {
    // A byte order mark says UTF-8 and is no command.
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const bool utf8 = IsValidUtf8(bytes);
    RulesImport imported = ImportRulesFile(utf8 ? std::string(bytes) : Cp1252ToUtf8(bytes));
    imported.readAsWindows1252 = !utf8;
    return imported;
}

} // namespace corvane
