#pragma once

#include "database.h"
#include "delivery.h"
#include "game_commands.h"
#include "mcp_world.h"
#include "sessions.h"

#include <chrono>
#include <string_view>

namespace practice_world {

// The game as its connections see it: takes the lines typed on a connection
// and says what every connection receives. It knows nothing of sockets or
// timers, so tests drive it with plain calls and a made-up clock.
class World {
public:
    // The database's bots come online at `startedAt`.
    World(Database database, std::chrono::seconds idleThreshold, Manner manner = Manner::Framed,
          WallTime startedAt = WallClock::now());

    // A new connection; answers with the greeting.
    Outcome open(ConnectionId id, WallTime now);
    // One line typed on the connection, line end already removed.
    Outcome input(ConnectionId id, std::string_view line, WallTime now);
    // The connection went away without QUIT (or the server is dropping it).
    Outcome close(ConnectionId id, WallTime now);
    // The MUD manner: the client said DO GMCP; a logged-in player is told the room at once.
    Outcome agreeGmcp(ConnectionId id);
    // The MUD manner: the client said DO MSSP; it is told about the world.
    Outcome agreeMssp(ConnectionId id) const;
    // The MUD manner: the client said DO MSDP; a logged-in player is told the vitals and the room at once.
    Outcome agreeMsdp(ConnectionId id);
    // The MUD manner: the client said DO MXP; from now on each room it comes
    // to ends its text with the exits as links.
    Outcome agreeMxp(ConnectionId id);
    // With the MUD manner: the Diku family's log-in, prompt and WHO.
    void setDiku(bool on) { m_diku = on; }

private:
    // Anything typed before logging in other than connect, WHO and QUIT.
    void loginScreen(std::string_view line, Outbox& out) const;
    Outcome connect(Session& session, std::string_view arguments, WallTime now);
    // The Diku manners' log-in: the line answers the name or the password prompt.
    Outcome dikuLogIn(Session& session, std::string_view line, WallTime now);
    // `player` has given the right password: into the game. `before` goes ahead of the room.
    Outcome enter(Session& session, Player& player, WallTime now, const std::string& before = {});
    // The MUD manner's "tell NAME TEXT" (and the Diku manners' "whisper NAME TEXT").
    Outcome tell(Session& session, std::string_view arguments, bool whisper);
    Outcome quit(Session& session, WallTime now);
    void who(WallTime now, Outbox& out) const;
    // The MUD manner's additions to an answer: CR CR LF, GMCP and the prompt.
    // The MUD manner's one channel: "ooc <text>" to everyone online, with GMCP
    // Comm.Channel.Text ahead of the line for the clients that agreed to it.
    Outcome channel(Session& session, std::string_view text);
    std::string mudReply(Session& session, std::string text);
    // GMCP Room.Info and Char.Vitals when the player is in a room the client was not told of.
    std::string gmcpRoomUpdate(Session& session);
    // The same as MSDP variables, one to a subnegotiation, the room's number last.
    std::string msdpRoomUpdate(Session& session);
    std::string mxpExitsUpdate(Session& session);
    // Ends the session; when it was the player's last connection, their room
    // is told and their last-seen time set.
    void endSession(ConnectionId id, WallTime now, Outbox& out);

    Manner m_manner;
    Database m_database;
    Sessions m_sessions;
    GameCommands m_commands;
    McpWorld m_mcp;
    bool m_diku = false;
    WallTime m_startedAt;
};

} // namespace practice_world
