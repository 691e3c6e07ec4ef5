#pragma once

#include <chrono>
#include <cstdint>

namespace practice_world {

using ConnectionId = std::uint64_t;
using Dbref = int;
using WallClock = std::chrono::system_clock;
using WallTime = WallClock::time_point;

inline constexpr Dbref kNothing = -1;

// How the server behaves towards clients. Framed is the classic server with
// OUTPUTPREFIX/OUTPUTSUFFIX; Modern is a newer one without them, with telnet
// negotiation, banners whose lines end in a bare LF and another WHO layout.
enum class Manner { Framed, Modern, Mud };

// Connections held by the world's bots. No socket ever gets one of these
// numbers (the server counts from 1), so text for a bot goes nowhere.
inline constexpr ConnectionId kFirstBotConnection = ConnectionId{1} << 63;

} // namespace practice_world
