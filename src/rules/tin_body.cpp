// TinTin++ bodies: as a rule sends them, and as Lua.
#include "rules/tin_body.h"

#include "core/text_codec.h"
#include "rules/import_expr.h"
#include "rules/import_text.h"
#include "rules/tin_reader.h"

#include <cctype>

namespace corvane::tin_body {

using namespace import_text;
using namespace tin_reader;

// One command of a body as sent: "#send {x}" is x, "#nop" nothing; other
// TinTin++ commands, variables and functions do not come over.
std::optional<std::string> tinSendable(const std::string& command, std::string& why) {
    std::string name;
    std::size_t i = 1;
    if (command[0] == '#') {
        while (i < command.size() && std::isalpha(static_cast<unsigned char>(command[i])) != 0) {
            name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(command[i]))));
            ++i;
        }
        if (tinIs(name, "nop", 3)) {
            return std::string();
        }
        if (!tinIs(name, "send", 4)) {
            why = "runs the TinTin++ command #" + name;
            return std::nullopt;
        }
        std::string text = trim(command.substr(i));
        if (text.size() >= 2 && text.front() == '{' && text.back() == '}') {
            text = text.substr(1, text.size() - 2);
        }
        return text;
    }
    // "$name" and "${name}" are variables, "@name{...}" a function call.
    for (std::size_t k = 0; k + 1 < command.size(); ++k) {
        if (command[k] != '$' && command[k] != '@') {
            continue;
        }
        std::size_t end = k + 1;
        while (end < command.size() &&
               (std::isalnum(static_cast<unsigned char>(command[end])) != 0 || command[end] == '_' ||
                (command[k] == '$' && command[end] == '{') || (command[k] == '$' && command[end] == '}'))) {
            ++end;
        }
        const bool variable =
            command[k] == '$' && end > k + 1 && std::isdigit(static_cast<unsigned char>(command[k + 1])) == 0;
        const bool function = command[k] == '@' && end > k + 1 && end < command.size() && command[end] == '{';
        if (variable || function) {
            why = "uses the " + std::string(variable ? "variable " : "function ") +
                  command.substr(k, end - k) + ", which the importer does not put in a rule yet";
            return std::nullopt;
        }
    }
    return command;
}

namespace {

// A ticker's, delay's or event's commands as Lua sends, through the aliases
// as TinTin++ runs them.
std::optional<std::vector<import_lua::Send>> tinScriptSends(const std::string& body, std::string& why) {
    std::vector<import_lua::Send> sends;
    for (const std::string& command : tinBodyCommands(body)) {
        const auto sent = tinSendable(command, why);
        if (!sent) {
            return std::nullopt;
        }
        if (!sent->empty()) {
            sends.push_back(import_lua::Send{*sent, false});
        }
    }
    if (sends.empty()) {
        why = "has no commands";
        return std::nullopt;
    }
    return sends;
}

} // namespace

std::optional<std::string> tinCommandsOf(const std::string& body, bool trigger, std::string& why) {
    std::string out;
    for (const std::string& command : tinBodyCommands(body)) {
        const auto sent = tinSendable(command, why);
        if (!sent) {
            return std::nullopt;
        }
        if (sent->empty()) {
            continue;
        }
        std::string filled;
        for (std::size_t i = 0; i < sent->size(); ++i) {
            const char c = (*sent)[i];
            if (trigger && c == '%' && i + 1 < sent->size() &&
                std::isdigit(static_cast<unsigned char>((*sent)[i + 1])) != 0) {
                if (i + 2 < sent->size() && std::isdigit(static_cast<unsigned char>((*sent)[i + 2])) != 0) {
                    why = "uses %" + Utf8Left(std::string_view(*sent).substr(i + 1), 2) + "; a rule here names groups 0 to 9";
                    return std::nullopt;
                }
                filled += "$";
                filled.push_back((*sent)[++i]);
            } else if (trigger && c == '$') {
                filled += "$$";
            } else if (c == '\\' && i + 1 < sent->size()) {
                filled.push_back((*sent)[++i]);
            } else {
                filled.push_back(c);
            }
        }
        out += (out.empty() ? "" : ";") + filled;
    }
    return out;
}

namespace {

bool wordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// Text with "$name", "${name}" and %0..%9 as marked Lua values (see
// import_lua::marked); "\c" is c.
class TinLua {
public:
    TinLua(bool trigger, std::string& why)
        : trigger_(trigger)
        , why_(why) {}

    std::optional<std::string> marked(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\\' && i + 1 < text.size()) {
                out.push_back(text[++i]);
            } else if (c == '%' && i + 1 < text.size() &&
                       std::isdigit(static_cast<unsigned char>(text[i + 1])) != 0) {
                if (i + 2 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 2])) != 0) {
                    return fail("uses %" + Utf8Left(std::string_view(text).substr(i + 1), 2) + "; a rule here names groups 0 to 9");
                }
                const auto value = argument(text[++i] - '0');
                if (!value) {
                    return std::nullopt;
                }
                out += import_lua::marked(*value);
            } else if (c == '$' && i + 1 < text.size() &&
                       (text[i + 1] == '{' || std::isalpha(static_cast<unsigned char>(text[i + 1])) != 0 ||
                        text[i + 1] == '_')) {
                std::size_t start = i + 1;
                std::size_t end = start;
                if (text[start] == '{') {
                    end = text.find('}', start);
                    if (end == std::string::npos) {
                        return fail("has an unclosed ${");
                    }
                    ++start;
                } else {
                    while (end < text.size() && wordChar(text[end])) {
                        ++end;
                    }
                }
                const std::size_t after = text[i + 1] == '{' ? end + 1 : end;
                if (after < text.size() && text[after] == '[') {
                    return fail("reads the nested variable " + text.substr(i, after - i) +
                                "[...], which the importer does not translate");
                }
                out += import_lua::marked("vars[" + import_lua::quote(text.substr(start, end - start)) + "]");
                i = after - 1;
            } else if (c == '@' && i + 1 < text.size() && wordChar(text[i + 1])) {
                std::size_t end = i + 1;
                while (end < text.size() && wordChar(text[end])) {
                    ++end;
                }
                if (end < text.size() && text[end] == '{') {
                    return fail("uses the function " + text.substr(i, end - i) +
                                ", which the importer does not put in a rule yet");
                }
                out.push_back(c);
            } else {
                out.push_back(c);
            }
        }
        return out;
    }

    // A body's commands, nested bodies of #if as deep as 8.
    std::optional<std::string> body(const std::string& body, int depth) {
        if (depth > 8) {
            return fail("nests #if deeper than the importer follows");
        }
        std::string out;
        bool lastWasIf = false;
        const std::vector<std::string> commands = tinBodyCommands(body);
        for (const std::string& command : commands) {
            const bool last = depth == 0 && &command == &commands.back();
            const std::vector<TinCommand> parsed = tinCommands(command);
            const std::string name = command[0] == '#' && !parsed.empty() ? parsed[0].name : std::string();
            const std::vector<std::string> args =
                parsed.empty() ? std::vector<std::string>{} : parsed[0].args;
            const bool elseif = tinIs(name, "elseif", 5);
            if (elseif || tinIs(name, "if", 2)) {
                if (args.size() < 2 || (elseif && !lastWasIf)) {
                    return fail(elseif ? "has #elseif without #if"
                                       : "has #if without its {condition} {commands}");
                }
                const auto test = condition(args[0]);
                const auto then = test ? this->body(args[1], depth + 1) : std::nullopt;
                const auto otherwise = !then             ? std::nullopt
                                       : args.size() > 2 ? this->body(args[2], depth + 1)
                                                         : std::optional<std::string>("");
                if (!otherwise) {
                    return std::nullopt;
                }
                if (elseif) {
                    out.resize(out.size() - 4); // the "end\n" of the #if before
                }
                out += (elseif ? "elseif " : "if ") + *test + " then\n" + *then +
                       (otherwise->empty() ? "" : "else\n" + *otherwise) + "end\n";
                lastWasIf = args.size() < 3;
                continue;
            }
            if (tinIs(name, "else", 4)) {
                if (!lastWasIf) {
                    return fail("has #else without #if");
                }
                const auto otherwise =
                    args.empty() ? fail("has #else without its {commands}") : this->body(args[0], depth + 1);
                if (!otherwise) {
                    return std::nullopt;
                }
                out.resize(out.size() - 4);
                out += "else\n" + *otherwise + "end\n";
                lastWasIf = false;
                continue;
            }
            lastWasIf = false;
            if (tinIs(name, "loop", 3) || tinIs(name, "foreach", 4)) {
                const auto lua = loop(tinIs(name, "loop", 3), args, depth);
                if (!lua) {
                    return std::nullopt;
                }
                out += *lua;
                continue;
            }
            const auto lua = one(command, name, args, last && appendRest_);
            if (!lua) {
                return std::nullopt;
            }
            out += *lua;
        }
        return out;
    }

private:
    // "#loop {start} {finish} {variable} {commands}", counting up or down by
    // one; "#foreach {a;b;c} {variable} {commands}". Each sets the variable,
    // as tt++ does, before its commands run.
    std::optional<std::string> loop(bool counted, const std::vector<std::string>& args, int depth) {
        const std::size_t count = counted ? 4 : 3;
        if (args.size() != count) {
            return fail(counted ? "has #loop without its {start} {finish} {variable} {commands}"
                                : "has #foreach without its {list} {variable} {commands}");
        }
        const auto target = variableName(args[count - 2]);
        const auto inner = target ? body(args[count - 1], depth + 1) : std::nullopt;
        if (!inner) {
            return std::nullopt;
        }
        if (!counted) {
            if (args[0].find('{') != std::string::npos) {
                return fail("has #foreach over a {braced} list, which the importer does not translate");
            }
            const auto list = marked(args[0]);
            return list ? std::optional<std::string>("for _v in (" + import_lua::concat(*list) +
                                                     " .. \";\"):gmatch(\"([^;]*);\") do\n" + *target +
                                                     " = _v\n" + *inner + "end\n")
                        : std::nullopt;
        }
        std::string bounds[2];
        for (int i = 0; i < 2; ++i) {
            const auto filled = marked(args[static_cast<std::size_t>(i)]);
            const auto value = filled ? import_expr::number(
                                            *filled, import_expr::Dialect::TinTin,
                                            [](const std::string&) { return std::optional<std::string>(); }, why_)
                                      : std::nullopt;
            if (!value) {
                return std::nullopt;
            }
            bounds[i] = *value;
        }
        return "do\nlocal _a, _b = " + bounds[0] + ", " + bounds[1] + "\nfor _v = _a, _b, _a <= _b and 1 or -1 do\n" +
               *target + " = _v\n" + *inner + "end\nend\n";
    }

    std::nullopt_t fail(const std::string& why) {
        why_ = why;
        return std::nullopt;
    }

    // %N: the action's group N, or the alias's word N (%0 all of them).
    std::optional<std::string> argument(int n) {
        if (script_) {
            return fail("uses %" + std::to_string(n) + " where nothing gives it a value");
        }
        if (!trigger_ && n == 0) {
            return std::string("matches.rest");
        }
        return "matches[" + std::to_string(n) + "]";
    }

    std::optional<std::string> condition(const std::string& text) {
        const auto filled = marked(text);
        if (!filled) {
            return std::nullopt;
        }
        return import_expr::condition(
            *filled, import_expr::Dialect::TinTin,
            [](const std::string&) { return std::optional<std::string>(); }, why_);
    }

    std::optional<std::string> variableName(const std::string& name) {
        if (name.empty() || name.size() > 64 ||
            name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") !=
                std::string::npos) {
            return fail("sets the variable {" + name + "}, which is not a plain name");
        }
        return "vars[" + import_lua::quote(name) + "]";
    }

    // One command that is not #if or #else.
    std::optional<std::string> one(const std::string& command, const std::string& name,
                                   const std::vector<std::string>& args, bool withRest) {
        const auto arg = [&](std::size_t i) { return i < args.size() ? args[i] : std::string(); };
        if (tinIs(name, "showme", 4)) {
            const std::string text = arg(0);
            for (std::size_t i = 0; i + 4 < text.size(); ++i) {
                if (text[i] == '<' && text[i + 4] == '>') {
                    return fail("shows text in colours (" + Utf8Left(std::string_view(text).substr(i), 5) +
                                "), which the importer does not translate");
                }
            }
            const auto shown = marked(text);
            return shown ? std::optional<std::string>("echo(" + import_lua::concat(*shown) + ")\n")
                         : std::nullopt;
        }
        if (tinIs(name, "line", 4) && lower(arg(0)) == "gag" && args.size() == 1) {
            if (!trigger_) {
                return fail("gags a line where there is none");
            }
            return std::string("gag()\n");
        }
        if (tinIs(name, "variable", 3)) {
            const auto target = variableName(arg(0));
            const auto value = target ? marked(arg(1)) : std::nullopt;
            if (!value) {
                return std::nullopt;
            }
            if (arg(1).find('{') != std::string::npos) {
                return fail("sets a variable to a table, which the importer does not translate");
            }
            return *target + " = " + import_lua::concat(*value) + "\n";
        }
        if (tinIs(name, "math", 3)) {
            const auto target = variableName(arg(0));
            const auto filled = target ? marked(arg(1)) : std::nullopt;
            if (!filled) {
                return std::nullopt;
            }
            if (filled->find('.') != std::string::npos) {
                return fail("counts with decimals, which tt++ shows to as many places as it was given; the "
                            "importer does not");
            }
            const auto value = import_expr::number(
                *filled, import_expr::Dialect::TinTin,
                [](const std::string&) { return std::optional<std::string>(); }, why_);
            return value ? std::optional<std::string>(*target + " = " + *value + "\n") : std::nullopt;
        }
        std::string text = command;
        if (!name.empty() || command[0] == '#') {
            const auto sent = tinSendable(command, why_);
            if (!sent) {
                return std::nullopt;
            }
            text = *sent;
        }
        if (text.empty()) {
            return std::string();
        }
        const auto filled = marked(text);
        if (!filled) {
            return std::nullopt;
        }
        // What was typed after an alias that names no %N goes after its
        // last command, as tt++ adds it.
        const std::string rest =
            withRest && name.empty() ? " .. (matches.rest ~= \"\" and \" \" .. matches.rest or \"\")" : "";
        return "send(" + import_lua::concat(*filled) + rest + (trigger_ ? ", {raw=true})\n" : ")\n");
    }

public:
    // A ticker's, delay's or event's body: no arguments, sent through the aliases.
    bool script_ = false;
    // An alias whose body names no %N: the words typed go after it.
    bool appendRest_ = false;

private:
    bool trigger_;
    std::string& why_;
};

} // namespace

bool tinNeedsLua(const std::string& body) {
    for (std::size_t i = 0; i + 1 < body.size(); ++i) {
        if (body[i] == '$' &&
            (body[i + 1] == '{' || std::isalpha(static_cast<unsigned char>(body[i + 1])) != 0 ||
             body[i + 1] == '_')) {
            return true;
        }
    }
    for (const std::string& command : tinBodyCommands(body)) {
        const std::string word = ToLowerAscii(command.substr(0, command.find_first_of(" \t{")));
        const std::string name = word.empty() || word[0] != '#' ? std::string() : word.substr(1);
        if (tinIs(name, "if", 2) || tinIs(name, "showme", 4) || tinIs(name, "math", 3) ||
            tinIs(name, "variable", 3) || tinIs(name, "loop", 3) || tinIs(name, "foreach", 4) ||
            (tinIs(name, "line", 4) && ToLowerAscii(command).find("gag") != std::string::npos)) {
            return true;
        }
    }
    return false;
}

namespace {

std::optional<std::string> tinLua(const std::string& body, bool trigger, bool script, std::string& why) {
    if (body.find_first_of(std::string{import_lua::kOpen, import_lua::kClose}) != std::string::npos) {
        why = "has control characters in its body";
        return std::nullopt;
    }
    TinLua lua(trigger, why);
    lua.script_ = script;
    bool names = false;
    for (std::size_t i = 0; i + 1 < body.size(); ++i) {
        names = names || (body[i] == '%' && std::isdigit(static_cast<unsigned char>(body[i + 1])) != 0);
    }
    lua.appendRest_ = !trigger && !script && !names;
    const auto out = lua.body(body, 0);
    return out ? std::optional<std::string>(import_expr::helpersFor(*out) + *out) : std::nullopt;
}

} // namespace

std::optional<std::string> tinRuleLua(const std::string& body, bool trigger, std::string& why) {
    return tinLua(body, trigger, false, why);
}

std::optional<std::string> tinScriptLua(const std::string& body, std::string& why) {
    if (tinNeedsLua(body)) {
        return tinLua(body, false, true, why);
    }
    const auto sends = tinScriptSends(body, why);
    return sends ? std::optional<std::string>(import_lua::sends(*sends)) : std::nullopt;
}

} // namespace corvane::tin_body
