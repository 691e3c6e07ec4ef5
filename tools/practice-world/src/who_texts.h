#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace practice_world {

// Who is in a room, sorted into the groups the lower-case `who` reports.
struct RoomCensus {
    // The caller first, then the others awake here.
    std::vector<std::string> awake;
    // Already tagged with their idle minutes, e.g. "Bob[3m]".
    std::vector<std::string> idlers;
    std::vector<std::string> sleepers;
    std::vector<std::string> puppets;
};

// One row of the upper-case WHO table.
struct WhoRow {
    std::string name;
    std::chrono::seconds onFor{0};
    std::chrono::seconds idle{0};
    std::string doing;
};

std::vector<std::string> roomWhoLines(const RoomCensus& census);
std::vector<std::string> whoTableLines(const std::vector<WhoRow>& rows, int peak);
// The newer servers' WHO: a "Name" header and a trailer that also counts the
// players it did not show.
std::vector<std::string> modernWhoTableLines(const std::vector<WhoRow>& rows, std::size_t online, int peak);

} // namespace practice_world
