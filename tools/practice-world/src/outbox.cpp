#include "outbox.h"

namespace practice_world {

Outbox::Outbox(const Sessions& sessions)
    : m_sessions(sessions) {}

void Outbox::reply(std::string_view line) {
    m_reply += line;
    m_reply += "\r\n";
}

void Outbox::replyRaw(std::string_view bytes) {
    m_reply += bytes;
}

void Outbox::tell(Dbref player, std::string_view line) {
    for (ConnectionId id : m_sessions.connectionsOf(player)) {
        std::string& text = m_events[id];
        text += line;
        text += "\r\n";
    }
}

std::vector<Delivery> Outbox::takeEvents() {
    std::vector<Delivery> events;
    for (auto& [id, text] : m_events)
        events.push_back(Delivery{id, std::move(text), Delivery::Kind::Event});
    m_events.clear();
    return events;
}

} // namespace practice_world
