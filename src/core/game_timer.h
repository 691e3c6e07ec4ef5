#pragma once

#include "platform/clock.h"

#include <functional>
#include <string>

namespace corvane {

struct Session;
class StatusLine;
class StatusView;
class MainMenu;
class CommandSender;

// The one-second timer's three jobs: the game clock, the lag meter (seconds a
// command has waited for the start of its reply) and idle mode's keep-alive.
class GameTimer {
public:
    struct Hooks {
        // Idle switched on or off: the notice "Begin Idle." / "End Idle.".
        std::function<void(const std::string& text)> notice;
    };

    GameTimer(Session& session, StatusLine& status, StatusView& labels, MainMenu& menu, CommandSender& sender,
              Clock& clock);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    // Every second, always running.
    void tick();

    // View > "Game Time" or a double-click on the clock label.
    void toggleGameClock();
    // View > "Lag Counter" or a double-click on the lag label (only while enabled).
    void toggleLagCounter();
    // A click on the lag label while the meter is on.
    void resetLagMeter();
    // Game > "Idle".
    void toggleIdle();

    // The log-in: the clock counts from now.
    void startClock();
    bool clockOn() const { return m_clockSeconds >= 0; }
    TimePoint ClockStart() const { return m_clockStart; }

private:
    Session& m_session;
    StatusLine& m_status;
    StatusView& m_labels;
    MainMenu& m_menu;
    CommandSender& m_sender;
    Clock& m_clock;
    Hooks m_hooks;
    // -1 while the clock is off.
    int m_clockSeconds = -1;
    TimePoint m_clockStart{};
    int m_idleCount = 0;
};

} // namespace corvane
