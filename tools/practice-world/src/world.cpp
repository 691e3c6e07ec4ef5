#include "world.h"

#include "banners.h"
#include "mud_manner.h"
#include "text_format.h"
#include "who_texts.h"

#include <algorithm>

namespace practice_world {

namespace {

constexpr std::string_view kBadLogin = "Either that player does not exist, or has a different password.\r\n";
constexpr std::string_view kGoodbye = "\r\nCome back later!\r\n\r\n";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Matches COMMAND alone or followed by blanks and an argument. Like the servers
// this imitates, only leading blanks of the argument are dropped: a frame text
// may end in spaces.
bool matchCommand(std::string_view line, std::string_view command, std::string_view& argument) {
    if (!line.starts_with(command))
        return false;
    std::string_view rest = line.substr(command.size());
    if (!rest.empty() && !isBlank(rest.front()))
        return false;
    while (!rest.empty() && isBlank(rest.front()))
        rest.remove_prefix(1);
    argument = rest;
    return true;
}

bool isConnectCommand(std::string_view line) {
    return startsWithIgnoreCase(line, "connect") && (line.size() == 7 || isBlank(line[7]));
}

std::string framed(const Session& session, const std::string& body) {
    std::string text;
    if (!session.outputPrefix.empty())
        text += session.outputPrefix + "\r\n";
    text += body;
    if (!session.outputSuffix.empty())
        text += session.outputSuffix + "\r\n";
    return text;
}

} // namespace

World::World(Database database, std::chrono::seconds idleThreshold, Manner manner, WallTime startedAt)
    : m_manner(manner)
    , m_database(std::move(database))
    , m_commands(m_database, m_sessions, idleThreshold, manner)
    , m_startedAt(startedAt) {
    ConnectionId botConnection = kFirstBotConnection;
    for (const auto& [ref, player] : m_database.players()) {
        if (!player.bot)
            continue;
        Session& session = m_sessions.open(botConnection++, startedAt);
        session.player = ref;
        session.loggedInAt = startedAt;
    }
    m_sessions.notePeak();
}

Outcome World::open(ConnectionId id, WallTime now) {
    m_sessions.open(id, now);
    Outcome outcome;
    // The MCP opening comes first; the newer servers put the greeting's blank line before it.
    if (m_diku) {
        // A Diku has no MCP: its name prompt is all a new connection gets.
        outcome.deliveries.push_back(Delivery{id, diku::greeting(), Delivery::Kind::ScreenReply});
        return outcome;
    }
    std::string_view greeting = greetingText(m_manner);
    const bool blankFirst = m_manner == Manner::Modern && greeting.starts_with("\r\n");
    outcome.deliveries.push_back(Delivery{id, (blankFirst ? "\r\n" : "") + std::string(McpWorld::kOpening) +
                                                  std::string(greeting.substr(blankFirst ? 2 : 0)),
                                          Delivery::Kind::ScreenReply});
    return outcome;
}

Outcome World::input(ConnectionId id, std::string_view rawLine, WallTime now) {
    Session* session = m_sessions.find(id);
    if (!session)
        return {};
    session->lastInput = now;
    const std::string* playerName = session->player ? &m_database.player(*session->player)->name : nullptr;
    std::string unquoted(rawLine);
    const bool outOfBand = rawLine.starts_with("#$#");
    if (std::optional<McpWorld::Reply> reply = m_mcp.input(id, unquoted, playerName)) {
        Outcome outcome;
        // A line typed into the list editor is a command like any other: framed.
        if (!outOfBand)
            outcome.deliveries.push_back(Delivery{id, framed(*session, reply->text), Delivery::Kind::Reply});
        else if (!reply->text.empty())
            outcome.deliveries.push_back(Delivery{id, std::move(reply->text), Delivery::Kind::ScreenReply});
        return outcome;
    }
    rawLine = unquoted;

    if (m_manner == Manner::Mud && !mud::validUtf8(rawLine)) {
        Outcome refused;
        refused.deliveries.push_back(
            Delivery{id, mudReply(*session, std::string(mud::kBadUtf8) + "\r\n"), Delivery::Kind::Reply});
        return refused;
    }
    if (m_diku && !session->player) {
        return dikuLogIn(*session, rawLine, now);
    }
    std::string_view argument;
    const std::string_view untrimmed =
        rawLine.substr(std::min(rawLine.find_first_not_of(" \t"), rawLine.size()));
    // The newer servers have no frames: to them these are unknown commands.
    if (m_manner == Manner::Framed && matchCommand(untrimmed, "OUTPUTPREFIX", argument)) {
        session->outputPrefix = argument;
        return {};
    }
    if (m_manner == Manner::Framed && matchCommand(untrimmed, "OUTPUTSUFFIX", argument)) {
        session->outputSuffix = argument;
        return {};
    }
    const std::string_view line = trim(rawLine);
    if (line == "QUIT" || (m_manner == Manner::Mud && equalsIgnoreCase(line, "quit")))
        return quit(*session, now);
    if (!session->player && isConnectCommand(line))
        return connect(*session, trim(line.substr(7)), now);

    if (m_manner == Manner::Mud && session->player && matchCommand(line, "ooc", argument))
        return channel(*session, argument);
    if (m_manner == Manner::Mud && session->player && matchCommand(line, "tell", argument))
        return tell(*session, argument, false);
    if (m_diku && session->player && matchCommand(line, "whisper", argument) &&
        argument.find('=') == std::string_view::npos)
        return tell(*session, argument, true);

    Outbox out(m_sessions);
    if (matchCommand(line, "WHO", argument) || (m_manner == Manner::Mud && matchCommand(line, "who", argument)))
        who(now, out);
    else if (!session->player)
        loginScreen(line, out);
    else if (std::optional<McpWorld::Reply> reply = m_mcp.command(id, line, *playerName))
        out.replyRaw(reply->text);
    else
        m_commands.run(*session->player, line, now, out);

    Outcome outcome;
    std::string reply = framed(*session, out.replyText());
    if (m_manner == Manner::Mud)
        reply = mudReply(*session, std::move(reply));
    if (!reply.empty())
        outcome.deliveries.push_back(Delivery{id, std::move(reply), Delivery::Kind::Reply});
    for (Delivery& event : out.takeEvents())
        outcome.deliveries.push_back(std::move(event));
    return outcome;
}

Outcome World::close(ConnectionId id, WallTime now) {
    Outcome outcome;
    if (!m_sessions.find(id))
        return outcome;
    Outbox out(m_sessions);
    endSession(id, now, out);
    outcome.deliveries = out.takeEvents();
    return outcome;
}

void World::loginScreen(std::string_view line, Outbox& out) const {
    if (line.empty())
        return;
    const std::string word = toLower(line.substr(0, line.find_first_of(" \t")));
    if (word == "quit") {
        out.reply("Oops! Did you mean 'QUIT' in all capital letters?");
    } else if (word == "create") {
        out.reply("Characters are not created here; use one of the practice accounts.");
    } else {
        // Anything else shows the welcome screen again, as a classic server does.
        out.replyRaw(greetingText(m_manner));
    }
}

Outcome World::connect(Session& session, std::string_view arguments, WallTime now) {
    Outcome outcome;
    const auto space = arguments.find_first_of(" \t");
    const std::string_view name = arguments.substr(0, space);
    const std::string_view password = space == std::string_view::npos ? "" : trim(arguments.substr(space));
    Player* player = name.empty() ? nullptr : m_database.findPlayer(name);
    if (!player || player->password.empty() || player->password != password) {
        outcome.deliveries.push_back(
            Delivery{session.id, std::string(kBadLogin), Delivery::Kind::ScreenReply});
        return outcome;
    }
    return enter(session, *player, now);
}

Outcome World::dikuLogIn(Session& session, std::string_view line, WallTime now) {
    Outcome outcome;
    const std::string_view text = trim(line);
    if (!session.namedPlayer) {
        Player* player = text.empty() ? nullptr : m_database.findPlayer(text);
        std::string reply;
        if (player == nullptr || player->password.empty()) {
            reply = "There is no one by that name here.\r\n" + std::string(diku::kNamePrompt);
        } else {
            session.namedPlayer = player->ref;
            reply = diku::passwordPrompt();
        }
        outcome.deliveries.push_back(Delivery{session.id, std::move(reply), Delivery::Kind::ScreenReply});
        return outcome;
    }
    Player* player = m_database.player(*session.namedPlayer);
    session.namedPlayer.reset();
    if (player == nullptr || player->password != text) {
        outcome.deliveries.push_back(
            Delivery{session.id, diku::echoOn() + "Wrong password.\r\n" + std::string(diku::kNamePrompt),
                     Delivery::Kind::ScreenReply});
        return outcome;
    }
    return enter(session, *player, now, diku::echoOn() + "Welcome to the practice town.\r\n");
}

Outcome World::enter(Session& session, Player& playerRef, WallTime now, const std::string& before) {
    Outcome outcome;
    Player* player = &playerRef;
    const bool wasAwake = m_sessions.isAwake(player->ref);
    session.player = player->ref;
    session.loggedInAt = now;
    m_sessions.notePeak();

    Outbox out(m_sessions);
    if (!wasAwake)
        m_commands.announce(player->location, player->name + " has connected.", player->ref, out);
    if (m_manner == Manner::Modern)
        out.replyRaw(messageOfTheDay());
    m_commands.describeRoom(*player, out);
    std::string text = before + out.replyText();
    if (m_manner == Manner::Mud)
        text = mudReply(session, std::move(text));
    outcome.deliveries.push_back(Delivery{session.id, std::move(text), Delivery::Kind::ScreenReply});
    for (Delivery& event : out.takeEvents())
        outcome.deliveries.push_back(std::move(event));
    return outcome;
}

Outcome World::quit(Session& session, WallTime now) {
    const ConnectionId id = session.id;
    Outbox out(m_sessions);
    endSession(id, now, out);
    Outcome outcome;
    outcome.deliveries.push_back(Delivery{id, std::string(kGoodbye), Delivery::Kind::ScreenReply});
    for (Delivery& event : out.takeEvents())
        outcome.deliveries.push_back(std::move(event));
    outcome.closeCaller = true;
    return outcome;
}

void World::who(WallTime now, Outbox& out) const {
    const std::vector<Dbref> online = m_sessions.playersOnline();
    std::vector<WhoRow> rows;
    for (Dbref ref : online) {
        const Player& p = *m_database.player(ref);
        if (!p.bot)
            rows.push_back(
                WhoRow{p.name, m_sessions.onlineFor(ref, now), m_sessions.idleOf(ref, now), p.doing});
    }
    const std::vector<std::string> lines = m_diku                    ? diku::whoLines(rows)
                                           : m_manner == Manner::Mud ? mud::whoTableLines(rows)
                                           : m_manner == Manner::Modern
                                               ? modernWhoTableLines(rows, online.size(), m_sessions.peak())
                                               : whoTableLines(rows, m_sessions.peak());
    for (const std::string& line : lines)
        out.reply(line);
}

Outcome World::agreeGmcp(ConnectionId id) {
    Outcome outcome;
    if (Session* session = m_sessions.find(id)) {
        session->gmcp = true;
        std::string update = gmcpRoomUpdate(*session);
        if (!update.empty())
            outcome.deliveries.push_back(Delivery{id, std::move(update), Delivery::Kind::ScreenReply});
    }
    return outcome;
}

Outcome World::agreeMsdp(ConnectionId id) {
    Outcome outcome;
    if (Session* session = m_sessions.find(id)) {
        session->msdp = true;
        std::string update = msdpRoomUpdate(*session);
        if (!update.empty())
            outcome.deliveries.push_back(Delivery{id, std::move(update), Delivery::Kind::ScreenReply});
    }
    return outcome;
}

Outcome World::agreeMxp(ConnectionId id) {
    Outcome outcome;
    if (Session* session = m_sessions.find(id)) {
        session->mxp = true;
        std::string update = mxpExitsUpdate(*session);
        if (!update.empty())
            outcome.deliveries.push_back(Delivery{id, std::move(update), Delivery::Kind::ScreenReply});
    }
    return outcome;
}

std::string World::mxpExitsUpdate(Session& session) {
    if (!session.player || !session.mxp)
        return {};
    const Player& me = *m_database.player(*session.player);
    if (session.mxpRoom == me.location)
        return {};
    session.mxpRoom = me.location;
    const Room* room = m_database.room(me.location);
    if (room == nullptr || room->exits.empty())
        return {};
    std::vector<std::string> exits;
    for (const Room::Exit& exit : room->exits) {
        if (!exit.names.empty())
            exits.push_back(exit.names.front());
    }
    return mud::mxpExits(exits);
}

Outcome World::agreeMssp(ConnectionId id) const {
    Outcome outcome;
    const auto started = std::chrono::duration_cast<std::chrono::seconds>(m_startedAt.time_since_epoch()).count();
    outcome.deliveries.push_back(
        Delivery{id, mud::mssp(m_sessions.playersOnline().size(), started), Delivery::Kind::Reply});
    return outcome;
}

Outcome World::channel(Session& session, std::string_view text) {
    Outcome outcome;
    if (text.empty()) {
        outcome.deliveries.push_back(
            Delivery{session.id, mudReply(session, "What do you want to say on OOC?\r\n"), Delivery::Kind::Reply});
        return outcome;
    }
    const std::string talker = m_database.player(*session.player)->name;
    const std::string line = "[OOC] " + talker + ": " + std::string(text);
    // As the IRE family does: the message for clients that asked, then the same line as text.
    const std::string message =
        mud::gmcp("Comm.Channel.Text", "{\"channel\":\"ooc\",\"talker\":" + mud::jsonString(talker) +
                                           ",\"text\":" + mud::jsonString(line) + "}");
    for (const Dbref player : m_sessions.playersOnline()) {
        for (const ConnectionId to : m_sessions.connectionsOf(player)) {
            Session* listener = m_sessions.find(to);
            std::string bytes = (listener->gmcp ? message : std::string()) + line + "\r\n";
            if (to == session.id)
                outcome.deliveries.push_back(Delivery{to, mudReply(*listener, std::move(bytes)), Delivery::Kind::Reply});
            else
                outcome.deliveries.push_back(Delivery{to, std::move(bytes), Delivery::Kind::Event});
        }
    }
    return outcome;
}

std::string World::mudReply(Session& session, std::string text) {
    if (!m_diku)
        text = mud::doubledCarriageReturns(text);
    if (!session.player)
        return text;
    return text + mxpExitsUpdate(session) + gmcpRoomUpdate(session) + msdpRoomUpdate(session) +
           (m_diku ? diku::prompt() : mud::prompt());
}

Outcome World::tell(Session& session, std::string_view arguments, bool whisper) {
    Outcome outcome;
    const std::size_t space = arguments.find_first_of(" \t");
    const std::string_view name = arguments.substr(0, space);
    const std::string_view text =
        space == std::string_view::npos ? std::string_view() : trim(arguments.substr(space));
    const Player* to = name.empty() ? nullptr : m_database.findPlayer(name);
    std::string reply;
    if (to == nullptr || !m_sessions.isAwake(to->ref)) {
        reply = "There is no one by that name playing.\r\n";
    } else if (text.empty()) {
        reply = whisper ? "What do you want to whisper?\r\n" : "What do you want to tell them?\r\n";
    } else {
        const std::string me = m_database.player(*session.player)->name;
        const std::string quoted = ", '" + std::string(text) + "'";
        reply = (whisper ? "You whisper to " : "You tell ") + to->name + quoted + "\r\n";
        const std::string heard = me + (whisper ? " whispers to you" : " tells you") + quoted + "\r\n";
        for (const ConnectionId id : m_sessions.connectionsOf(to->ref)) {
            outcome.deliveries.push_back(Delivery{id, heard, Delivery::Kind::Event});
        }
    }
    outcome.deliveries.insert(
        outcome.deliveries.begin(),
        Delivery{session.id, mudReply(session, std::move(reply)), Delivery::Kind::Reply});
    return outcome;
}

std::string World::gmcpRoomUpdate(Session& session) {
    std::string text;
    if (!session.player)
        return text;
    const Player& me = *m_database.player(*session.player);
    if (session.gmcp && session.gmcpRoom != me.location) {
        session.gmcpRoom = me.location;
        if (const Room* room = m_database.room(me.location)) {
            std::string exits;
            for (const Room::Exit& exit : room->exits) {
                if (exit.names.empty())
                    continue;
                exits += (exits.empty() ? "" : ",") + mud::jsonString(exit.names.front()) + ":" +
                         std::to_string(exit.destination);
            }
            text += mud::gmcp("Room.Info", "{\"num\":" + std::to_string(room->ref) + ",\"name\":" +
                                               mud::jsonString(room->name) +
                                               ",\"area\":\"Practice Town\",\"exits\":{" + exits + "}}");
            text += mud::gmcp("Char.Vitals", R"({"hp":"8","maxhp":"10","mp":"5","maxmp":"5"})");
        }
    }
    return text;
}

std::string World::msdpRoomUpdate(Session& session) {
    std::string text;
    if (!session.player)
        return text;
    const Player& me = *m_database.player(*session.player);
    if (!session.msdp || session.msdpRoom == me.location)
        return text;
    session.msdpRoom = me.location;
    const Room* room = m_database.room(me.location);
    if (room == nullptr)
        return text;
    // Movement is what GMCP's vitals here leave out.
    for (const auto& [name, value] : {std::pair{"HEALTH", "8"}, {"HEALTH_MAX", "10"}, {"MANA", "5"},
                                      {"MANA_MAX", "5"}, {"MOVEMENT", "30"}, {"MOVEMENT_MAX", "30"}})
        text += mud::msdp(name, value);
    std::string exits = "\x03";
    for (const Room::Exit& exit : room->exits) {
        if (!exit.names.empty())
            exits += "\x01" + exit.names.front() + "\x02" + std::to_string(exit.destination);
    }
    exits += "\x04";
    // In the order the common MSDP server code reports a move: the number last.
    text += mud::msdp("AREA_NAME", "Practice Town");
    text += mud::msdp("ROOM_EXITS", exits);
    text += mud::msdp("ROOM_NAME", room->name);
    text += mud::msdp("ROOM_VNUM", std::to_string(room->ref));
    return text;
}

void World::endSession(ConnectionId id, WallTime now, Outbox& out) {
    const std::optional<Dbref> playerRef = m_sessions.find(id)->player;
    m_sessions.close(id);
    m_mcp.close(id);
    if (!playerRef || m_sessions.isAwake(*playerRef))
        return;
    Player& player = *m_database.player(*playerRef);
    player.lastSeen = now;
    m_commands.announce(player.location, player.name + " has disconnected.", player.ref, out);
}

} // namespace practice_world
