// Reading TinTin++ files into commands.
#include "rules/tin_reader.h"

#include "rules/import_text.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace corvane::tin_reader {

using namespace import_text;

namespace {

// The file as one text of commands: inside braces a line end goes with the
// next line's indentation (a line that does not end a command gets the ";"
// it leaves out), a brace that opens the next line goes on with the command
// before it, and /* */ comments and blank lines go.
std::string tinJoined(const std::string& text) {
    std::string out;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const std::size_t close = text.find("*/", i + 2);
            i = close == std::string::npos ? text.size() : close + 1;
            continue;
        }
        if (c == '\r') {
            continue;
        }
        if (c != '\n') {
            depth += c == '{' ? 1 : c == '}' ? -1 : 0;
            depth = std::max(depth, 0);
            out.push_back(c);
            continue;
        }
        std::size_t next = i + 1;
        while (next < text.size() &&
               (text[next] == ' ' || text[next] == '\t' || text[next] == '\r' || text[next] == '\n')) {
            ++next;
        }
        const char following = next < text.size() ? text[next] : '\0';
        while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) {
            out.pop_back();
        }
        const char last = out.empty() ? '\0' : out.back();
        if (depth == 0 && following != '{') {
            out.push_back('\n');
        } else if (depth > 0 && last != ';' && last != '{' && following != '}' && following != '\0') {
            out.push_back(';');
        }
        i = next - 1;
    }
    return out;
}

} // namespace

std::vector<TinCommand> tinCommands(const std::string& file) {
    const std::string text = tinJoined(file);
    std::vector<TinCommand> commands;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == ';')) {
            ++i;
        }
        if (i >= text.size()) {
            break;
        }
        const std::size_t start = i;
        TinCommand command;
        if (text[i] == '#') {
            ++i;
            while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) != 0) {
                command.name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))));
                ++i;
            }
        }
        while (i < text.size() && text[i] != '\n' && text[i] != ';') {
            if (text[i] == ' ' || text[i] == '\t') {
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
                command.args.push_back(std::move(arg));
            } else {
                std::string arg;
                while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n' &&
                       text[i] != ';') {
                    arg.push_back(text[i++]);
                }
                command.args.push_back(std::move(arg));
            }
        }
        command.source = trim(text.substr(start, i - start));
        commands.push_back(std::move(command));
    }
    return commands;
}

// Commands of a body, split at the semicolons outside braces.
std::vector<std::string> tinBodyCommands(const std::string& body) {
    std::vector<std::string> out(1);
    int depth = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\\' && i + 1 < body.size()) {
            out.back() += body.substr(i, 2);
            ++i;
            continue;
        }
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        if (c == ';' && depth <= 0) {
            out.emplace_back();
        } else {
            out.back().push_back(c);
        }
    }
    std::vector<std::string> commands;
    for (const std::string& command : out) {
        if (!trim(command).empty()) {
            commands.push_back(trim(command));
        }
    }
    return commands;
}

// "is", "act", "action": TinTin++ takes any unique abbreviation.
bool tinIs(const std::string& name, const std::string& full, std::size_t shortest) {
    return name.size() >= shortest && startsWith(full, name);
}

} // namespace corvane::tin_reader
