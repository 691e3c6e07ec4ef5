#pragma once

#include "types.h"

#include <optional>
#include <string>

namespace practice_world {

// One open connection as the world sees it: who is logged in on it and how
// its output is framed.
struct Session {
    ConnectionId id = 0;
    std::optional<Dbref> player;
    std::string outputPrefix;
    std::string outputSuffix;
    WallTime openedAt{};
    WallTime loggedInAt{};
    WallTime lastInput{};
    // The MUD manner: the client agreed to GMCP, and the room it was last told of.
    bool gmcp = false;
    Dbref gmcpRoom = kNothing;
    // The same for MSDP.
    bool msdp = false;
    Dbref msdpRoom = kNothing;
    // The client agreed to MXP, and the room whose exits it was last shown as links.
    bool mxp = false;
    Dbref mxpRoom = kNothing;
    // The Diku manners' log-in: the player who gave their name and is asked for the password.
    std::optional<Dbref> namedPlayer;
};

} // namespace practice_world
