#pragma once

#include "platform/clock.h"

#include <chrono>
#include <cstddef>
#include <functional>

namespace corvane {

// Received text reaches the window at most once per interval (0: at once), so
// a flood is drawn a frame at a time instead of line by line. After a frame
// that scrolled a whole screen the next one waits the flood interval (if
// longer): nobody reads a flood line by line, and drawing less often leaves
// the time to answer typing and the server. A line after a quiet spell shows
// at once.
class OutputFrames {
public:
    // `draw` puts what waits on screen and returns how many lines it added;
    // `screenRows` is how many rows the window shows.
    OutputFrames(Clock& clock, Timers& timers, std::function<std::size_t()> draw,
                 std::function<int()> screenRows);

    void setIntervals(std::chrono::milliseconds interval, std::chrono::milliseconds floodInterval);
    // New text waits to be drawn.
    void changed();
    // Draws now, whatever the frame.
    void drawNow();

private:
    Clock& m_clock;
    Timers& m_timers;
    std::function<std::size_t()> m_draw;
    std::function<int()> m_screenRows;
    std::chrono::milliseconds m_interval{0};
    std::chrono::milliseconds m_floodInterval{0};
    // The last frame scrolled at least a screenful.
    bool m_floodFrame = false;
    TimePoint m_lastDrawn{};
    bool m_scheduled = false;
};

} // namespace corvane
