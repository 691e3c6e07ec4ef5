#include "rules/send_limiter.h"

#include <algorithm>

namespace corvane {

SendLimiter::Verdict SendLimiter::allow(const std::string& world) {
    World& state = m_worlds[world];
    if (state.stopped) {
        return Verdict::Stopped;
    }
    const TimePoint now = m_clock.now();
    while (!state.sent.empty() && now - state.sent.front() >= std::chrono::minutes(1)) {
        state.sent.pop_front();
    }
    const auto lastSecond = static_cast<std::size_t>(
        std::count_if(state.sent.begin(), state.sent.end(),
                      [&now](TimePoint at) { return now - at < std::chrono::seconds(1); }));
    if (lastSecond >= kPerSecond || state.sent.size() >= kPerMinute) {
        state.stopped = true;
        state.byMinute = lastSecond < kPerSecond;
        state.sent.clear();
        return Verdict::JustStopped;
    }
    state.sent.push_back(now);
    return Verdict::Send;
}

bool SendLimiter::stopped(const std::string& world) const {
    const auto found = m_worlds.find(world);
    return found != m_worlds.end() && found->second.stopped;
}

bool SendLimiter::stoppedByMinute(const std::string& world) const {
    const auto found = m_worlds.find(world);
    return found != m_worlds.end() && found->second.byMinute;
}

} // namespace corvane
