#include "script/client_commands.h"

#include "core/session.h"
#include "core/text_codec.h"
#include "rules/rule_book.h"
#include "rules/rules_file.h"
#include "script/script_api.h"
#include "script/script_system.h"

#include <cstdio>

namespace corvane {

namespace {

constexpr int kMaxDepth = 10;
constexpr const char* kCommandList =
    "set, unset, vars, echo, send, repeat, after, timers, cancel, alias, trigger, gag, highlight, lua, load, if";

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The next argument: a {braced} group (nesting kept) or a word; `rest` keeps what follows.
std::string nextArgument(std::string& rest) {
    rest = trim(rest);
    if (rest.empty()) {
        return {};
    }
    std::string argument;
    if (rest.front() == '{') {
        int depth = 0;
        std::size_t i = 0;
        for (; i < rest.size(); ++i) {
            if (rest[i] == '{') {
                ++depth;
            } else if (rest[i] == '}' && --depth == 0) {
                break;
            }
        }
        argument = rest.substr(1, i - 1);
        rest = i < rest.size() ? rest.substr(i + 1) : std::string();
    } else {
        const std::size_t end = rest.find_first_of(" \t");
        argument = rest.substr(0, end);
        rest = end == std::string::npos ? std::string() : rest.substr(end);
    }
    rest = trim(rest);
    return argument;
}

// The rest of the line as one argument: a single {braced} group loses its braces.
std::string lastArgument(const std::string& rest) {
    std::string copy = trim(rest);
    if (!copy.empty() && copy.front() == '{') {
        std::string inner = copy;
        std::string argument = nextArgument(inner);
        if (inner.empty()) {
            return argument;
        }
    }
    return copy;
}

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0';
}

} // namespace

std::string LuaQuote(const std::string& text) {
    std::string quoted = "\"";
    for (const unsigned char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03u", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

std::vector<std::string> ClientCommands::expand(const std::string& typed) {
    return line(typed, 0);
}

std::vector<std::string> ClientCommands::line(const std::string& typed, int depth) {
    const std::string prefix = m_services.prefix ? m_services.prefix() : std::string();
    // An MCP line ("#$#", "#$\"") is never a command.
    if (prefix.empty() || !typed.starts_with(prefix) || typed.starts_with("#$")) {
        return m_services.next.expand(typed);
    }
    if (typed.starts_with(prefix + prefix)) {
        return m_services.next.expand(typed.substr(prefix.size()));
    }
    std::string rest = typed.substr(prefix.size());
    std::string name = nextArgument(rest);
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return run(name, rest, depth);
}

std::vector<std::string> ClientCommands::run(const std::string& name, const std::string& rest, int depth) {
    const std::string prefix = m_services.prefix();
    auto& echo = m_services.echo;
    ScriptSystem& scripts = m_services.scripts;
    const auto needsWorld = [&]() {
        if (scripts.world() == nullptr) {
            echo("*** " + prefix + name + " needs a connected world");
            return false;
        }
        return true;
    };
    std::string args = rest;
    if (name == "echo") {
        echo(lastArgument(rest));
    } else if (name == "send") {
        return {lastArgument(rest)};
    } else if (name == "lua") {
        scripts.runLua(rest, "input");
    } else if (name == "set") {
        const std::string var = nextArgument(args);
        if (var.empty() || !needsWorld()) {
            if (var.empty()) {
                echo("*** Usage: " + prefix + "set NAME VALUE");
            }
            return {};
        }
        scripts.world()->setVariable(var, lastArgument(args));
        if (lastArgument(args).empty()) {
            scripts.world()->setVariable(var, "\"\"");
        }
    } else if (name == "unset") {
        if (needsWorld()) {
            scripts.world()->setVariable(nextArgument(args), "");
        }
    } else if (name == "vars") {
        if (needsWorld()) {
            const auto variables = scripts.world()->variables();
            echo(variables.empty() ? "*** No variables" : "*** Variables:");
            for (const auto& [var, value] : variables) {
                echo(var + " = " + value);
            }
        }
    } else if (name == "after" || name == "repeat") {
        double seconds = 0;
        double count = 1;
        const std::string secondsText = nextArgument(args);
        const std::string countText = name == "repeat" ? nextArgument(args) : std::string("1");
        const std::string command = lastArgument(args);
        if (!number(secondsText, seconds) || !number(countText, count) || count < 1 || command.empty()) {
            echo("*** Usage: " + prefix + (name == "after" ? "after SECONDS COMMAND" : "repeat SECONDS COUNT COMMAND"));
            return {};
        }
        if (!needsWorld()) {
            return {};
        }
        const std::string send = "send(" + LuaQuote(command) + ")";
        if (name == "after") {
            scripts.runLua("after(" + secondsText + ", function() " + send + " end)", prefix + name);
        } else {
            scripts.runLua("do local n = " + countText + " local h h = every(" + secondsText + ", function() " +
                               send + " n = n - 1 if n <= 0 then h.cancel() end end) end",
                           prefix + name);
        }
    } else if (name == "timers") {
        if (needsWorld()) {
            const auto timers = scripts.world()->timers();
            echo(timers.empty() ? "*** No timers" : "*** Timers:");
            for (const WorldScript::TimerInfo& timer : timers) {
                char seconds[32];
                std::snprintf(seconds, sizeof seconds, "%g", timer.seconds);
                echo(std::to_string(timer.handle) + " " + (timer.name.empty() ? "-" : timer.name) + " " +
                     (timer.repeating ? "every " : "after ") + seconds + " s");
            }
        }
    } else if (name == "cancel") {
        const std::string which = lastArgument(rest);
        if (!needsWorld()) {
            return {};
        }
        bool found = false;
        for (const WorldScript::TimerInfo& timer : scripts.world()->timers()) {
            if (timer.name == which || std::to_string(timer.handle) == which) {
                scripts.world()->cancelTimer(timer.handle);
                found = true;
            }
        }
        if (!found) {
            echo("*** No timer " + which);
        }
    } else if (name == "alias" || name == "trigger" || name == "gag" || name == "highlight") {
        addRule(name != "alias", name == "gag" ? "{" + lastArgument(rest) + "} {gag}" :
                                     name == "highlight" ? rest + "\x01" : rest, prefix + name);
    } else if (name == "load") {
        m_services.load(lastArgument(rest), echo);
    } else if (name == "if") {
        std::string tail = trim(rest);
        std::string condition;
        if (!tail.empty() && (tail.front() == '(' || tail.front() == '{')) {
            const char open = tail.front();
            const char close = open == '(' ? ')' : '}';
            int level = 0;
            std::size_t i = 0;
            for (; i < tail.size(); ++i) {
                level += tail[i] == open ? 1 : tail[i] == close ? -1 : 0;
                if (level == 0) {
                    break;
                }
            }
            condition = tail.substr(1, i - 1);
            tail = i < tail.size() ? trim(tail.substr(i + 1)) : std::string();
        }
        if (condition.empty() || tail.empty()) {
            echo("*** Usage: " + prefix + "if (EXPRESSION) COMMAND");
            return {};
        }
        if (!needsWorld()) {
            return {};
        }
        const std::optional<bool> holds = scripts.world()->test(condition);
        if (holds.value_or(false) && depth < kMaxDepth) {
            return line(lastArgument(tail), depth + 1);
        }
    } else {
        echo("*** Unknown command " + prefix + name + " (" + kCommandList + "); " + prefix + prefix +
             " sends a line that starts with " + prefix);
    }
    return {};
}

void ClientCommands::addRule(bool trigger, const std::string& rest, const std::string& command) {
    std::string args = rest;
    const bool highlight = !args.empty() && args.back() == '\x01';
    if (highlight) {
        args.pop_back();
    }
    const std::string pattern = nextArgument(args);
    const std::string body = lastArgument(args);
    RuleBook& book = m_services.book;
    if (pattern.empty()) {
        std::size_t shown = 0;
        for (const Rule& rule : book.rules()) {
            if ((rule.kind == Rule::Kind::Trigger) == trigger) {
                m_services.echo(rule.pattern + " -> " + (rule.script.empty() ? rule.send : rule.script));
                ++shown;
            }
        }
        if (shown == 0) {
            m_services.echo(trigger ? "*** No triggers" : "*** No aliases");
        }
        return;
    }
    Rule rule;
    rule.kind = trigger ? Rule::Kind::Trigger : Rule::Kind::Alias;
    rule.pattern = pattern;
    rule.name = pattern;
    if (highlight) {
        const std::optional<Rgb> colour = ScriptColour(body.empty() ? "yellow" : body);
        if (!colour) {
            m_services.echo("*** " + command + ": \"" + body + "\" is not a colour");
            return;
        }
        rule.colour = Rule::Colour::Match;
        rule.foreground = colour;
    } else if (trigger && body == "gag") {
        rule.gag = true;
    } else if (body.empty()) {
        m_services.echo("*** Usage: " + command + " {PATTERN} {COMMANDS}");
        return;
    } else {
        rule.send = body;
    }
    // The same pattern made again replaces the rule.
    for (std::size_t i = 0; i < book.size(); ++i) {
        const Rule& old = book.rule(i);
        if (old.kind == rule.kind && old.pattern == rule.pattern && old.world.empty() && old.source.empty()) {
            book.replace(i, rule);
            m_services.echo("*** " + std::string(trigger ? "Trigger " : "Alias ") + pattern + " changed");
            return;
        }
    }
    book.insert(book.size(), rule);
    m_services.echo("*** " + std::string(trigger ? "Trigger " : "Alias ") + pattern + " added");
}

} // namespace corvane
