#pragma once

#include "types.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace practice_world {

// MCP 2.1 as a MUCK of the common family speaks it: the opening line on every
// connection, negotiation, @mcpedit of a program, help entries, the list
// editor's .gui dialog, and notify errors. Lines a connection must not treat
// as commands are answered here; everything else goes on to the game.
class McpWorld {
public:
    static constexpr std::string_view kOpening = "#$#mcp version: \"2.1\" to: \"2.1\"\r\n";

    struct Reply {
        // What the connection is sent, line ends included.
        std::string text;
    };

    // A line typed on the connection. An answer when MCP took it; nullopt
    // when it goes on to the game, then `line` may have lost a #$" quote.
    std::optional<Reply> input(ConnectionId id, std::string& line, const std::string* playerName);
    // The game commands that use MCP (player logged in): @mcpedit, @mcpnotes,
    // lsedit; nullopt for any other command.
    std::optional<Reply> command(ConnectionId id, std::string_view line, const std::string& playerName);
    void close(ConnectionId id);

private:
    struct Message {
        std::string name;
        std::string key;
        std::map<std::string, std::string> values;
        std::vector<std::string> multiline;
        std::string tag;
    };
    struct Pending {
        Message message;
        std::map<std::string, std::vector<std::string>> lines;
    };
    struct ListEdit {
        std::string list;
        std::vector<std::string> lines;
        std::string dialog;
        std::string bodyValue;
        bool gui = false;
    };
    struct Link {
        std::string key;
        std::set<std::string> packages;
        std::map<std::string, Pending> pending;
        std::optional<ListEdit> listEdit;
        int tags = 0;
    };

    static std::optional<Message> parse(std::string_view text);
    std::optional<Reply> message(ConnectionId id, Link& link, Message& message, const std::string* playerName);
    Reply set(Link& link, const Message& message);
    Reply help(Link& link, const Message& message);
    Reply guiEvent(Link& link, const Message& message);
    std::optional<Reply> listEditLine(Link& link, std::string_view line);
    std::string send(Link& link, const std::string& name, const std::vector<std::pair<std::string, std::string>>& values,
                     const std::vector<std::pair<std::string, std::vector<std::string>>>& multiline = {});
    std::string notifyError(Link& link, const std::string& text, const std::string& topic);
    std::string newTag(Link& link);
    bool has(const Link& link, std::string_view package) const { return link.packages.count(std::string(package)) > 0; }
    std::string simpleEdit(const Link& link) const;

    std::map<ConnectionId, Link> m_links;
    // The programs and lists the world keeps, by reference.
    std::map<std::string, std::vector<std::string>> m_programs{
        {"23", {"( lib-away.muf: who is away and why )", "", ": away? ( d -- i )", "  \"_away\" getpropstr \"\" strcmp",
                ";", "", ": main", "  me @ away? if \"You are away.\" else \"You are here.\" then", "  me @ swap notify",
                ";"}}};
    std::map<std::string, std::vector<std::string>> m_lists;
    std::map<std::string, std::vector<std::string>> m_notes;
};

} // namespace practice_world
