#include "core/output_frames.h"

#include <algorithm>

namespace corvane {

OutputFrames::OutputFrames(Clock& clock, Timers& timers, std::function<std::size_t()> draw,
                           std::function<int()> screenRows)
    : m_clock(clock)
    , m_timers(timers)
    , m_draw(std::move(draw))
    , m_screenRows(std::move(screenRows)) {}

void OutputFrames::setIntervals(std::chrono::milliseconds interval, std::chrono::milliseconds floodInterval) {
    m_interval = interval;
    m_floodInterval = std::max(interval, floodInterval);
}

void OutputFrames::changed() {
    const std::chrono::milliseconds interval = m_floodFrame ? m_floodInterval : m_interval;
    if (interval.count() == 0) {
        drawNow();
        return;
    }
    if (m_scheduled) {
        return;
    }
    const auto since = m_clock.now() - m_lastDrawn;
    if (since >= interval || since < std::chrono::milliseconds(0)) {
        drawNow();
        return;
    }
    m_scheduled = true;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(interval - since);
    m_timers.startSingleShot(wait, [this] {
        m_scheduled = false;
        drawNow();
    });
}

void OutputFrames::drawNow() {
    const std::size_t lines = m_draw();
    m_floodFrame = lines >= static_cast<std::size_t>(std::max(m_screenRows(), 1));
    m_lastDrawn = m_clock.now();
}

} // namespace corvane
