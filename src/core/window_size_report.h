#pragma once

#include "platform/clock.h"

#include <functional>
#include <optional>
#include <utility>

namespace corvane {

// Tells the world the output box's size in characters as it changes, at most
// once per half second: a window dragged wider would otherwise send a size
// for every pixel. The last size always goes out. The first size waits that
// long too: it comes while the window is still being laid out (the box grows
// as the window is shown), and a world told a passing size keeps it.
class WindowSizeReport {
public:
    static constexpr std::chrono::milliseconds kInterval{500};
    using Send = std::function<void(int columns, int rows)>;

    WindowSizeReport(Timers& timers, Send send)
        : m_timers(timers)
        , m_send(std::move(send)) {}
    ~WindowSizeReport() {
        if (m_timer) {
            m_timers.stop(*m_timer);
        }
    }
    WindowSizeReport(const WindowSizeReport&) = delete;
    WindowSizeReport& operator=(const WindowSizeReport&) = delete;

    void sizeChanged(int columns, int rows) {
        m_pending = {columns, rows};
        if (m_timer) {
            return;
        }
        if (m_settled) {
            sendPending();
        }
        startTimer();
    }

private:
    void startTimer() {
        m_timer = m_timers.startSingleShot(kInterval, [this] {
            m_timer.reset();
            m_settled = true;
            if (m_pending) {
                sendPending();
                startTimer();
            }
        });
    }

    void sendPending() {
        const auto [columns, rows] = *m_pending;
        m_pending.reset();
        m_send(columns, rows);
    }

    Timers& m_timers;
    Send m_send;
    std::optional<Timers::TimerId> m_timer;
    std::optional<std::pair<int, int>> m_pending;
    bool m_settled = false;
};

} // namespace corvane
