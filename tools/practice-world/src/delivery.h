#pragma once

#include "types.h"

#include <string>
#include <vector>

namespace practice_world {

// Text owed to one connection, tagged with why it is sent, because the server
// orders and delays the kinds differently.
struct Delivery {
    enum class Kind {
        // Caused by someone else or by the world; goes out at once, between frames.
        Event,
        // The answer to a command typed on this connection, frame included; --lag delays it.
        Reply,
        // Login, QUIT and the like: never framed or delayed, but never overtakes a Reply.
        ScreenReply,
    };

    ConnectionId to = 0;
    std::string text;
    Kind kind = Kind::Event;
};

// Everything one call into the world produced.
struct Outcome {
    std::vector<Delivery> deliveries;
    // The caller's connection closes once its replies are out (QUIT).
    bool closeCaller = false;
};

} // namespace practice_world
