#include "reply_queue.h"

namespace practice_world {

void ReplyQueue::push(ConnectionId to, std::string text, Time due, bool closeAfter) {
    Queue& queue = m_queues[to];
    queue.bytes += text.size();
    queue.items.push_back(Pending{due, Item{to, std::move(text), closeAfter}});
}

std::optional<ReplyQueue::Time> ReplyQueue::nextDue() const {
    std::optional<Time> next;
    for (const auto& [id, queue] : m_queues) {
        // Only the head counts: items behind it wait for it whatever their own time.
        if (!next || queue.items.front().due < *next)
            next = queue.items.front().due;
    }
    return next;
}

std::vector<ReplyQueue::Item> ReplyQueue::takeDue(Time now) {
    std::vector<Item> ready;
    for (auto it = m_queues.begin(); it != m_queues.end();) {
        Queue& queue = it->second;
        while (!queue.items.empty() && queue.items.front().due <= now) {
            queue.bytes -= queue.items.front().item.text.size();
            ready.push_back(std::move(queue.items.front().item));
            queue.items.pop_front();
        }
        it = queue.items.empty() ? m_queues.erase(it) : std::next(it);
    }
    return ready;
}

std::size_t ReplyQueue::bytesHeld(ConnectionId id) const {
    auto it = m_queues.find(id);
    return it == m_queues.end() ? 0 : it->second.bytes;
}

void ReplyQueue::forget(ConnectionId id) {
    m_queues.erase(id);
}

} // namespace practice_world
