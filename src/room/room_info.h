#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace corvane {

struct Session;

// The "Room Info" notice: who the character is, on which world, for how long,
// and in which room. Only the time of day of the elapsed time is shown, so
// 25 hours read as 1 hour, as the game clock wraps after a day.
std::string RoomInfoText(const Session& session, std::chrono::system_clock::duration elapsed);

} // namespace corvane
