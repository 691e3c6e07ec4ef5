#pragma once

#include <chrono>
#include <functional>

namespace corvane {

using TimePoint = std::chrono::system_clock::time_point;

// Wall-clock time, so the game clock and walk logs can be tested on a fake clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

// Timers on the UI thread's event loop. Callbacks never run re-entrantly inside
// the call that scheduled them.
class Timers {
public:
    using TimerId = int;
    virtual ~Timers() = default;
    virtual TimerId startRepeating(std::chrono::milliseconds interval, std::function<void()> callback) = 0;
    virtual TimerId startSingleShot(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
    virtual void stop(TimerId id) = 0;
    // Runs the callback once, as soon as the event loop is idle.
    void post(std::function<void()> callback) { startSingleShot(std::chrono::milliseconds(0), std::move(callback)); }
};

} // namespace corvane
