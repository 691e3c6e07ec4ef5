#pragma once

#include "platform/clock.h"

#include <deque>
#include <map>
#include <string>

namespace corvane {

// Keeps a trigger that answers its own sends from flooding a world: at most
// 20 trigger-sent lines a second and 200 a minute per world. Past either the
// world's triggers stop sending until resume().
class SendLimiter {
public:
    static constexpr std::size_t kPerSecond = 20;
    static constexpr std::size_t kPerMinute = 200;
    enum class Verdict { Send, Stopped, JustStopped };

    explicit SendLimiter(const Clock& clock)
        : m_clock(clock) {}

    // Counts one line about to be sent for the world; JustStopped the first
    // time it is refused.
    Verdict allow(const std::string& world);
    bool stopped(const std::string& world) const;
    // Which limit stopped the world (its message names it).
    bool stoppedByMinute(const std::string& world) const;
    void resumeAll() { m_worlds.clear(); }

private:
    struct World {
        std::deque<TimePoint> sent;
        bool stopped = false;
        bool byMinute = false;
    };
    const Clock& m_clock;
    std::map<std::string, World> m_worlds;
};

} // namespace corvane
