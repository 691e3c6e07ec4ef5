#pragma once

#include "core/typed_line_expander.h"

#include <functional>
#include <string>
#include <vector>

namespace corvane {

class RuleBook;
class ScriptSystem;
struct Session;

// Client commands in the input line, for players used to tf and tt++: a
// line that starts with the chosen prefix ("/" or "#") is a command for
// Corvane, never sent; the prefix typed twice sends the line with one of
// them. With no prefix chosen every line goes on to the aliases untouched.
class ClientCommands : public TypedLineExpander {
public:
    struct Services {
        TypedLineExpander& next;
        ScriptSystem& scripts;
        RuleBook& book;
        const Session& session;
        // "", "/" or "#".
        std::function<std::string()> prefix;
        // A line of the client's own in the output.
        std::function<void(const std::string&)> echo;
        // `load FILE`: starts the file through the importer, which gives
        // `report` what it did when it is done.
        std::function<void(const std::string& path, std::function<void(const std::string&)> report)> load;
    };

    explicit ClientCommands(Services services)
        : m_services(std::move(services)) {}

    std::vector<std::string> expand(const std::string& typed) override;

private:
    // The lines to send for one command (most send none).
    std::vector<std::string> run(const std::string& name, const std::string& rest, int depth);
    std::vector<std::string> line(const std::string& typed, int depth);
    void addRule(bool trigger, const std::string& rest, const std::string& prefix);

    Services m_services;
};

// Text as a Lua string literal.
std::string LuaQuote(const std::string& text);

} // namespace corvane
