#include "rules/rules_import.h"

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
        result.skipped.push_back(shortened(command) + ": " + why);
    }
    // Higher priorities are tried first; equal ones keep the file's order.
    std::stable_sort(triggers.begin(), triggers.end(),
                     [](const TfTrigger& a, const TfTrigger& b) { return a.priority > b.priority; });
    for (TfTrigger& trigger : triggers) {
        result.rules.push_back(std::move(trigger.rule));
    }
    return result;
}

} // namespace corvane
