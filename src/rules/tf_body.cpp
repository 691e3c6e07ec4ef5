// TinyFugue macro bodies: their commands, and as Lua.
#include "rules/tf_body.h"

#include "core/text_codec.h"
#include "rules/import_expr.h"
#include "rules/import_text.h"
#include "rules/tf_reader.h"

#include <algorithm>
#include <cctype>

namespace corvane::tf_body {

using namespace import_text;
using tf_reader::skipBlanks;

namespace {

// What a body's "%..." substitution names: "*", "1".."9", "-1".."-9", "L",
// "-L", "P0".."P9", "#", "?", or a variable ("%hp", "%{hp}"); tf reads the
// longest name after the "%", so "%Life" is the variable Life.
struct TfSubstitution {
    std::string name;
    std::size_t length = 0;
};

bool tfNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::optional<TfSubstitution> tfSubstitution(const std::string& body, std::size_t i) {
    if (body[i] != '%' || i + 1 >= body.size()) {
        return std::nullopt;
    }
    if (body[i + 1] == '{') {
        const std::size_t close = body.find('}', i + 2);
        if (close == std::string::npos) {
            return std::nullopt;
        }
        return TfSubstitution{body.substr(i + 2, close - i - 2), close + 1 - i};
    }
    const char c = body[i + 1];
    if (c == '*' || c == '#' || c == '?' || (c >= '0' && c <= '9')) {
        return TfSubstitution{std::string(1, c), 2};
    }
    if (c == '-' && i + 2 < body.size() &&
        ((body[i + 2] >= '0' && body[i + 2] <= '9') || body[i + 2] == 'L')) {
        return TfSubstitution{body.substr(i + 1, 2), 3};
    }
    if (std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_') {
        std::size_t end = i + 1;
        while (end < body.size() && tfNameChar(body[end])) {
            ++end;
        }
        return TfSubstitution{body.substr(i + 1, end - i - 1), end - i};
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<std::string>> tfBodyCommands(const std::string& body, const TfFill& fill,
                                                       const TfLiteral& literal, std::string& why) {
    std::vector<std::string> commands(1);
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\' && i + 1 < body.size()) {
            commands.back() += literal(body[++i]);
        } else if (c == '%' && i + 1 < body.size() && body[i + 1] == ';') {
            commands.emplace_back();
            ++i;
        } else if (c == '%' && i + 1 < body.size() && (body[i + 1] == '%' || body[i + 1] == '\\')) {
            commands.back() += literal(body[++i]);
        } else if (c == '$' && i + 1 < body.size() && body[i + 1] == '$') {
            commands.back() += literal(body[++i]);
        } else if (c == '$' && i + 1 < body.size() && body[i + 1] == '[') {
            // "$[expression]": its value, which only a script can give.
            int depth = 0;
            std::size_t close = i + 1;
            for (; close < body.size(); ++close) {
                depth += body[close] == '[' ? 1 : body[close] == ']' ? -1 : 0;
                if (depth == 0) {
                    break;
                }
            }
            const std::string expression = body.substr(i + 2, close - i - 2);
            const auto filled = close < body.size() && expression.find('%') == std::string::npos
                                    ? fill("$[" + expression)
                                    : std::nullopt;
            if (!filled) {
                why = "uses $[" + Utf8Left(expression, 20) + "], which the importer cannot put here";
                return std::nullopt;
            }
            commands.back() += *filled;
            i = close;
        } else if (c == '$' && i + 1 < body.size() && (body[i + 1] == '(' || body[i + 1] == '{')) {
            why = std::string("uses ") +
                  (body[i + 1] == '(' ? "a command's output $(...)" : "a macro's body ${...}") +
                  ", which the importer does not translate";
            return std::nullopt;
        } else if (const auto substitution = tfSubstitution(body, i)) {
            const auto filled = fill(substitution->name);
            if (!filled) {
                why = "uses %" + (body[i + 1] == '{' ? "{" + substitution->name + "}" : substitution->name) +
                      ", which the importer cannot name here";
                return std::nullopt;
            }
            commands.back() += *filled;
            i += substitution->length - 1;
        } else {
            commands.back() += literal(c);
        }
    }
    return commands;
}

// "/send [-w] [-h] [-n] text" sends text to this world; a command that
// names another macro of the file stays for the aliases; TinyFugue's own
// commands do not come over.
std::optional<std::string> tfSendable(const std::string& command, const std::set<std::string>& macros,
                                      bool aliasesExpand, std::string& why) {
    std::string t = trim(command);
    if (t.empty() || t[0] != '/') {
        return t;
    }
    const std::string verb = lower(t.substr(0, t.find(' ')));
    if (verb == "/send") {
        // Its options take their values attached: "-w" alone is this world.
        std::size_t i = 5;
        for (;;) {
            skipBlanks(t, i);
            if (i + 1 >= t.size() || t[i] != '-' || t[i + 1] == ' ') {
                break;
            }
            const std::size_t end = std::min(t.size(), t.find_first_of(" \t", i));
            if (t[i + 1] == 'w' && end > i + 2) {
                why = "sends to the world " + t.substr(i + 2, end - i - 2) + ", which a rule here cannot";
                return std::nullopt;
            }
            i = end;
        }
        return trim(t.substr(std::min(i, t.size())));
    }
    if (aliasesExpand && macros.count(verb.substr(1)) > 0) {
        return t;
    }
    why = "runs the TinyFugue command " + verb;
    return std::nullopt;
}

// The body's commands as one send, ";" between them; nothing when one cannot be sent.
std::optional<std::string> tfJoinedSends(const std::vector<std::string>& commands,
                                         const std::set<std::string>& macros, std::string& why) {
    std::string joined;
    for (const std::string& command : commands) {
        const auto sent = tfSendable(command, macros, true, why);
        if (!sent) {
            return std::nullopt;
        }
        joined += (joined.empty() ? "" : ";") + *sent;
    }
    return joined;
}

namespace {

// A hook's or timer's body as Lua sends: text and /send go straight to the
// world, /name calls go through the aliases (which hold the file's macros).
std::optional<std::vector<import_lua::Send>> tfScriptSends(const std::string& body, const TfFile& file,
                                                           std::string& why) {
    const auto commands = tfBodyCommands(
        body, [](const std::string&) -> std::optional<std::string> { return std::nullopt; },
        [](char c) { return std::string(1, c); }, why);
    if (!commands) {
        return std::nullopt;
    }
    std::vector<import_lua::Send> sends;
    for (const std::string& command : *commands) {
        const std::string t = trim(command);
        if (t.empty()) {
            continue;
        }
        const bool macro = t[0] == '/' && lower(t.substr(0, 5)) != "/send";
        const auto sent = tfSendable(t, file.macros, true, why);
        if (!sent) {
            return std::nullopt;
        }
        sends.push_back(import_lua::Send{*sent, !macro});
    }
    if (sends.empty()) {
        why = "has no body";
        return std::nullopt;
    }
    return sends;
}

} // namespace

bool luaName(const std::string& name) {
    return !name.empty() && name.size() <= 64 && std::isdigit(static_cast<unsigned char>(name[0])) == 0 &&
           name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") ==
               std::string::npos;
}

namespace {

std::string verbOf(const std::string& command) {
    const std::string t = trim(command);
    return lower(t.substr(0, t.find_first_of(" \t(")));
}

// tf's own substitutions that are no variable: %L, %Pn, %R.
bool tfSpecial(const std::string& name) {
    return name == "L" || name == "R" ||
           (name.size() >= 2 && name[0] == 'P' &&
            name.find_first_not_of("0123456789", 1) == std::string::npos);
}

// The Lua that a body's commands become, one command at a time: /if
// ... /elseif ... /else ... /endif and /while ... /done as Lua's if and
// while, /echo shown, /set and /let as variables (a /let lasts while the
// body runs), /test with := += -= *= /= ++ -- as arithmetic, everything else
// sent.
class TfLua {
public:
    TfLua(const TfFill& own, const TfFile& file, std::set<std::string> lets, std::string& why)
        : own_(own)
        , file_(file)
        , why_(why)
        , locals_(std::move(lets)) {}

    std::optional<std::string> value(const std::string& name) {
        if (startsWith(name, "$[")) {
            return import_expr::value(name.substr(2), import_expr::Dialect::TinyFugue, names(), why_);
        }
        if (auto mine = own_(name)) {
            return mine;
        }
        if (!luaName(name) || tfSpecial(name)) {
            return std::nullopt;
        }
        return locals_.count(name) > 0 ? "l_" + name : "vars[" + import_lua::quote(name) + "]";
    }

    bool command(std::string command) {
        command = trim(command);
        while (!command.empty()) {
            const std::string verb = verbOf(command);
            const std::string rest = trim(command.substr(verb.size()));
            const std::string current = command;
            command.clear();
            if (verb == "/if" || verb == "/elseif" || verb == "/while") {
                if (!condition(verb, rest, command)) {
                    return false;
                }
            } else if (verb == "/then" || verb == "/do") {
                command = rest;
            } else if (verb == "/else") {
                if (blocks_.empty() || blocks_.back() != 'i') {
                    return fail("has /else without /if");
                }
                out_ += "else\n";
                command = rest;
            } else if (verb == "/endif" || verb == "/done") {
                const char block = verb == "/endif" ? 'i' : 'w';
                if (blocks_.empty() || blocks_.back() != block || !rest.empty()) {
                    return fail(!rest.empty() ? "has more after " + verb
                                              : "has " + verb + " without its start");
                }
                blocks_.pop_back();
                out_ += "end\n";
            } else if (verb == "/break") {
                if (std::find(blocks_.begin(), blocks_.end(), 'w') == blocks_.end() || !rest.empty()) {
                    return fail("has /break outside /while, which the importer does not translate");
                }
                out_ += "break\n";
            } else if (verb == "/echo") {
                // A "-" or "--" by itself ends tf's options: what follows is the text.
                std::string text = rest;
                for (const char* end : {"-- ", "- "}) {
                    if (text.rfind(end, 0) == 0 || text + " " == end) {
                        text = text.substr(std::min(text.size(), std::string(end).size()));
                        break;
                    }
                }
                if (text.size() == rest.size() && !rest.empty() && rest[0] == '-') {
                    return fail("echoes with options (" + rest.substr(0, rest.find(' ')) +
                                "), which the importer does not translate");
                }
                out_ += "echo(" + import_lua::concat(text) + ")\n";
            } else if (verb == "/set" || verb == "/let") {
                if (!assign(verb, rest)) {
                    return false;
                }
            } else if (verb == "/test") {
                if (!test(rest)) {
                    return false;
                }
            } else {
                const auto sent = tfSendable(current, file_.macros, true, why_);
                if (!sent) {
                    return false;
                }
                if (!sent->empty()) {
                    const bool macro = verb[0] == '/' && verb != "/send";
                    out_ += "send(" + import_lua::concat(*sent) + (macro ? ")\n" : ", {raw=true})\n");
                }
            }
        }
        return true;
    }

    std::optional<std::string> finish() {
        if (!blocks_.empty()) {
            fail(blocks_.back() == 'i' ? "has /if without its /endif" : "has /while without its /done");
            return std::nullopt;
        }
        std::string declared;
        for (const std::string& name : locals_) {
            declared += "local l_" + name + "\n";
        }
        const std::string body = declared + out_;
        return import_expr::helpersFor(body) + body;
    }

private:
    bool fail(const std::string& why) {
        why_ = why;
        return false;
    }

    import_expr::Names names() {
        return [this](const std::string& name) { return value(name); };
    }

    bool condition(const std::string& verb, const std::string& rest, std::string& after) {
        std::size_t close = 0;
        int open = 0;
        for (; close < rest.size(); ++close) {
            open += rest[close] == '(' ? 1 : rest[close] == ')' ? -1 : 0;
            if (open == 0) {
                break;
            }
        }
        if (rest.empty() || rest[0] != '(' || close >= rest.size()) {
            return fail("has " + verb + " without its (condition)");
        }
        if (verb == "/elseif" && (blocks_.empty() || blocks_.back() != 'i')) {
            return fail("has /elseif without /if");
        }
        const auto test =
            import_expr::condition(rest.substr(1, close - 1), import_expr::Dialect::TinyFugue, names(), why_);
        if (!test) {
            return false;
        }
        if (verb == "/while") {
            // tf stops a loop after %max_iter (1000) rounds with an error.
            blocks_.push_back('w');
            const std::string count = "_i" + std::to_string(++loops_);
            out_ += "local " + count + " = 0\nwhile " + *test + " do\n" + count + " = " + count +
                    " + 1\nif " + count + " > 1000 then error(\"/while: too many iterations\", 0) end\n";
        } else {
            if (verb == "/if") {
                blocks_.push_back('i');
            }
            out_ += (verb == "/if" ? "if " : "elseif ") + *test + " then\n";
        }
        after = trim(rest.substr(close + 1));
        return true;
    }

    // "/set name=value", "/set name value", "/let name=value".
    bool assign(const std::string& verb, const std::string& rest) {
        const std::size_t split = rest.find_first_of("= ");
        const std::string name = trim(rest.substr(0, split));
        if (split == std::string::npos || !luaName(name) || tfSpecial(name)) {
            return fail(verb + " sets no variable a script can name");
        }
        out_ += *value(name) + " = " + import_lua::concat(rest.substr(split + 1)) + "\n";
        return true;
    }

    // "/test name := expression", "name += n" and the like, "++name",
    // "--name"; other tests change nothing a rule can show.
    bool test(const std::string& rest) {
        std::string name;
        std::string expression;
        if (startsWith(rest, "++") || startsWith(rest, "--")) {
            name = trim(rest.substr(2));
            expression = name + " " + rest[0] + " 1";
        } else {
            for (const char* op : {":=", "+=", "-=", "*=", "/="}) {
                const std::size_t at = rest.find(op);
                if (at != std::string::npos) {
                    name = trim(rest.substr(0, at));
                    expression = op[0] == ':' ? rest.substr(at + 2)
                                              : name + " " + op[0] + " (" + rest.substr(at + 2) + ")";
                    break;
                }
            }
        }
        if (!luaName(name) || tfSpecial(name)) {
            return fail(
                "has /test without an assignment to a variable, which the importer does not translate");
        }
        std::string written;
        for (std::size_t i = 0; i < expression.size(); ++i) {
            if (expression[i] == import_lua::kOpen) {
                i = expression.find(import_lua::kClose, i);
            } else {
                written += expression[i];
            }
        }
        if (written.find('.') != std::string::npos) {
            return fail("counts with decimals, which tf writes its own way; the importer does not");
        }
        const auto lua = import_expr::number(expression, import_expr::Dialect::TinyFugue, names(), why_);
        if (!lua) {
            return false;
        }
        out_ += *value(name) + " = " + *lua + "\n";
        return true;
    }

    const TfFill& own_;
    const TfFile& file_;
    std::string& why_;
    std::set<std::string> locals_;
    std::string out_;
    // The open /if ('i') and /while ('w') blocks, innermost last.
    std::string blocks_;
    int loops_ = 0;
};

} // namespace

bool tfNeedsLua(const std::string& body, const TfFill& own,
                const std::function<bool(const std::string&)>& luaOnly) {
    bool variables = false;
    std::string why;
    const auto commands = tfBodyCommands(
        body,
        [&](const std::string& name) -> std::optional<std::string> {
            variables = variables || startsWith(name, "$[") || (luaOnly && luaOnly(name)) ||
                        (!own(name) && luaName(name) && !tfSpecial(name));
            return std::string();
        },
        [](char c) { return std::string(1, c); }, why);
    if (variables) {
        return true;
    }
    for (const std::string& command : commands.value_or(std::vector<std::string>{})) {
        const std::string verb = verbOf(command);
        if (verb == "/if" || verb == "/while" || verb == "/echo" || verb == "/set" || verb == "/let" ||
            verb == "/test") {
            return true;
        }
    }
    return false;
}

std::optional<std::string> tfBodyLua(const std::string& body, const TfFill& own, const TfFile& file,
                                     std::string& why) {
    if (body.find_first_of(std::string{import_lua::kOpen, import_lua::kClose}) != std::string::npos) {
        why = "has control characters in its body";
        return std::nullopt;
    }
    // The body's substitutions are made before its commands run, so the
    // names it /lets are found first.
    std::set<std::string> lets;
    const auto plain = tfBodyCommands(
        body, [](const std::string&) -> std::optional<std::string> { return std::string(); },
        [](char c) { return std::string(1, c); }, why);
    for (const std::string& command : plain.value_or(std::vector<std::string>{})) {
        if (verbOf(command) == "/let") {
            const std::string rest = trim(trim(command).substr(4));
            const std::string name = trim(rest.substr(0, rest.find_first_of("= ")));
            if (luaName(name)) {
                lets.insert(name);
            }
        }
    }
    TfLua lua(own, file, lets, why);
    const auto commands = tfBodyCommands(
        body,
        [&](const std::string& name) -> std::optional<std::string> {
            const auto value = lua.value(name);
            return value ? std::optional<std::string>(import_lua::marked(*value)) : std::nullopt;
        },
        [](char c) { return std::string(1, c); }, why);
    if (!commands) {
        return std::nullopt;
    }
    for (const std::string& command : *commands) {
        if (!lua.command(command)) {
            return std::nullopt;
        }
    }
    return lua.finish();
}

std::optional<std::string> tfScriptLua(const std::string& body, const TfFile& file, std::string& why) {
    const TfFill none = [](const std::string&) -> std::optional<std::string> { return std::nullopt; };
    if (tfNeedsLua(body, none)) {
        return tfBodyLua(body, none, file, why);
    }
    const auto sends = tfScriptSends(body, file, why);
    return sends ? std::optional<std::string>(import_lua::sends(*sends)) : std::nullopt;
}

} // namespace corvane::tf_body
