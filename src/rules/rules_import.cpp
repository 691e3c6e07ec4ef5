#include "rules/rules_import.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>

namespace corvane {

namespace {

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

// ---- TinyFugue -------------------------------------------------------------

// Joins lines ending in a backslash with the next, drops comments.
std::vector<std::string> tfCommands(const std::string& text) {
    std::vector<std::string> commands;
    std::istringstream in(text);
    std::string line;
    std::string pending;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (pending.empty() && (trim(line).empty() || line[0] == ';' || line[0] == '#')) {
            continue;
        }
        if (!line.empty() && line.back() == '\\') {
            line.pop_back();
            pending += trim(line) + " ";
            continue;
        }
        pending += pending.empty() ? line : trim(line);
        commands.push_back(trim(pending));
        pending.clear();
    }
    if (!trim(pending).empty()) {
        commands.push_back(trim(pending));
    }
    return commands;
}

// A TinyFugue glob matches the whole line: * and ? as wildcards, [..] sets,
// {a|b} alternatives, a backslash quoting the next character.
std::string globToRegex(const std::string& glob) {
    std::string out = "^";
    for (std::size_t i = 0; i < glob.size(); ++i) {
        const char c = glob[i];
        if (c == '\\' && i + 1 < glob.size()) {
            out += escapeRegex(glob[++i]);
        } else if (c == '*') {
            out += ".*";
        } else if (c == '?') {
            out += ".";
        } else if (c == '[') {
            const std::size_t close = glob.find(']', i + 1);
            if (close == std::string::npos) {
                out += "\\[";
            } else {
                std::string set = glob.substr(i + 1, close - i - 1);
                if (!set.empty() && set[0] == '^') {
                    set[0] = '^';
                }
                out += "[" + set + "]";
                i = close;
            }
        } else if (c == '{') {
            out += "(?:";
        } else if (c == '}') {
            out += ")";
        } else if (c == '|') {
            out += "|";
        } else {
            out += escapeRegex(c);
        }
    }
    return out + "$";
}

// Reads one option's value: quoted with " or ', or up to the next blank.
std::string tfOptionValue(const std::string& text, std::size_t& i) {
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i++];
        std::string value;
        while (i < text.size() && text[i] != quote) {
            if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == quote) {
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

// A trigger body in Corvane's terms: "%;" separates commands, the match and
// its groups become $-references. Nothing when it runs TinyFugue commands.
std::optional<std::string> tfBody(const std::string& body, bool regexp, std::string& why) {
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c != '%' && c != '{') {
            out += c == '$' ? std::string("$$") : std::string(1, c);
            continue;
        }
        std::string rest = body.substr(i);
        if (startsWith(rest, "%;")) {
            out += ";";
            ++i;
        } else if (startsWith(rest, "%%")) {
            out += "%";
            ++i;
        } else if (startsWith(rest, "%*") || startsWith(rest, "%{*}") || startsWith(rest, "{*}")) {
            out += "$0";
            i += startsWith(rest, "%*") ? 1 : (startsWith(rest, "{*}") ? 2 : 3);
        } else if ((startsWith(rest, "%P") || startsWith(rest, "{P") || startsWith(rest, "%{P")) && regexp) {
            const std::size_t digit = rest.find_first_of("0123456789");
            if (digit == std::string::npos || digit > 3) {
                out.push_back(c);
                continue;
            }
            out += "$" + std::string(1, rest[digit]);
            i += digit;
            if (rest[0] == '{' || rest[1] == '{') {
                ++i; // the closing brace
            }
        } else if (c == '%' && rest.size() > 1 && rest[1] >= '1' && rest[1] <= '9') {
            why = "uses " + rest.substr(0, 2) + " (a word of the line), which a trigger here cannot name";
            return std::nullopt;
        } else {
            out.push_back(c);
        }
    }
    // "/send text" is plain text to the world here; other commands are TinyFugue's own.
    std::string sent;
    std::istringstream pieces(out);
    std::string piece;
    while (std::getline(pieces, piece, ';')) {
        std::string t = trim(piece);
        if (startsWith(t, "/send ")) {
            t = trim(t.substr(6));
        } else if (!t.empty() && t[0] == '/') {
            why = "runs the TinyFugue command " + t.substr(0, t.find(' '));
            return std::nullopt;
        }
        sent += (sent.empty() ? "" : ";") + t;
    }
    return sent;
}

void tfAttributes(const std::string& attributes, Rule& rule) {
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        switch (attributes[i]) {
        case 'g':
            rule.gag = true;
            break;
        case 'B':
        case 'h':
            rule.bold = true;
            rule.colour = Rule::Colour::Line;
            break;
        case 'C': {
            const std::string colour = attributes.substr(i + 1);
            const bool background = startsWith(colour, "bg");
            if (const auto rgb = namedColour(background ? colour.substr(2) : colour)) {
                (background ? rule.background : rule.foreground) = rgb;
                rule.colour = Rule::Colour::Line;
            }
            i = attributes.size();
            break;
        }
        default:
            break;
        }
    }
}

struct TfTrigger {
    Rule rule;
    int priority = 0;
};

std::optional<TfTrigger> tfDef(const std::string& args, std::string& why) {
    TfTrigger out;
    Rule& rule = out.rule;
    std::string matching = "glob";
    std::optional<std::string> pattern;
    bool fallThrough = false;
    bool partial = false;
    std::size_t i = 0;
    while (i < args.size()) {
        while (i < args.size() && (args[i] == ' ' || args[i] == '\t')) {
            ++i;
        }
        if (i >= args.size() || args[i] != '-') {
            break;
        }
        ++i;
        if (i < args.size() && args[i] == '-') {
            ++i;
            break;
        }
        const char option = i < args.size() ? args[i++] : ' ';
        switch (option) {
        case 't':
            pattern = tfOptionValue(args, i);
            break;
        case 'm':
            matching = tfOptionValue(args, i);
            break;
        case 'p':
            out.priority = std::atoi(tfOptionValue(args, i).c_str());
            break;
        case 'a':
            tfAttributes(tfOptionValue(args, i), rule);
            break;
        case 'P':
            partial = true;
            tfAttributes(tfOptionValue(args, i), rule);
            break;
        case 'F':
            fallThrough = true;
            break;
        case 'w':
            rule.world = tfOptionValue(args, i);
            break;
        case 'h':
            why = "is a hook (-h), which Corvane has no equivalent for";
            return std::nullopt;
        case 'n':
        case 'c':
        case 'b':
        case 'B':
        case 'E':
        case 'T':
        case 'i':
        case 'q':
        case 'e':
        case 'f':
            if (option == 'b' || option == 'B') {
                why = "is a key binding (-" + std::string(1, option) + ")";
                return std::nullopt;
            }
            if (option != 'i' && option != 'q' && option != 'e' && option != 'f') {
                tfOptionValue(args, i);
            }
            break;
        default:
            break;
        }
    }
    const std::string rest = args.substr(std::min(i, args.size()));
    const std::size_t equals = rest.find('=');
    rule.name = trim(rest.substr(0, equals));
    const std::string body = equals == std::string::npos ? "" : trim(rest.substr(equals + 1));
    if (!pattern) {
        why = "has no trigger pattern (-t): it is a TinyFugue command";
        return std::nullopt;
    }
    matching = lower(matching);
    if (matching == "regexp") {
        rule.mode = MatchMode::Regex;
        rule.pattern = *pattern;
    } else if (matching == "simple") {
        rule.mode = MatchMode::Regex;
        std::string quoted = "^";
        for (const char c : *pattern) {
            quoted += escapeRegex(c);
        }
        rule.pattern = quoted + "$";
    } else if (matching == "glob") {
        rule.mode = MatchMode::Regex;
        rule.pattern = globToRegex(*pattern);
    } else {
        why = "uses the matching style \"" + matching + "\"";
        return std::nullopt;
    }
    if (partial) {
        rule.colour = Rule::Colour::Match;
    }
    rule.caseSensitive = false;
    const auto send = tfBody(body, rule.mode == MatchMode::Regex && matching == "regexp", why);
    if (!send) {
        return std::nullopt;
    }
    rule.send = *send;
    rule.stopHere = !fallThrough;
    return out;
}

// TinyFugue's alias arguments are the words after the name, as here; %1 and
// %* need nothing done, "%;" separates commands.
std::string tfAliasBody(const std::string& body) {
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body.compare(i, 2, "%;") == 0) {
            out += ";";
            ++i;
        } else {
            out.push_back(body[i]);
        }
    }
    return out;
}

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

RulesImport ImportTinyFugue(const std::string& text) {
    RulesImport result;
    std::vector<TfTrigger> triggers;
    for (const std::string& command : tfCommands(text)) {
        const std::size_t space = command.find_first_of(" \t");
        const std::string verb = lower(command.substr(0, space));
        const std::string args = space == std::string::npos ? "" : trim(command.substr(space));
        std::string why;
        if (verb == "/def") {
            if (auto trigger = tfDef(args, why)) {
                triggers.push_back(std::move(*trigger));
                continue;
            }
        } else if (verb == "/alias") {
            const std::size_t split = args.find_first_of(" \t");
            if (split != std::string::npos) {
                Rule rule;
                rule.kind = Rule::Kind::Alias;
                rule.pattern = args.substr(0, split);
                rule.name = rule.pattern;
                rule.send = tfAliasBody(trim(args.substr(split)));
                result.rules.push_back(rule);
                continue;
            }
            why = "has no expansion";
        } else if (verb == "/gag" || verb == "/hilite") {
            Rule rule;
            const std::size_t equals = args.find('=');
            const std::string glob = trim(args.substr(0, equals));
            rule.name = glob;
            rule.mode = MatchMode::Regex;
            rule.pattern = globToRegex(glob);
            if (verb == "/gag") {
                rule.gag = true;
            } else {
                rule.bold = true;
                rule.colour = Rule::Colour::Line;
            }
            if (!glob.empty()) {
                triggers.push_back(TfTrigger{rule, 0});
                triggers.back().rule.stopHere = false;
                continue;
            }
            why = "has no pattern";
        } else {
            why = "is not a trigger or an alias";
        }
        result.skipped.push_back(command.substr(0, 60) + (command.size() > 60 ? "..." : "") + ": " + why);
    }
    // Higher priorities are tried first; equal ones keep the file's order.
    std::stable_sort(triggers.begin(), triggers.end(),
                     [](const TfTrigger& a, const TfTrigger& b) { return a.priority > b.priority; });
    for (TfTrigger& trigger : triggers) {
        result.rules.push_back(std::move(trigger.rule));
    }
    return result;
}

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
        result.skipped.push_back(command.source.substr(0, 60) + (command.source.size() > 60 ? "..." : "") + ": " +
                                 why);
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

} // namespace corvane
