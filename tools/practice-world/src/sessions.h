#pragma once

#include "session.h"

#include <chrono>
#include <map>
#include <vector>

namespace practice_world {

// The open connections, and the questions asked of them by player: is Bob
// awake, how long idle, since when online.
class Sessions {
public:
    Session& open(ConnectionId id, WallTime now);
    void close(ConnectionId id);
    Session* find(ConnectionId id);

    std::vector<ConnectionId> connectionsOf(Dbref player) const;
    bool isAwake(Dbref player) const;
    // Since the player's most recent input on any connection.
    std::chrono::seconds idleOf(Dbref player, WallTime now) const;
    // Since the player's earliest connection that is still open.
    std::chrono::seconds onlineFor(Dbref player, WallTime now) const;
    // Each logged-in player once, in the order they came online.
    std::vector<Dbref> playersOnline() const;

    // Call after a login; remembers the most players ever on at once.
    void notePeak();
    int peak() const { return m_peak; }

private:
    std::map<ConnectionId, Session> m_sessions;
    int m_peak = 0;
};

} // namespace practice_world
