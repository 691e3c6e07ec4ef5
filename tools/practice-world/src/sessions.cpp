#include "sessions.h"

#include <algorithm>

namespace practice_world {

using std::chrono::duration_cast;
using std::chrono::seconds;

Session& Sessions::open(ConnectionId id, WallTime now) {
    Session& s = m_sessions[id];
    s = Session{};
    s.id = id;
    s.openedAt = now;
    s.lastInput = now;
    return s;
}

void Sessions::close(ConnectionId id) {
    m_sessions.erase(id);
}

Session* Sessions::find(ConnectionId id) {
    auto it = m_sessions.find(id);
    return it == m_sessions.end() ? nullptr : &it->second;
}

std::vector<ConnectionId> Sessions::connectionsOf(Dbref player) const {
    std::vector<ConnectionId> ids;
    for (const auto& [id, s] : m_sessions) {
        if (s.player == player)
            ids.push_back(id);
    }
    return ids;
}

bool Sessions::isAwake(Dbref player) const {
    return std::any_of(m_sessions.begin(), m_sessions.end(),
                       [player](const auto& entry) { return entry.second.player == player; });
}

seconds Sessions::idleOf(Dbref player, WallTime now) const {
    WallTime latest{};
    for (const auto& [id, s] : m_sessions) {
        if (s.player == player)
            latest = std::max(latest, s.lastInput);
    }
    return duration_cast<seconds>(now - latest);
}

seconds Sessions::onlineFor(Dbref player, WallTime now) const {
    WallTime earliest = WallTime::max();
    for (const auto& [id, s] : m_sessions) {
        if (s.player == player)
            earliest = std::min(earliest, s.loggedInAt);
    }
    return earliest == WallTime::max() ? seconds(0) : duration_cast<seconds>(now - earliest);
}

std::vector<Dbref> Sessions::playersOnline() const {
    std::vector<std::pair<WallTime, Dbref>> firstLogins;
    for (const auto& [id, s] : m_sessions) {
        if (!s.player)
            continue;
        const Dbref player = *s.player;
        auto same = std::find_if(firstLogins.begin(), firstLogins.end(),
                                 [player](const auto& entry) { return entry.second == player; });
        if (same == firstLogins.end())
            firstLogins.emplace_back(s.loggedInAt, player);
        else
            same->first = std::min(same->first, s.loggedInAt);
    }
    // Stable so that logins within the same second keep connection order.
    std::stable_sort(firstLogins.begin(), firstLogins.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Dbref> players;
    players.reserve(firstLogins.size());
    for (const auto& entry : firstLogins)
        players.push_back(entry.second);
    return players;
}

void Sessions::notePeak() {
    m_peak = std::max(m_peak, static_cast<int>(playersOnline().size()));
}

} // namespace practice_world
