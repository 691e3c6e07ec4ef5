#pragma once

#include "player.h"
#include "room.h"
#include "thing.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace practice_world {

// Every object of the world, addressed by database reference, and the one
// place that keeps rooms' contents in step with where objects are.
class Database {
public:
    Room& addRoom(Dbref ref, std::string name, std::string description);
    void addExit(Dbref from, std::vector<std::string> names, Dbref to);
    // The player starts at home.
    Player& addPlayer(Dbref ref, std::string name, std::string password, Dbref home);
    Thing& addThing(Dbref ref, std::string name, std::string description, Dbref location, bool listens);

    Room* room(Dbref ref);
    const Room* room(Dbref ref) const;
    Player* player(Dbref ref);
    const Player* player(Dbref ref) const;
    const Thing* thing(Dbref ref) const;
    // Exact name, any case.
    Player* findPlayer(std::string_view name);

    std::string nameOf(Dbref ref) const;
    // Moves a player to the front of the room's contents.
    void movePlayer(Dbref player, Dbref room);
    // A reference no object uses yet, above all existing ones.
    Dbref unusedRef() const;

    const std::map<Dbref, Player>& players() const { return m_players; }

private:
    void place(Dbref object, Dbref room);

    std::map<Dbref, Room> m_rooms;
    std::map<Dbref, Player> m_players;
    std::map<Dbref, Thing> m_things;
};

} // namespace practice_world
