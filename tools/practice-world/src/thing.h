#pragma once

#include "types.h"

#include <string>

namespace practice_world {

// An object lying in a room; one that listens counts as a puppet.
struct Thing {
    Dbref ref = kNothing;
    std::string name;
    std::string description;
    Dbref location = kNothing;
    bool listens = false;
};

} // namespace practice_world
