#include "core/game_timer.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/status_view.h"

#include <cstdio>

namespace corvane {

namespace {

// "hh:mm" of a duration, wrapping after a day as a time of day does.
std::string hoursMinutes(std::chrono::system_clock::duration elapsed) {
    constexpr long long minutesPerDay = 24LL * 60;
    const long long minutes = std::chrono::duration_cast<std::chrono::minutes>(elapsed).count();
    const long long wrapped = ((minutes % minutesPerDay) + minutesPerDay) % minutesPerDay;
    char text[8];
    std::snprintf(text, sizeof text, "%02lld:%02lld", wrapped / 60, wrapped % 60);
    return text;
}

std::string lagText(int seconds) {
    return "Current Lag: " + std::to_string(seconds) + " secs";
}

} // namespace

GameTimer::GameTimer(Session& session, StatusLine& status, StatusView& labels, MainMenu& menu,
                     CommandSender& sender, Clock& clock)
    : m_session(session)
    , m_status(status)
    , m_labels(labels)
    , m_menu(menu)
    , m_sender(sender)
    , m_clock(clock) {}

void GameTimer::tick() {
    if (m_clockSeconds >= 0) {
        ++m_clockSeconds;
        if (m_clockSeconds >= 60) {
            m_clockSeconds = 0;
            m_labels.setLabelText(StatusView::ClockLabel,
                                  "Game Time: " + hoursMinutes(m_clock.now() - m_clockStart));
        }
    }
    if (m_session.PendingReplies > 0 && m_session.LagMeterOn) {
        const int lag = ++m_session.LagSeconds;
        if (lag == 30) {
            m_labels.setLabelColours(StatusView::LagLabel, colours::Black, colours::Yellow);
        }
        if (lag >= 60) {
            if (lag % 3 == 0) {
                m_labels.setLabelColours(StatusView::LagLabel, colours::White, colours::Black);
            } else {
                m_labels.setLabelColours(StatusView::LagLabel, colours::Black, colours::White);
            }
        }
        m_labels.setLabelText(StatusView::LagLabel, lagText(lag));
    }
    if (m_menu.checked(MenuItem::GameIdle)) {
        if (m_idleCount >= 60) {
            m_idleCount = 0;
            m_sender.SendCommand(std::string(NewLine));
            m_status.SetStatus(status::IdleSent);
        } else {
            ++m_idleCount;
        }
    }
}

void GameTimer::startClock() {
    m_clockStart = m_clock.now();
}

void GameTimer::toggleGameClock() {
    // The check mark decides, so the log-in can clear it to switch the clock on.
    if (!m_menu.checked(MenuItem::ViewTimer)) {
        m_clockSeconds = 0;
        m_clockStart = m_clock.now();
        m_menu.setChecked(MenuItem::ViewTimer, true);
        m_labels.setLabelText(StatusView::ClockLabel, "Game Time: 00:00");
    } else {
        m_clockSeconds = -1;
        m_menu.setChecked(MenuItem::ViewTimer, false);
        m_labels.setLabelText(StatusView::ClockLabel, "Game Time: hh:mm");
    }
}

void GameTimer::toggleLagCounter() {
    if (!m_menu.enabled(MenuItem::ViewLagCounter)) {
        return;
    }
    // The check mark decides, as for the clock: the session reset clears
    // LagMeterOn before it runs this toggle to switch the meter off.
    if (m_menu.checked(MenuItem::ViewLagCounter)) {
        m_session.PendingReplies = 0;
        m_session.LagSeconds = 0;
        m_labels.setLabelColours(StatusView::LagLabel, colours::Grey, colours::LightGrey);
        m_session.LagMeterOn = false;
        m_menu.setChecked(MenuItem::ViewLagCounter, false);
    } else {
        m_labels.setLabelColours(StatusView::LagLabel, colours::Black, colours::LightGrey);
        m_session.LagMeterOn = true;
        m_menu.setChecked(MenuItem::ViewLagCounter, true);
    }
}

void GameTimer::resetLagMeter() {
    if (!m_session.LagMeterOn) {
        return;
    }
    m_session.PendingReplies = 0;
    m_session.LagSeconds = 0;
    m_labels.setLabelColours(StatusView::LagLabel, colours::Black, colours::LightGrey);
    m_labels.setLabelText(StatusView::LagLabel, "Current lag: ");
}

void GameTimer::toggleIdle() {
    if (!m_menu.checked(MenuItem::GameIdle)) {
        m_menu.setChecked(MenuItem::GameIdle, true);
        m_menu.setEnabled(MenuItem::GameWalk, false);
        m_status.SetStatus(status::Idle);
        m_idleCount = 0;
        if (m_hooks.notice) {
            m_hooks.notice("Begin Idle.");
        }
    } else {
        m_menu.setChecked(MenuItem::GameIdle, false);
        m_menu.setEnabled(MenuItem::GameWalk, true);
        m_status.SetStatus(status::OnLine);
        if (m_hooks.notice) {
            m_hooks.notice("End Idle.");
        }
    }
}

} // namespace corvane
