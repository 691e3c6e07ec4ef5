// Importing TinyFugue files.
#include "rules/rules_import.h"

#include "rules/import_translation.h"

#include "rules/import_keys.h"
#include "rules/import_lua.h"
#include "rules/import_text.h"
#include "rules/tf_body.h"
#include "rules/tf_pattern.h"
#include "rules/tf_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>

namespace corvane {

namespace {

using namespace import_text;
using namespace tf_reader;
using namespace tf_body;
using namespace tf_pattern;

// ---- Translating ------------------------------------------------------------

std::string dollars(char c) {
    return c == '$' ? std::string("$$") : std::string(1, c);
}

struct TfTrigger {
    Rule rule;
    int priority = 0;
};

std::optional<TfTrigger> tfTrigger(const TfOptions& options, const std::string& body, const TfFile& file,
                                   std::string& why) {
    TfTrigger out;
    Rule& rule = out.rule;
    std::string matching = lower(options.value('m').value_or(file.matching));
    std::string partial;
    if (const auto p = options.value('P')) {
        partial = *p;
        if (!options.has('m')) {
            matching = "regexp";
        }
    }
    if (!tfPattern(*options.value('t'), matching, rule, why)) {
        return std::nullopt;
    }
    out.priority = std::atoi(options.value('p').value_or("0").c_str());
    if (const auto attributes = options.value('a'); attributes && !tfAttributes(*attributes, rule, why)) {
        return std::nullopt;
    }
    if (options.has('P')) {
        std::size_t digits = 0;
        while (digits < partial.size() && partial[digits] >= '0' && partial[digits] <= '9') {
            ++digits;
        }
        if (digits > 0 && std::atoi(partial.substr(0, digits).c_str()) != 0) {
            why = "colours group " + partial.substr(0, digits) +
                  " of the match; a rule here colours the whole match";
            return std::nullopt;
        }
        Rule coloured;
        if (!tfAttributes(partial.substr(digits), coloured, why)) {
            return std::nullopt;
        }
        rule.bold = rule.bold || coloured.bold;
        rule.foreground = coloured.foreground ? coloured.foreground : rule.foreground;
        rule.background = coloured.background ? coloured.background : rule.background;
        rule.colour = Rule::Colour::Match;
    }
    if (options.has('c') || options.has('n') || options.has('E') || options.has('T')) {
        why = "fires only sometimes (-c, -n, -E or -T), which a rule here cannot";
        return std::nullopt;
    }
    rule.world = options.value('w').value_or("");
    const bool regexp = matching == "regexp";
    // %* is the whole line, which a glob's match is; %1, %-1, %L and %-L
    // are the line's words, which only a script can name.
    const auto words = [](const std::string& name) -> std::optional<std::string> {
        if (name.size() == 1 && name[0] >= '1' && name[0] <= '9') {
            return "_w(line, " + name + ")";
        }
        if (name.size() == 2 && name[0] == '-' && name[1] >= '1' && name[1] <= '9') {
            return "_wr(line, " + name.substr(1) + ")";
        }
        if (name == "L" || name == "-L") {
            return name == "L" ? "_wl(line)" : "_wb(line)";
        }
        return std::nullopt;
    };
    const TfFill own = [&](const std::string& name) -> std::optional<std::string> {
        if ((name == "*" && !regexp) || (regexp && name == "P0")) {
            return std::string("matches[0]");
        }
        if (regexp && name.size() == 2 && name[0] == 'P' && name[1] >= '1' && name[1] <= '9') {
            return "matches[" + name.substr(1) + "]";
        }
        return words(name);
    };
    if (tfNeedsLua(body, own, [&](const std::string& name) { return words(name).has_value(); })) {
        const auto lua = tfBodyLua(body, own, file, why);
        if (!lua) {
            return std::nullopt;
        }
        rule.script = *lua;
        rule.stopHere = !options.has('F');
        return out;
    }
    const auto commands = tfBodyCommands(
        body,
        [&](const std::string& name) -> std::optional<std::string> {
            // A group as the send writes it: "matches[1]" is $1.
            const auto lua = own(name);
            if (!lua || !startsWith(*lua, "matches[")) {
                return std::nullopt;
            }
            return "$" + lua->substr(8, lua->size() - 9);
        },
        dollars, why);
    if (!commands) {
        return std::nullopt;
    }
    for (const std::string& command : *commands) {
        const auto sent = tfSendable(command, file.macros, false, why);
        if (!sent) {
            return std::nullopt;
        }
        if (!sent->empty()) {
            // A semicolon of the text is no command break here.
            std::string quoted;
            for (const char c : *sent) {
                quoted += c == ';' ? std::string("\\;") : std::string(1, c);
            }
            rule.send += (rule.send.empty() ? "" : ";") + quoted;
        }
    }
    rule.stopHere = !options.has('F');
    return out;
}

// "/def name = body" is a command the player types as "/name args".
std::optional<Rule> tfMacro(const std::string& name, const std::string& body, const TfFile& file,
                            std::string& why) {
    if (trim(body).empty()) {
        why = "has no body";
        return std::nullopt;
    }
    // tf's %-N is the words after the Nth.
    const TfFill own = [](const std::string& n) -> std::optional<std::string> {
        if (n == "*") {
            return std::string("matches.rest");
        }
        if (n.size() == 1 && n[0] >= '1' && n[0] <= '9') {
            return "matches[" + n + "]";
        }
        if (n.size() == 2 && n[0] == '-' && n[1] >= '1' && n[1] <= '9') {
            return "_wr(matches.rest, " + n.substr(1) + ")";
        }
        if (n == "L" || n == "-L") {
            return n == "L" ? "_wl(matches.rest)" : "_wb(matches.rest)";
        }
        return std::nullopt;
    };
    if (tfNeedsLua(body, own, [](const std::string& n) { return n == "L" || n == "-L"; })) {
        const auto lua = tfBodyLua(body, own, file, why);
        if (!lua) {
            return std::nullopt;
        }
        Rule rule;
        rule.kind = Rule::Kind::Alias;
        rule.name = "/" + name;
        rule.pattern = rule.name;
        rule.script = *lua;
        return rule;
    }
    const auto commands = tfBodyCommands(
        body,
        [](const std::string& n) -> std::optional<std::string> {
            if (n == "*" || (n.size() == 1 && n[0] >= '1' && n[0] <= '9')) {
                return "%" + n;
            }
            if (n.size() == 2 && n[0] == '-' && n[1] >= '1' && n[1] <= '9') {
                return "%" + n;
            }
            return std::nullopt;
        },
        [](char c) {
            return c == '%'   ? std::string("%%")
                   : c == '$' ? std::string("$$")
                   : c == ';' ? std::string("\\;")
                              : std::string(1, c);
        },
        why);
    if (!commands) {
        return std::nullopt;
    }
    Rule rule;
    rule.kind = Rule::Kind::Alias;
    rule.name = "/" + name;
    rule.pattern = rule.name;
    const auto send = tfJoinedSends(*commands, file.macros, why);
    if (!send) {
        return std::nullopt;
    }
    rule.send = *send;
    return rule;
}

// "/bind ^[Ox = north": a key rule sending the body's commands as if typed.
std::optional<Rule> tfKey(const std::string& sequence, const std::string& body, const TfFile& file,
                          std::string& why) {
    const std::string key = ImportedKey(sequence, why);
    if (key.empty()) {
        return std::nullopt;
    }
    if (lower(trim(body)).starts_with("/dokey")) {
        why = "moves in tf's own input line (/dokey), which Corvane's input line does with its own keys";
        return std::nullopt;
    }
    if (trim(body).empty()) {
        why = "has no body";
        return std::nullopt;
    }
    const auto commands = tfBodyCommands(
        body, [](const std::string&) -> std::optional<std::string> { return std::nullopt; },
        [](char c) { return c == ';' ? std::string("\\;") : std::string(1, c); }, why);
    if (!commands) {
        return std::nullopt;
    }
    Rule rule;
    rule.kind = Rule::Kind::Key;
    rule.name = key;
    rule.pattern = key;
    const auto send = tfJoinedSends(*commands, file.macros, why);
    if (!send) {
        return std::nullopt;
    }
    rule.send = *send;
    return rule;
}

// A world for the address book, named without its password.
std::string tfWorld(const std::string& verb, const std::string& args) {
    const TfOptions options = tfOptions(args, "Tsxe");
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < options.rest.size()) {
        skipBlanks(options.rest, i);
        if (i < options.rest.size()) {
            words.push_back(tfValue(options.rest, i));
        }
    }
    std::string named = words.empty() ? "" : " " + words[0];
    if (words.size() >= 3) {
        const bool withLogin = words.size() >= 5;
        named += " (" + words[withLogin ? 3 : 1] + " " + words[withLogin ? 4 : 2] + ")";
    }
    return verb + named + ": a world, not a rule; add it in the address book (its password is left out here)";
}
std::optional<std::string> tfHook(const std::string& hook, const std::string& body, const TfFile& file,
                                  std::string& why) {
    static const std::pair<const char*, const char*> events[] = {
        {"connect", "connect"}, {"login", "login"}, {"disconnect", "disconnect"}};
    for (const auto& [tf, event] : events) {
        if (lower(trim(hook)) == tf) {
            const auto lua = tfScriptLua(body, file, why);
            return lua ? std::optional<std::string>(import_lua::on(event, *lua)) : std::nullopt;
        }
    }
    why = "is a hook on " + hook + ", which has no event here";
    return std::nullopt;
}

// "/repeat [-w] -TIME COUNT command": a timer; -S and -P (at once, at the
// prompt) have no counterpart.
std::optional<std::string> tfRepeat(const std::string& args, const TfFile& file, int number,
                                    std::string& why) {
    std::size_t i = 0;
    std::optional<double> seconds;
    for (;;) {
        skipBlanks(args, i);
        if (i >= args.size() || args[i] != '-') {
            break;
        }
        const std::size_t end = std::min(args.size(), args.find_first_of(" \t", i));
        const std::string option = args.substr(i + 1, end - i - 1);
        i = end;
        if (!option.empty() && ((option[0] >= '0' && option[0] <= '9') || option[0] == '.')) {
            seconds = import_lua::tfSeconds(option);
        } else if (option != "w") {
            why = "uses /repeat -" + option + ", which a timer here does not do";
            return std::nullopt;
        }
    }
    const std::size_t countEnd = std::min(args.size(), args.find_first_of(" \t", i));
    const std::string count = args.substr(std::min(i, args.size()), countEnd - std::min(i, args.size()));
    if (!seconds || *seconds <= 0 || count.empty() ||
        (count != "i" && count.find_first_not_of("0123456789") != std::string::npos)) {
        why = "is a /repeat without a time and a count";
        return std::nullopt;
    }
    const auto lua = tfScriptLua(trim(args.substr(countEnd)), file, why);
    if (!lua) {
        return std::nullopt;
    }
    return import_lua::every(*seconds, count == "i" ? 0 : std::atoi(count.substr(0, 6).c_str()),
                             "tf-repeat-" + std::to_string(number), *lua);
}

} // namespace

namespace import_translation {

struct TfTranslation::State {
    std::vector<std::string> commands;
    // The macros' names are read first: a body's /name sends through them.
    bool namesRead = false;
    std::size_t next = 0;
    TfFile file;
    std::vector<TfTrigger> triggers;
    int repeats = 0;
    RulesImport result;

    void readName(const std::string& command);
    void translate(const std::string& command);
};

TfTranslation::TfTranslation(std::vector<std::string> commands)
    : m_state(std::make_unique<State>()) {
    m_state->commands = std::move(commands);
}

TfTranslation::~TfTranslation() = default;
TfTranslation::TfTranslation(TfTranslation&&) noexcept = default;
TfTranslation& TfTranslation::operator=(TfTranslation&&) noexcept = default;

bool TfTranslation::step(std::size_t bytes, std::size_t count) {
    State& s = *m_state;
    std::size_t done = 0;
    for (std::size_t n = 0; n < count && done < bytes && s.next < s.commands.size(); ++n, ++s.next) {
        const std::string& command = s.commands[s.next];
        done += command.size();
        if (s.namesRead) {
            s.translate(command);
        } else {
            s.readName(command);
        }
    }
    if (s.next == s.commands.size() && !s.namesRead) {
        s.namesRead = true;
        s.next = 0;
    }
    return !s.namesRead || s.next < s.commands.size();
}

RulesImport TfTranslation::finish() {
    State& s = *m_state;
    // Higher priorities are tried first; equal ones keep the file's order.
    std::stable_sort(s.triggers.begin(), s.triggers.end(),
                     [](const TfTrigger& a, const TfTrigger& b) { return a.priority > b.priority; });
    for (TfTrigger& trigger : s.triggers) {
        s.result.rules.push_back(std::move(trigger.rule));
    }
    s.triggers.clear();
    return std::move(s.result);
}

void TfTranslation::State::readName(const std::string& command) {
    if (lower(command.substr(0, 5)) == "/def ") {
        const TfOptions options = tfOptions(trim(command.substr(5)), "tmpcaPwTEhbBns");
        file.macros.insert(trim(options.rest.substr(0, options.rest.find('='))));
    }
}

void TfTranslation::State::translate(const std::string& command) {
    const std::size_t space = command.find_first_of(" \t");
    const std::string verb = lower(command.substr(0, space));
    const std::string args = space == std::string::npos ? "" : trim(command.substr(space));
    std::string why;
    if (verb == "/def") {
        const TfOptions options = tfOptions(args, "tmpcaPwTEhbBns");
        const std::size_t equals = options.rest.find('=');
        const std::string name = trim(options.rest.substr(0, equals));
        const std::string body = equals == std::string::npos ? "" : trim(options.rest.substr(equals + 1));
        if (options.has('h')) {
            if (const auto lua = tfHook(options.value('h').value_or(""), body, file, why)) {
                ++result.scripted;
                result.script += *lua;
                return;
            }
        } else if (options.has('b')) {
            if (auto key = tfKey(options.value('b').value_or(""), body, file, why)) {
                result.rules.push_back(std::move(*key));
                return;
            }
        } else if (options.has('B')) {
            why = "binds a key by tf's own name for it (-B), which the importer does not read";
        } else if (options.has('t')) {
            if (auto trigger = tfTrigger(options, body, file, why)) {
                trigger->rule.name = name.empty() ? *options.value('t') : name;
                triggers.push_back(std::move(*trigger));
                return;
            }
        } else if (name.empty()) {
            why = "has no name and no trigger";
        } else if (auto macro = tfMacro(name, body, file, why)) {
            result.rules.push_back(std::move(*macro));
            return;
        }
    } else if (verb == "/alias") {
        const std::size_t split = args.find_first_of(" \t");
        if (split != std::string::npos) {
            if (auto alias = tfMacro(args.substr(0, split), trim(args.substr(split)), file, why)) {
                alias->pattern = alias->name = args.substr(0, split);
                result.rules.push_back(std::move(*alias));
                return;
            }
        } else {
            why = "has no expansion";
        }
    } else if (verb == "/gag" || verb == "/hilite") {
        const std::size_t equals = args.find('=');
        std::size_t at = 0;
        const std::string pattern = trim(args.substr(0, equals));
        Rule rule;
        rule.name = pattern;
        if (pattern.empty()) {
            why = "has no pattern";
        } else if (equals != std::string::npos && !trim(args.substr(equals + 1)).empty()) {
            why = "runs a body, which /gag and /hilite here do not";
        } else if (tfPattern(pattern[0] == '"' || pattern[0] == '\'' ? tfValue(pattern, at) : pattern,
                             file.matching, rule, why)) {
            if (verb == "/gag") {
                rule.gag = true;
            } else {
                rule.bold = true;
                rule.colour = Rule::Colour::Line;
            }
            triggers.push_back(TfTrigger{rule, 0});
            return;
        }
    } else if (verb == "/set" && lower(trim(args.substr(0, args.find_first_of("= ")))) == "matching") {
        file.matching = lower(trim(args.substr(args.find_first_of("= ") + 1)));
        return;
    } else if (verb == "/world" || verb == "/addworld") {
        result.skipped.push_back(tfWorld(verb, args));
        return;
    } else if (verb == "/set") {
        // "/set name=value" or "/set name value": a variable kept in vars.
        const std::size_t split = args.find_first_of("= ");
        const std::string name = trim(args.substr(0, split));
        if (split != std::string::npos && luaName(name)) {
            ++result.scripted;
            result.script += import_lua::setVariable(name, args.substr(split + 1));
            return;
        }
        why = "sets no variable a script can name";
    } else if (verb == "/let" || verb == "/setenv") {
        why = "sets a local or environment variable, which lasts only while tf reads the file";
    } else if (verb == "/if" || verb == "/while" || verb == "/test" || verb == "/expr") {
        why = "is a condition or expression, which the importer does not translate yet";
    } else if (verb == "/repeat") {
        if (const auto lua = tfRepeat(args, file, ++repeats, why)) {
            ++result.scripted;
            result.script += *lua;
            return;
        }
    } else if (verb == "/bind") {
        const std::size_t equals = args.find('=');
        if (equals == std::string::npos) {
            why = "has no body";
        } else if (auto key =
                       tfKey(trim(args.substr(0, equals)), trim(args.substr(equals + 1)), file, why)) {
            result.rules.push_back(std::move(*key));
            return;
        }
    } else if (verb == "/sh" || verb == "/quote" || verb == "/sys") {
        why = "runs a program; Corvane never runs programs from an import";
    } else {
        why = "is not a trigger or an alias";
    }
    result.skipped.push_back(shortened(command) + ": " + why);
}

} // namespace import_translation

RulesImport ImportTinyFugue(const std::string& text) {
    import_translation::TfTranslation translation(tfCommands(text));
    while (translation.step(SIZE_MAX, SIZE_MAX)) {
    }
    return translation.finish();
}

} // namespace corvane
