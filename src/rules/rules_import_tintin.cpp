// Importing TinTin++ files, and telling them from TinyFugue's.
#include "rules/import_keys.h"
#include "rules/import_lua.h"
#include "rules/import_text.h"
#include "rules/import_translation.h"
#include "rules/rules_import.h"
#include "rules/tin_body.h"
#include "rules/tin_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>

namespace corvane {

namespace {

using namespace import_text;
using namespace tin_body;
using namespace tin_reader;

// ---- Translating ------------------------------------------------------------

// A TinTin++ pattern as a regular expression: %1..%99 and %* take any text,
// %w a word, %d digits; ^ at the start anchors it; {a|b} is a regular
// expression of its own, and a group.
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
                while (i + 1 < pattern.size() &&
                       std::isdigit(static_cast<unsigned char>(pattern[i + 1])) != 0) {
                    ++i;
                }
                out += "(.*?)";
                continue;
            }
            static const std::map<char, std::string> wildcards = {
                {'*', "(.*?)"},  {'w', "(\\w+)"}, {'d', "(\\d+)"}, {'s', "(\\s+)"}, {'S', "(\\S+)"},
                {'W', "(\\W+)"}, {'D', "(\\D+)"}, {'+', "(.+?)"},  {'?', "(.?)"},   {'.', "(.)"}};
            if (const auto found = wildcards.find(next); found != wildcards.end()) {
                out += found->second;
                ++i;
                continue;
            }
        }
        if (c == '{') {
            const std::size_t close = pattern.find('}', i + 1);
            if (close != std::string::npos) {
                out += "(" + pattern.substr(i + 1, close - i - 1) + ")";
                i = close;
                continue;
            }
        }
        if (c == '\\' && i + 1 < pattern.size()) {
            out += escapeRegex(pattern[++i]);
            continue;
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

// "#macro {\eOx} {north}": a key rule sending the commands as if typed.
std::optional<Rule> tinKey(const std::string& sequence, const std::string& body, std::string& why) {
    const std::string key = ImportedKey(sequence, why);
    if (key.empty()) {
        return std::nullopt;
    }
    auto commands = tinCommandsOf(body, false, why);
    if (!commands) {
        return std::nullopt;
    }
    if (commands->empty()) {
        why = "has no commands";
        return std::nullopt;
    }
    Rule rule;
    rule.kind = Rule::Kind::Key;
    rule.name = key;
    rule.pattern = key;
    rule.send = *commands;
    return rule;
}

// An alias: %1..%9 are the words typed after its name, %0 all of them, and
// a body that names none gets them added at its end, as tt++ does; a name
// with %1.. in it matches as a pattern.
std::optional<Rule> tinAlias(const std::string& name, const std::string& body, std::string& why) {
    Rule rule;
    rule.kind = Rule::Kind::Alias;
    rule.name = name;
    rule.caseSensitive = true;
    if (tinNeedsLua(body) && name.find('%') == std::string::npos &&
        name.find_first_of(" \t") == std::string::npos) {
        const auto lua = tinRuleLua(body, false, why);
        if (!lua) {
            return std::nullopt;
        }
        rule.pattern = name;
        rule.script = *lua;
        return rule;
    }
    auto commands = tinCommandsOf(body, false, why);
    if (!commands) {
        return std::nullopt;
    }
    // "$" of the text stays itself; "$1" here would be a word typed.
    std::string escaped;
    for (const char c : *commands) {
        escaped += c == '$' ? std::string("$$") : std::string(1, c);
    }
    commands = escaped;
    if (name.find('%') != std::string::npos || name.find_first_of(" \t") != std::string::npos) {
        rule.mode = MatchMode::Regex;
        rule.pattern = "^" + tinPattern(name[0] == '^' ? name.substr(1) : name) + "$";
        // Groups past %9 cannot be named by the expansion.
        for (std::size_t i = 0; i + 2 < commands->size(); ++i) {
            if ((*commands)[i] == '%' && std::isdigit(static_cast<unsigned char>((*commands)[i + 1])) != 0 &&
                std::isdigit(static_cast<unsigned char>((*commands)[i + 2])) != 0) {
                why = "uses %" + commands->substr(i + 1, 2);
                return std::nullopt;
            }
        }
        std::string send;
        for (std::size_t i = 0; i < commands->size(); ++i) {
            send += commands->compare(i, 2, "%0") == 0 ? (++i, std::string("%*"))
                                                       : std::string(1, (*commands)[i]);
        }
        rule.send = send;
        return rule;
    }
    rule.pattern = name;
    std::string send;
    for (std::size_t i = 0; i < commands->size(); ++i) {
        const char c = (*commands)[i];
        const char next = i + 1 < commands->size() ? (*commands)[i + 1] : '\0';
        const char after = i + 2 < commands->size() ? (*commands)[i + 2] : '\0';
        if (c == '%' && std::isdigit(static_cast<unsigned char>(next)) != 0 &&
            std::isdigit(static_cast<unsigned char>(after)) != 0) {
            why = "uses %" + commands->substr(i + 1, 2) + "; an alias here names the words 1 to 9";
            return std::nullopt;
        }
        if (c == '%' && next == '0') {
            send += "%*";
            ++i;
        } else {
            send.push_back(c);
        }
    }
    rule.send = send;
    return rule;
}

std::optional<Rule> tinColour(const std::string& spec, Rule rule, std::string& why) {
    std::string words = lower(trim(spec));
    for (const char* attribute : {"underscore", "blink", "reverse", "italic", "dim", "strikethrough"}) {
        if (words.find(attribute) != std::string::npos) {
            why = "uses " + std::string(attribute) + ", which Corvane cannot draw";
            return std::nullopt;
        }
    }
    if (startsWith(words, "bold")) {
        rule.bold = true;
        words = trim(words.substr(4));
    }
    std::size_t on = words.find(" on ");
    std::size_t skip = 4;
    if (on == std::string::npos && (on = words.find(" b ")) != std::string::npos) {
        skip = 3;
    } else if (on == std::string::npos && startsWith(words, "b ")) {
        on = 0;
        skip = 2;
    }
    if (on != std::string::npos) {
        rule.background = namedColour(trim(words.substr(on + skip)));
        if (!rule.background) {
            why = "uses the colour \"" + spec + "\"";
            return std::nullopt;
        }
        words = trim(words.substr(0, on));
    }
    if (!words.empty()) {
        rule.foreground = namedColour(words);
        if (!rule.foreground) {
            why = "uses the colour \"" + spec + "\"";
            return std::nullopt;
        }
    }
    rule.colour = Rule::Colour::Match;
    return rule;
}

// "#session name host port" and the like: a world, never its password.
std::string tinWorld(const TinCommand& command) {
    std::string named = "#" + command.name;
    for (std::size_t i = 0; i < std::min<std::size_t>(3, command.args.size()); ++i) {
        named += " " + command.args[i];
    }
    return named + ": a world, not a rule; add it in the address book";
}

std::optional<double> tinSeconds(const std::string& text) {
    const std::string t = trim(text);
    if (t.empty() || t.find_first_not_of("0123456789.") != std::string::npos) {
        return std::nullopt;
    }
    const double seconds = std::atof(t.c_str());
    return seconds > 0 ? std::optional<double>(seconds) : std::nullopt;
}

// #variable, #ticker, #delay and #event as Lua; nothing (and why) for the
// forms a script here cannot do the same way.
std::optional<std::string> tinScript(const TinCommand& command, std::string& why) {
    const std::string& name = command.name;
    const auto arg = [&](std::size_t i) { return i < command.args.size() ? command.args[i] : std::string(); };
    if (tinIs(name, "variable", 3)) {
        const std::string variable = arg(0);
        if (variable.empty() || variable.size() > 64 ||
            variable.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") !=
                std::string::npos ||
            arg(1).find('{') != std::string::npos) {
            why = "sets a variable that is not a plain name and value";
            return std::nullopt;
        }
        return import_lua::setVariable(variable, arg(1));
    }
    if (tinIs(name, "ticker", 3)) {
        const auto seconds = tinSeconds(arg(2));
        if (!seconds || arg(0).empty()) {
            why = "is a ticker without a name and a number of seconds";
            return std::nullopt;
        }
        const auto lua = tinScriptLua(arg(1), why);
        return lua ? std::optional<std::string>(import_lua::every(*seconds, 0, arg(0), *lua)) : std::nullopt;
    }
    if (tinIs(name, "delay", 3)) {
        // "#delay {seconds} {commands}" or, named, "#delay {name} {commands} {seconds}".
        const auto seconds = tinSeconds(command.args.size() > 2 ? arg(2) : arg(0));
        if (!seconds) {
            why = "is a delay without a number of seconds";
            return std::nullopt;
        }
        const auto lua = tinScriptLua(arg(1), why);
        return lua ? std::optional<std::string>(import_lua::after(*seconds, *lua)) : std::nullopt;
    }
    const std::string event = lower(trim(arg(0)));
    const char* handler = event == "session connected"      ? "connect"
                          : event == "session disconnected" ? "disconnect"
                                                            : nullptr;
    if (handler == nullptr) {
        why = "is the event " + arg(0) + ", which has no event here";
        return std::nullopt;
    }
    const auto lua = tinScriptLua(arg(1), why);
    return lua ? std::optional<std::string>(import_lua::on(handler, *lua)) : std::nullopt;
}

} // namespace

namespace import_translation {

struct TinTranslation::State {
    std::vector<TinCommand> commands;
    std::size_t next = 0;
    std::vector<std::pair<double, Rule>> actions;
    RulesImport result;

    void translate(const TinCommand& command);
};

TinTranslation::TinTranslation(std::vector<TinCommand> commands)
    : m_state(std::make_unique<State>()) {
    m_state->commands = std::move(commands);
}

TinTranslation::~TinTranslation() = default;
TinTranslation::TinTranslation(TinTranslation&&) noexcept = default;
TinTranslation& TinTranslation::operator=(TinTranslation&&) noexcept = default;

bool TinTranslation::step(std::size_t bytes, std::size_t count) {
    State& s = *m_state;
    std::size_t done = 0;
    for (std::size_t n = 0; n < count && done < bytes && s.next < s.commands.size(); ++n, ++s.next) {
        done += s.commands[s.next].source.size();
        s.translate(s.commands[s.next]);
    }
    return s.next < s.commands.size();
}

RulesImport TinTranslation::finish() {
    State& s = *m_state;
    // Lower priorities are tried first; equal ones keep the file's order.
    std::stable_sort(s.actions.begin(), s.actions.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& action : s.actions) {
        s.result.rules.push_back(std::move(action.second));
    }
    s.actions.clear();
    return std::move(s.result);
}

void TinTranslation::State::translate(const TinCommand& command) {
    std::string why;
    const std::string& name = command.name;
    const std::string first = command.args.empty() ? "" : command.args[0];
    const std::string second = command.args.size() > 1 ? command.args[1] : "";
    Rule rule;
    rule.name = first;
    rule.mode = MatchMode::Regex;
    rule.caseSensitive = true;
    rule.pattern = tinPattern(first);
    const double priority = command.args.size() > 2 ? std::atof(command.args[2].c_str()) : 5.0;
    if (tinIs(name, "nop", 3) || tinIs(name, "class", 3) || (name.empty() && command.source.empty())) {
        return;
    }
    if (tinIs(name, "session", 3)) {
        result.skipped.push_back(tinWorld(command));
        return;
    }
    if (name.empty()) {
        why = "is not a TinTin++ command";
    } else if (first.empty()) {
        why = "has no pattern";
    } else if (tinIs(name, "action", 2)) {
        if (tinNeedsLua(second)) {
            if (const auto lua = tinRuleLua(second, true, why)) {
                rule.script = *lua;
                actions.emplace_back(priority, rule);
                return;
            }
        } else if (const auto send = tinCommandsOf(second, true, why)) {
            rule.send = *send;
            actions.emplace_back(priority, rule);
            return;
        }
    } else if (tinIs(name, "alias", 3)) {
        if (auto alias = tinAlias(first, second, why)) {
            result.rules.push_back(std::move(*alias));
            return;
        }
    } else if (tinIs(name, "gag", 3)) {
        rule.gag = true;
        actions.emplace_back(priority, rule);
        return;
    } else if (tinIs(name, "highlight", 3)) {
        if (auto coloured = tinColour(second.empty() ? "bold" : second, rule, why)) {
            actions.emplace_back(priority, *coloured);
            return;
        }
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
            static const char* ansi[] = {"black", "red",     "green", "yellow",
                                         "blue",  "magenta", "cyan",  "white"};
            if (codes.size() == 3 && codes[1] >= '0' && codes[1] <= '7') {
                rule.foreground = namedColour(ansi[codes[1] - '0']);
            }
            if (codes.size() == 3 && codes[2] >= '0' && codes[2] <= '7') {
                rule.background = namedColour(ansi[codes[2] - '0']);
            }
            rule.bold = codes.size() == 3 && codes[0] == '1';
            rule.colour = Rule::Colour::Match;
            actions.emplace_back(priority, rule);
            return;
        }
        why = "changes the text, which Corvane does not do (only colours)";
    } else if (tinIs(name, "variable", 3) || tinIs(name, "ticker", 3) || tinIs(name, "delay", 3) ||
               tinIs(name, "event", 3)) {
        if (const auto lua = tinScript(command, why)) {
            ++result.scripted;
            result.script += *lua;
            return;
        }
    } else if (tinIs(name, "math", 3) || tinIs(name, "function", 3) || tinIs(name, "if", 2) ||
               tinIs(name, "format", 3)) {
        why = "is a variable, condition or function, which the importer does not put in a rule yet";
    } else if (tinIs(name, "macro", 3)) {
        if (auto key = tinKey(first, second, why)) {
            result.rules.push_back(std::move(*key));
            return;
        }
    } else if (tinIs(name, "system", 3) || tinIs(name, "script", 3) || tinIs(name, "run", 3)) {
        why = "runs a program; Corvane never runs programs from an import";
    } else {
        why = "is not a trigger or an alias";
    }
    result.skipped.push_back(shortened(command.source) + ": " + why);
}

} // namespace import_translation

RulesImport ImportTinTin(const std::string& text) {
    import_translation::TinTranslation translation(tinCommands(text));
    while (translation.step(SIZE_MAX, SIZE_MAX)) {
    }
    return translation.finish();
}

} // namespace corvane
