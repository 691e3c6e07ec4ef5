#pragma once

#include "platform/clock.h"

#include <functional>
#include <optional>
#include <utility>

namespace corvane {

// Tells the world the output box's size in characters as it changes, at most
// once per half second: a window dragged wider would otherwise send a size
// for every pixel. The last size always goes out.
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
        sendPending();
        m_timer = m_timers.startSingleShot(kInterval, [this] {
            m_timer.reset();
            if (m_pending) {
                sizeChanged(m_pending->first, m_pending->second);
            }
        });
    }

private:
    void sendPending() {
        const auto [columns, rows] = *m_pending;
        m_pending.reset();
        m_send(columns, rows);
    }

    Timers& m_timers;
    Send m_send;
    std::optional<Timers::TimerId> m_timer;
    std::optional<std::pair<int, int>> m_pending;
};

} // namespace corvane
