#include "flood_text.h"

#include <algorithm>

namespace practice_world {

namespace {

const char* const kNames[] = {"Bob", "Alice", "Mirelle", "a goblin scout", "the old wizard", "Rover"};
const char* const kPlaces[] = {"Market Row", "the Gilded Lantern", "North Road", "the well", "the loft"};

std::string line(int i) {
    const std::string who = kNames[i % 6];
    const std::string where = kPlaces[(i / 6) % 5];
    const std::string n = std::to_string(i + 1);
    switch (i % 12) {
    case 0:
        return who + " says, \"Has anyone seen the dragon near " + where + "?\"";
    case 1:
        return "\x1b[1;31mA goblin slashes at you!\x1b[0m You lose " + std::to_string(3 + i % 7) +
               " hit points.";
    case 2:
        return "Item\tWeight\tValue\t(" + n + ")";
    case 3:
        return "Lantern\t2 lb\t" + std::to_string(10 + i % 40) + " gold";
    case 4:
        return who + " pages, \"Meet me at " + where + " with the treasure map.\" to you.";
    case 5:
        return "\x1b[33mThe wizard's lantern flickers, throwing long shadows across " + where + ".\x1b[0m";
    case 6:
        return "[OOC] " + who + ": brb, the dragon raid starts at eight";
    case 7:
        return "\x1b[32m" + who + "\x1b[0m has arrived.";
    case 8:
        return "You find " + std::to_string(1 + i % 20) + " gold coins among the goblin's treasure.";
    case 9:
        return "\x1b[1;34m<Guild>\x1b[0m " + who + " says, \"Bring a lantern, the well is dark.\"";
    case 10:
        return "HP: " + std::to_string(40 + i % 60) + "/100\tMP: " + std::to_string(i % 50) + "/50\tXP: " + n;
    default:
        return "Flood line " + n + ": the quick brown fox jumps over the lazy dog near " + where + ".";
    }
}

} // namespace

std::vector<std::string> floodLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        lines.push_back(line(i));
    return lines;
}

} // namespace practice_world
