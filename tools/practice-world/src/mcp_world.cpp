#include "mcp_world.h"

#include "text_format.h"

#include <algorithm>
#include <cstdio>

namespace practice_world {

namespace {

// What this world offers, in the order the servers it imitates send it.
const std::vector<std::pair<std::string, std::string>> kOffers = {
    {"org-fuzzball-gui", "1.3"},        {"dns-org-mud-moo-simpleedit", "1.0"}, {"org-fuzzball-simpleedit", "1.0"},
    {"org-fuzzball-notify", "1.0"},     {"org-fuzzball-help", "1.0"},          {"mcp-negotiate", "2.0"},
};

const std::map<std::string, std::vector<std::string>> kHelp = {
    {"page", {"PAGE <player>=<message>", "", "  Sends a message to a player anywhere in the town."}},
    {"mcpedit", {"@MCPEDIT <program>", "", "  Opens the program in your client's editor (programmers only).",
                 "  Try: @mcpedit lib-away"}},
};

bool simpleChar(char c) {
    return c != ' ' && c != '"' && c != '\\' && c != ':' && c != '*';
}

std::string quoted(std::string_view value) {
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

// "lib-away", "$lib/away", "#23" and "23" all name the one program.
std::optional<std::string> programRef(std::string_view name) {
    const std::string lower = toLower(trim(name));
    if (lower == "lib-away" || lower == "$lib/away" || lower == "#23" || lower == "23")
        return "23";
    return std::nullopt;
}

} // namespace

std::optional<McpWorld::Message> McpWorld::parse(std::string_view text) {
    Message m;
    std::size_t pos = 0;
    const auto word = [&] {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != ' ')
            ++pos;
        return std::string(text.substr(start, pos - start));
    };
    if (text.starts_with("* ")) {
        pos = 2;
        m.name = "*";
        m.tag = word();
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t colon = text.find(':', pos);
        if (colon == std::string_view::npos)
            return std::nullopt;
        m.values["key"] = toLower(text.substr(pos, colon - pos));
        m.values["text"] = std::string(text.substr(std::min(colon + 2, text.size())));
        return m;
    }
    if (text.starts_with(": ")) {
        pos = 2;
        m.name = ":";
        m.tag = word();
        return m;
    }
    m.name = toLower(word());
    if (m.name.empty())
        return std::nullopt;
    if (m.name != "mcp")
        m.key = word();
    while (true) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos >= text.size())
            break;
        const std::size_t colon = text.find(':', pos);
        if (colon == std::string_view::npos)
            return std::nullopt;
        std::string key = toLower(text.substr(pos, colon - pos));
        pos = colon + 1;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        std::string value;
        if (pos < text.size() && text[pos] == '"') {
            ++pos;
            while (pos < text.size() && text[pos] != '"') {
                if (text[pos] == '\\' && pos + 1 < text.size())
                    ++pos;
                value.push_back(text[pos++]);
            }
            if (pos >= text.size())
                return std::nullopt;
            ++pos;
        } else {
            while (pos < text.size() && simpleChar(text[pos]))
                value.push_back(text[pos++]);
        }
        if (!key.empty() && key.back() == '*') {
            key.pop_back();
            m.multiline.push_back(key);
        } else if (key == "_data-tag") {
            m.tag = value;
        }
        m.values[key] = value;
    }
    return m;
}

std::string McpWorld::newTag(Link& link) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "4D50%04X", ++link.tags & 0xFFFF);
    return tag;
}

std::string McpWorld::send(Link& link, const std::string& name,
                           const std::vector<std::pair<std::string, std::string>>& values,
                           const std::vector<std::pair<std::string, std::vector<std::string>>>& multiline) {
    std::string line = "#$#" + name + " " + link.key;
    for (const auto& [key, value] : values)
        line += " " + key + ": " + quoted(value);
    if (multiline.empty())
        return line + "\r\n";
    const std::string tag = newTag(link);
    for (const auto& entry : multiline)
        line += " " + entry.first + "*: \"\"";
    std::string text = line + " _data-tag: " + tag + "\r\n";
    for (const auto& [key, lines] : multiline) {
        for (const std::string& value : lines)
            text += "#$#* " + tag + " " + key + ": " + value + "\r\n";
    }
    return text + "#$#: " + tag + "\r\n";
}

std::string McpWorld::notifyError(Link& link, const std::string& text, const std::string& topic) {
    if (!has(link, "org-fuzzball-notify"))
        return text + "\r\n";
    return send(link, "org-fuzzball-notify-error", {{"text", text}, {"topic", topic}});
}

std::string McpWorld::simpleEdit(const Link& link) const {
    if (has(link, "dns-org-mud-moo-simpleedit"))
        return "dns-org-mud-moo-simpleedit";
    if (has(link, "org-fuzzball-simpleedit"))
        return "org-fuzzball-simpleedit";
    return {};
}

std::optional<McpWorld::Reply> McpWorld::input(ConnectionId id, std::string& line, const std::string* playerName) {
    Link& link = m_links[id];
    if (!link.key.empty() && line.starts_with("#$\"")) {
        line.erase(0, 3);
        return std::nullopt;
    }
    if (!line.starts_with("#$#"))
        return link.listEdit ? listEditLine(link, line) : std::nullopt;
    std::optional<Message> parsed = parse(std::string_view(line).substr(3));
    if (!parsed)
        return std::nullopt;
    Message& m = *parsed;
    if (m.name == "mcp") {
        if (!link.key.empty() || m.values["authentication-key"].empty())
            return std::nullopt;
        link.key = m.values["authentication-key"];
        Reply reply;
        for (const auto& [package, max] : kOffers) {
            reply.text += "#$#mcp-negotiate-can " + link.key + " package: " + quoted(package) +
                          " min-version: \"1.0\" max-version: " + quoted(max) + "\r\n";
        }
        reply.text += "#$#mcp-negotiate-end " + link.key + "\r\n";
        return reply;
    }
    if (m.name == "*") {
        const auto pending = link.pending.find(m.tag);
        if (pending == link.pending.end())
            return std::nullopt;
        pending->second.lines[m.values["key"]].push_back(m.values["text"]);
        return Reply{};
    }
    if (m.name == ":") {
        const auto pending = link.pending.find(m.tag);
        if (pending == link.pending.end())
            return std::nullopt;
        Message whole = std::move(pending->second.message);
        for (const auto& [key, lines] : pending->second.lines) {
            std::string joined;
            for (const std::string& text : lines)
                joined += text + "\n";
            whole.values[key] = joined;
        }
        link.pending.erase(pending);
        return message(id, link, whole, playerName);
    }
    if (link.key.empty() || m.key != link.key)
        return std::nullopt;
    if (!m.multiline.empty() && !m.tag.empty()) {
        const std::string tag = m.tag;
        link.pending[tag] = Pending{std::move(m), {}};
        return Reply{};
    }
    return message(id, link, m, playerName);
}

std::optional<McpWorld::Reply> McpWorld::message(ConnectionId, Link& link, Message& m, const std::string* playerName) {
    if (m.name == "mcp-negotiate-can") {
        link.packages.insert(toLower(m.values["package"]));
        return Reply{};
    }
    if (m.name == "mcp-negotiate-end")
        return Reply{};
    const bool offered = std::any_of(kOffers.begin(), kOffers.end(), [&](const auto& offer) {
        return m.name.starts_with(offer.first + "-");
    });
    // A message for a package this world does not speak is a typed command.
    if (!offered)
        return std::nullopt;
    if (m.name.ends_with("simpleedit-set"))
        return playerName ? set(link, m) : Reply{};
    if (m.name == "org-fuzzball-help-request")
        return help(link, m);
    if (m.name == "org-fuzzball-gui-ctrl-value") {
        if (link.listEdit && m.values["dlogid"] == link.listEdit->dialog && m.values["id"] == "body")
            link.listEdit->bodyValue = m.values["value"];
        return Reply{};
    }
    if (m.name == "org-fuzzball-gui-ctrl-event")
        return guiEvent(link, m);
    return Reply{};
}

McpWorld::Reply McpWorld::set(Link& link, const Message& m) {
    const std::string reference = m.values.count("reference") ? m.values.at("reference") : "";
    const std::string content = m.values.count("content") ? m.values.at("content") : "";
    if (reference.ends_with(".prog.") && m_programs.count(reference.substr(0, reference.size() - 6))) {
        std::vector<std::string>& program = m_programs[reference.substr(0, reference.size() - 6)];
        program = splitLines(content);
        return Reply{"Program lib-away(#23) compiled: " + std::to_string(program.size()) + " lines, no errors.\r\n"};
    }
    if (m_notes.count(reference)) {
        m_notes[reference] = splitLines(content);
        return Reply{"Set.\r\n"};
    }
    return Reply{notifyError(link, "Bad reference value.", "simpleedit-set")};
}

McpWorld::Reply McpWorld::help(Link& link, const Message& m) {
    const std::string topic = m.values.count("topic") ? toLower(m.values.at("topic")) : "";
    if (!has(link, "org-fuzzball-help"))
        return Reply{};
    const auto entry = kHelp.find(topic);
    if (entry == kHelp.end())
        return Reply{send(link, "org-fuzzball-help-error",
                          {{"text", "Sorry, there is no help on '" + topic + "'."}, {"topic", topic}})};
    std::vector<std::string> lines = entry->second;
    // The servers send an empty help line as two blanks.
    for (std::string& line : lines) {
        if (line.empty())
            line = "  ";
    }
    return Reply{send(link, "org-fuzzball-help-entry", {{"topic", topic}}, {{"text", lines}})};
}

McpWorld::Reply McpWorld::guiEvent(Link& link, const Message& m) {
    if (!link.listEdit || m.values.count("dlogid") == 0 || m.values.at("dlogid") != link.listEdit->dialog)
        return Reply{};
    const std::string id = m.values.count("id") ? m.values.at("id") : "";
    const std::string list = link.listEdit->list;
    if (id == "SaveBtn") {
        m_lists[list] = splitLines(link.listEdit->bodyValue);
        link.listEdit.reset();
        return Reply{"< List saved: " + std::to_string(m_lists[list].size()) + " lines. >\r\n< Editor exited. >\r\n"};
    }
    if (id == "CancelBtn" || id == "_closed") {
        link.listEdit.reset();
        return Reply{"< Editor aborted. >\r\n"};
    }
    return Reply{};
}

std::optional<McpWorld::Reply> McpWorld::listEditLine(Link& link, std::string_view line) {
    ListEdit& edit = *link.listEdit;
    const std::string command = toLower(trim(line));
    if (command == ".end") {
        m_lists[edit.list] = edit.lines;
        link.listEdit.reset();
        return Reply{"< Editor exited. >\r\n< list saved >\r\n"};
    }
    if (command == ".abort") {
        link.listEdit.reset();
        return Reply{"< Editor aborted. >\r\n"};
    }
    if (command != ".gui") {
        edit.lines.emplace_back(line);
        return Reply{};
    }
    if (!has(link, "org-fuzzball-gui"))
        return Reply{"< Your client has no GUI editor. >\r\n"};
    edit.dialog = newTag(link);
    edit.gui = true;
    const std::string& d = edit.dialog;
    std::string text = send(link, "org-fuzzball-gui-dlog-create",
                            {{"title", "Editing " + edit.list}, {"resizable", "xy"}, {"type", "simple"}, {"dlogid", d}});
    std::vector<std::pair<std::string, std::vector<std::string>>> body;
    if (!edit.lines.empty())
        body.push_back({"value", edit.lines});
    text += send(link, "org-fuzzball-gui-ctrl-multiedit",
                 {{"colspan", "1"}, {"height", "20"}, {"width", "80"}, {"sticky", "nsew"}, {"dlogid", d}, {"id", "body"}},
                 body);
    text += send(link, "org-fuzzball-gui-ctrl-frame", {{"pane", ""}, {"sticky", "ew"}, {"dlogid", d}, {"id", "bfr"}});
    text += send(link, "org-fuzzball-gui-ctrl-checkbox",
                 {{"pane", "bfr"}, {"text", "Use &GUI editor instead of command line in future edits"}, {"value", "0"},
                  {"newline", "0"}, {"dlogid", d}, {"id", "usegui"}});
    text += send(link, "org-fuzzball-gui-ctrl-button",
                 {{"dismiss", "1"}, {"newline", "0"}, {"pane", "bfr"}, {"text", "&Save"}, {"width", "8"}, {"dlogid", d},
                  {"id", "SaveBtn"}});
    text += send(link, "org-fuzzball-gui-ctrl-button",
                 {{"dismiss", "1"}, {"pane", "bfr"}, {"text", "&Cancel"}, {"width", "8"}, {"dlogid", d}, {"id", "CancelBtn"}});
    text += send(link, "org-fuzzball-gui-dlog-show", {{"dlogid", d}});
    return Reply{text};
}

std::optional<McpWorld::Reply> McpWorld::command(ConnectionId id, std::string_view line, const std::string& playerName) {
    Link& link = m_links[id];
    const std::string_view word = line.substr(0, line.find(' '));
    const std::string_view argument = trim(line.substr(word.size()));
    if (equalsIgnoreCase(word, "@mcpedit")) {
        if (playerName != "Tester")
            return Reply{"Permission denied.  (Only programmers may edit programs.)\r\n"};
        const std::optional<std::string> ref = programRef(argument);
        if (!ref)
            return Reply{"I can't find that program.\r\n"};
        const std::string package = simpleEdit(link);
        if (package.empty())
            return Reply{"Your client cannot edit here; the line editor is not open to practice.\r\n"};
        std::vector<std::string> lines = m_programs[*ref];
        // An empty program line goes out as one blank.
        for (std::string& text : lines) {
            if (text.empty())
                text = " ";
        }
        return Reply{send(link, package + "-content",
                          {{"reference", *ref + ".prog."}, {"type", "muf-code"}, {"name", "a program named lib-away(" + *ref + ")"}},
                          {{"content", lines}})};
    }
    if (equalsIgnoreCase(word, "@mcpnotes")) {
        const std::string package = simpleEdit(link);
        if (package.empty())
            return Reply{"Your client cannot edit here.\r\n"};
        const std::string notesRef = toLower(playerName) + ".notes";
        const std::string mottoRef = toLower(playerName) + ".motto";
        m_notes.try_emplace(notesRef, std::vector<std::string>{"Buy bread.", "", "Feed Whisker."});
        m_notes.try_emplace(mottoRef, std::vector<std::string>{"Onwards."});
        // Two messages whose lines arrive interleaved, with a line of the game between.
        const std::string first = newTag(link);
        const std::string second = newTag(link);
        std::string text = "#$#" + package + "-content " + link.key + " reference: " + quoted(notesRef) +
                           " type: \"string-list\" name: \"Your notes\" content*: \"\" _data-tag: " + first + "\r\n";
        text += "#$#" + package + "-content " + link.key + " reference: " + quoted(mottoRef) +
                " type: \"string\" name: \"Your motto\" content*: \"\" _data-tag: " + second + "\r\n";
        const std::vector<std::string>& notes = m_notes[notesRef];
        for (std::size_t i = 0; i < notes.size(); ++i) {
            text += "#$#* " + first + " content: " + notes[i] + "\r\n";
            if (i == 0) {
                text += "#$#* " + second + " content: " + m_notes[mottoRef].front() + "\r\n";
                text += "The town clock strikes the hour.\r\n";
            }
        }
        text += "#$#: " + second + "\r\n#$#: " + first + "\r\n";
        return Reply{text};
    }
    if (equalsIgnoreCase(word, "lsedit")) {
        const std::size_t equals = argument.find('=');
        if (equals == std::string_view::npos)
            return Reply{"Usage: lsedit <object>=<list>\r\n"};
        ListEdit edit;
        edit.list = std::string(trim(argument.substr(equals + 1)));
        edit.lines = m_lists[edit.list];
        link.listEdit = std::move(edit);
        return Reply{"<    Welcome to the list editor. Type '.end' to save, '.abort' to leave,     >\r\n"
                     "<    or '.gui' for your client's editor window.                               >\r\n"
                     "< Insert at line " +
                     std::to_string(link.listEdit->lines.size() + 1) + " >\r\n"};
    }
    return std::nullopt;
}

void McpWorld::close(ConnectionId id) {
    m_links.erase(id);
}

} // namespace practice_world
