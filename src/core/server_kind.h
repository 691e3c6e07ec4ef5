#pragma once

#include "core/text_codec.h"

#include <string_view>

namespace corvane {

// What kind of server a world runs, as its section's "Server=" says. A MUCK
// gets everything Corvane does at log-in; a MUSH logs in and frames replies
// the same way but has no arrival hook; a MUD gets neither, and its rooms
// come from GMCP. Absent or unknown is MUCK.
enum class ServerKind { Muck, Mush, Mud };

inline constexpr const char* kServerKey = "Server";

inline constexpr std::string_view ServerKindName(ServerKind kind) {
    switch (kind) {
    case ServerKind::Mush:
        return "MUSH";
    case ServerKind::Mud:
        return "MUD";
    case ServerKind::Muck:
        break;
    }
    return "MUCK";
}

inline ServerKind ParseServerKind(std::string_view stored) {
    for (const ServerKind kind : {ServerKind::Mush, ServerKind::Mud}) {
        if (EqualsNoCase(stored, ServerKindName(kind))) {
            return kind;
        }
    }
    return ServerKind::Muck;
}

} // namespace corvane
