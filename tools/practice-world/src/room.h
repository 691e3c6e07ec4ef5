#pragma once

#include "types.h"

#include <string>
#include <vector>

namespace practice_world {

// A place in the town, its ways out and what is in it.
struct Room {
    // An exit answers to any of its names; the first is the one shown.
    struct Exit {
        std::vector<std::string> names;
        Dbref destination = kNothing;
    };

    Dbref ref = kNothing;
    std::string name;
    std::string description;
    std::vector<Exit> exits;
    // Newest arrival first, the order a classic server lists contents in.
    std::vector<Dbref> contents;
};

} // namespace practice_world
