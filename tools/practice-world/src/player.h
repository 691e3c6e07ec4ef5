#pragma once

#include "types.h"

#include <map>
#include <string>

namespace practice_world {

// A character: what logs in, moves, talks and keeps properties.
struct Player {
    Dbref ref = kNothing;
    std::string name;
    // Empty means nobody can log in as this player (a permanent sleeper).
    std::string password;
    std::string description;
    std::string sex;
    std::string species;
    Dbref home = kNothing;
    // Where the player is, or where they fell asleep.
    Dbref location = kNothing;
    WallTime lastSeen{};
    std::string doing;
    // A bot is always connected and, like the dark bots of real worlds,
    // left out of WHO. It says `greeting` to everyone who walks into its room.
    bool bot = false;
    std::string greeting;
    // Property directories are flattened into keys like "_arrive/vrox"; the map
    // keeps them sorted, which is the order a MUCK walks a directory in.
    std::map<std::string, std::string> properties;
};

} // namespace practice_world
