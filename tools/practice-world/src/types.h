#pragma once

#include <chrono>
#include <cstdint>

namespace practice_world {

using ConnectionId = std::uint64_t;
using Dbref = int;
using WallClock = std::chrono::system_clock;
using WallTime = WallClock::time_point;

inline constexpr Dbref kNothing = -1;

} // namespace practice_world
