#pragma once

#include "delivery.h"
#include "sessions.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace practice_world {

// Collects what one command says: the caller's own answer, kept apart so it can
// be framed, and lines for other players, which go out as events.
class Outbox {
public:
    explicit Outbox(const Sessions& sessions);

    // One line of the caller's answer; the line end is added here.
    void reply(std::string_view line);
    // Part of the caller's answer exactly as given, line ends included.
    void replyRaw(std::string_view bytes);
    // One line for every connection of `player`, outside any frame.
    void tell(Dbref player, std::string_view line);

    const std::string& replyText() const { return m_reply; }
    std::vector<Delivery> takeEvents();

private:
    const Sessions& m_sessions;
    std::string m_reply;
    // Per connection, so one command's lines to a connection stay together and in order.
    std::map<ConnectionId, std::string> m_events;
};

} // namespace practice_world
