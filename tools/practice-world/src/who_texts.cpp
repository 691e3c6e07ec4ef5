#include "who_texts.h"

#include "text_format.h"

namespace practice_world {

std::vector<std::string> roomWhoLines(const RoomCensus& census) {
    std::vector<std::string> lines;
    if (census.awake.size() <= 1)
        lines.emplace_back("You are the only one awake here.");
    else
        lines.push_back("The players awake here are " + joinWithAnd(census.awake) + ".");

    if (census.idlers.size() == 1)
        lines.push_back("Only " + census.idlers.front() + " is idle here.");
    else if (!census.idlers.empty())
        lines.push_back("The idlers here are " + joinWithAnd(census.idlers) + ".");

    if (census.sleepers.empty())
        lines.emplace_back("There are no sleepers here.");
    else if (census.sleepers.size() == 1)
        lines.push_back("Only " + census.sleepers.front() + " is asleep here.");
    else
        lines.push_back("The sleepers here are " + joinWithAnd(census.sleepers) + ".");

    // The puppet lines end without a full stop on the servers this imitates.
    if (census.puppets.size() == 1)
        lines.push_back("The only puppet here is " + census.puppets.front());
    else if (!census.puppets.empty())
        lines.push_back("The puppets here are " + joinWithAnd(census.puppets) + ".");
    return lines;
}

std::vector<std::string> whoTableLines(const std::vector<WhoRow>& rows, int peak) {
    std::vector<std::string> lines;
    lines.emplace_back("Player Name           On For Idle   Doing...");
    for (const WhoRow& row : rows) {
        // Columns line up under the header: name to 21, a blank, on-for right-aligned
        // under "On For", idle right-aligned under "Idle", doing under "Doing...".
        std::string line = padRight(row.name, 21) + " " + padLeft(formatOnFor(row.onFor), 6) + " " +
                           padLeft(formatIdle(row.idle), 4);
        if (!row.doing.empty())
            line += "   " + row.doing;
        lines.push_back(line);
    }
    const std::size_t n = rows.size();
    lines.push_back(std::to_string(n) + (n == 1 ? " player is" : " players are") + " connected.  (Max was " +
                    std::to_string(peak) + ")");
    return lines;
}

std::vector<std::string> modernWhoTableLines(const std::vector<WhoRow>& rows, std::size_t online, int peak) {
    std::vector<std::string> lines;
    lines.emplace_back("Name               On for Idle  Doing");
    for (const WhoRow& row : rows) {
        std::string line = padRight(row.name, 18) + " " + padLeft(formatOnFor(row.onFor), 6) + " " +
                           padLeft(formatIdle(row.idle), 4);
        if (!row.doing.empty())
            line += "  " + row.doing;
        lines.push_back(line);
    }
    const std::size_t shown = rows.size();
    lines.push_back(std::to_string(shown) + (shown == 1 ? " player" : " players") + " shown of " +
                    std::to_string(online) + " online (max connected is " + std::to_string(peak) + ").");
    return lines;
}

} // namespace practice_world
