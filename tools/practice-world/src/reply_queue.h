#pragma once

#include "types.h"

#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace practice_world {

// Holds each connection's own replies until they are due, in the order they
// were made: a reply never overtakes an earlier one to the same connection,
// and a slow (lagged) connection never holds up another.
class ReplyQueue {
public:
    using Time = std::chrono::steady_clock::time_point;

    struct Item {
        ConnectionId to = 0;
        std::string text;
        // The connection closes once this text is out (QUIT).
        bool closeAfter = false;
    };

    void push(ConnectionId to, std::string text, Time due, bool closeAfter = false);
    // When the next item falls due, if any is waiting.
    std::optional<Time> nextDue() const;
    // Every item due by `now`, oldest first per connection.
    std::vector<Item> takeDue(Time now);
    bool holds(ConnectionId id) const { return m_queues.contains(id); }
    std::size_t bytesHeld(ConnectionId id) const;
    void forget(ConnectionId id);

private:
    struct Pending {
        Time due;
        Item item;
    };

    struct Queue {
        std::deque<Pending> items;
        std::size_t bytes = 0;
    };

    std::map<ConnectionId, Queue> m_queues;
};

} // namespace practice_world
