#include "database.h"

#include "text_format.h"

#include <algorithm>

namespace practice_world {

Room& Database::addRoom(Dbref ref, std::string name, std::string description) {
    Room& room = m_rooms[ref];
    room.ref = ref;
    room.name = std::move(name);
    room.description = std::move(description);
    return room;
}

void Database::addExit(Dbref from, std::vector<std::string> names, Dbref to) {
    m_rooms.at(from).exits.push_back(Room::Exit{std::move(names), to});
}

Player& Database::addPlayer(Dbref ref, std::string name, std::string password, Dbref home) {
    Player& player = m_players[ref];
    player.ref = ref;
    player.name = std::move(name);
    player.password = std::move(password);
    player.home = home;
    place(ref, home);
    player.location = home;
    return player;
}

Thing& Database::addThing(Dbref ref, std::string name, std::string description, Dbref location,
                          bool listens) {
    Thing& thing = m_things[ref];
    thing.ref = ref;
    thing.name = std::move(name);
    thing.description = std::move(description);
    thing.location = location;
    thing.listens = listens;
    place(ref, location);
    return thing;
}

Room* Database::room(Dbref ref) {
    auto it = m_rooms.find(ref);
    return it == m_rooms.end() ? nullptr : &it->second;
}

const Room* Database::room(Dbref ref) const {
    auto it = m_rooms.find(ref);
    return it == m_rooms.end() ? nullptr : &it->second;
}

Player* Database::player(Dbref ref) {
    auto it = m_players.find(ref);
    return it == m_players.end() ? nullptr : &it->second;
}

const Player* Database::player(Dbref ref) const {
    auto it = m_players.find(ref);
    return it == m_players.end() ? nullptr : &it->second;
}

const Thing* Database::thing(Dbref ref) const {
    auto it = m_things.find(ref);
    return it == m_things.end() ? nullptr : &it->second;
}

Player* Database::findPlayer(std::string_view name) {
    for (auto& [ref, player] : m_players) {
        if (equalsIgnoreCase(player.name, name))
            return &player;
    }
    return nullptr;
}

std::string Database::nameOf(Dbref ref) const {
    if (const Player* p = player(ref))
        return p->name;
    if (const Thing* t = thing(ref))
        return t->name;
    if (const Room* r = room(ref))
        return r->name;
    return "*NOTHING*";
}

void Database::movePlayer(Dbref playerRef, Dbref roomRef) {
    Player& p = m_players.at(playerRef);
    if (Room* old = room(p.location)) {
        auto& contents = old->contents;
        contents.erase(std::remove(contents.begin(), contents.end(), playerRef), contents.end());
    }
    place(playerRef, roomRef);
    p.location = roomRef;
}

Dbref Database::unusedRef() const {
    Dbref highest = 0;
    if (!m_rooms.empty())
        highest = std::max(highest, m_rooms.rbegin()->first);
    if (!m_players.empty())
        highest = std::max(highest, m_players.rbegin()->first);
    if (!m_things.empty())
        highest = std::max(highest, m_things.rbegin()->first);
    return highest + 1;
}

void Database::place(Dbref object, Dbref roomRef) {
    auto& contents = m_rooms.at(roomRef).contents;
    contents.insert(contents.begin(), object);
}

} // namespace practice_world
