#include "room/random_walk.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/main_menu.h"
#include "core/number_text.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "macros/ask_overwrite_append.h"
#include "platform/choosers.h"
#include "platform/prompts.h"
#include "platform/view_factory.h"
#include "room/exits_line.h"
#include "room/random_source.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace corvane {

namespace {

constexpr const char* kWalkLogFilter =
    "Walk files (walk*.log)|walk*.log|Text files (*.txt)|*.txt|All files (*.*)|*.*";

std::tm localTime(TimePoint when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    return parts;
}

std::string joinNumbers(int a, int b, int c, int width3, char separator) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%0*d", a, separator, b, separator, width3, c);
    return text;
}

} // namespace

RandomWalk::RandomWalk(Services services, std::function<void()> focusInput)
    : m_services(services)
    , m_focusInput(std::move(focusInput)) {}

RandomWalk::~RandomWalk() {
    if (m_timer) {
        m_services.timers.stop(*m_timer);
    }
    if (m_view) {
        m_view->setEvents(nullptr);
    }
}

std::string RandomWalk::LogDate(TimePoint when) {
    const std::tm parts = localTime(when);
    return joinNumbers(parts.tm_mon + 1, parts.tm_mday, parts.tm_year + 1900, 4, '-');
}

std::string RandomWalk::LogTime(TimePoint when) {
    const std::tm parts = localTime(when);
    return joinNumbers(parts.tm_hour, parts.tm_min, parts.tm_sec, 2, ':');
}

int RandomWalk::DrawDirection(RandomSource& random) {
    int d = static_cast<int>(random.next() * 7) + 1;
    if (d == 7) {
        d = static_cast<int>(random.next() * 6) + 1 + 6;
    }
    return d - 1;
}

void RandomWalk::GameWalk() {
    if (m_services.menu.checked(MenuItem::GameWalk)) {
        close();
        return;
    }
    m_services.menu.setChecked(MenuItem::GameWalk, true);
    m_services.menu.setEnabled(MenuItem::GameIdle, false);
    m_services.status.SetStatus(status::RandomWalk);
    open();
}

void RandomWalk::open() {
    if (!m_view) {
        m_view = m_services.views.createWalkView();
        m_view->setEvents(this);
    }
    // The window is reused; each walk starts from the design state.
    m_view->setCaption("Random Walk");
    m_view->setIntervalText("5");
    m_view->setIntervalVisible(true);
    m_view->setWalkButtonCaption("Start &Walk");
    m_view->setPrompt("Enter time interval:", false);
    m_view->setNote("(From 5 to 3600 seconds;\n-1 for random intervals)");
    m_view->setTopmost(true);
    m_open = true;
    m_elapsed = 0;
    m_wait = 0;
    m_interval = 0;
    m_direction = 0;
    m_lastMove = kDirections[0];
    m_lastRoom = m_services.session.RoomName;
    if (!m_timer) {
        m_timer = m_services.timers.startRepeating(std::chrono::seconds(1), [this] { tick(); });
    }
    openLog();
    if (m_open) {
        m_view->showWindow();
    }
}

void RandomWalk::openLog() {
    const PromptAnswer save =
        m_services.prompts.ask("Save your moves to a file?", "LOG WALK", PromptButtons::YesNo,
                               PromptIcon::Question, PromptAnswer::Yes);
    if (save != PromptAnswer::Yes || !m_open) {
        return;
    }
    FileChoice choice;
    choice.title = "Open Walk Log File";
    choice.filters = parseFileFilters(kWalkLogFilter);
    choice.proposedName = "walk001.log";
    // Cancelling the chooser means no log: nothing is written where the user did not say.
    const std::optional<std::string> path = m_services.choosers.chooseFile(choice);
    if (!path || path->empty() || !m_open) {
        return;
    }
    const int result = AskOverwriteAppend(*path, m_log, m_services.prompts);
    if (result == file_error::Cancelled) {
        return;
    }
    if (result != 0) {
        m_services.prompts.message(m_log.lastError().description + " (" + FormatNumber(result) + ")",
                                   *path, PromptIcon::Exclamation);
        return;
    }
    const TimePoint now = m_services.clock.now();
    writeLog("You began a Random Walk on " + LogDate(now) + " at " + LogTime(now));
    if (!m_services.session.RoomName.empty()) {
        writeLog("You started out in " + m_services.session.RoomName +
                 " (DB Ref:" + FormatNumber(m_services.session.RoomRef) + ")");
    }
}

void RandomWalk::writeLog(const std::string& line) {
    if (!m_log.isOpen() || m_log.writeLine(line)) {
        return;
    }
    // The writer has closed the file; say so once and walk on without it.
    m_services.prompts.message(m_log.lastError().description + " (" + FormatNumber(m_log.lastError().number) +
                                   ")",
                               m_log.path(), PromptIcon::Exclamation);
}

void RandomWalk::onWalkButton() {
    if (!m_open) {
        return;
    }
    if (m_interval != 0) {
        close();
        return;
    }
    startWalking();
}

void RandomWalk::startWalking() {
    const double v = NumericValue(m_view->intervalText());
    if (!((v >= 5 && v <= 3600) || v == -1)) {
        m_services.prompts.message("The time interval must be between\r5 seconds and 3600 seconds (1 hour).",
                                   "ERROR", PromptIcon::Exclamation);
        return;
    }
    m_interval = v;
    m_wait = v;
    m_view->setWalkButtonCaption("End &Walk");
    m_view->setIntervalVisible(false);
    m_view->setPrompt({}, true);
    m_view->setNote({});
}

void RandomWalk::tick() {
    // A failed send shows a box whose event loop lets the timer fire again.
    if (!m_open || m_interval == 0 || m_inTick) {
        return;
    }
    m_inTick = true;
    ++m_elapsed;
    if (m_elapsed >= m_wait) {
        move();
    } else {
        m_view->setPrompt("Waiting" + FormatNumber(m_wait - m_elapsed) + " seconds.", true);
    }
    const Session& session = m_services.session;
    if (m_open && m_log.isOpen() && session.RoomName != m_lastRoom) {
        m_lastRoom = session.RoomName;
        writeLog("You went " + m_lastMove + " to " +
                 session.RoomName + " (DB Ref:" + FormatNumber(session.RoomRef) + ")");
    }
    m_inTick = false;
}

void RandomWalk::move() {
    if (!m_exitsLine.empty()) {
        m_knownExits = ParseExitsLine(m_exitsLine).value_or(std::vector<std::string>());
        m_exitsLine.clear();
    }
    std::string direction;
    if (m_knownExits.empty()) {
        m_direction = DrawDirection(m_services.random);
        direction = kDirections[static_cast<std::size_t>(m_direction)];
    } else {
        const auto pick = static_cast<std::size_t>(m_services.random.next() * static_cast<double>(m_knownExits.size()));
        direction = m_knownExits[std::min(pick, m_knownExits.size() - 1)];
    }
    m_lastMove = direction;
    // Never onto a connection that is gone: the walk ends with the session.
    if (m_services.session.Connected) {
        m_services.sender.SendCommand(direction + std::string(NewLine));
        if (!m_open) {
            return;
        }
    }
    m_view->setCaption("Random Walk (" + direction + ")");
    m_view->setNote("Last move: " + direction);
    if (m_interval == -1) {
        m_wait = static_cast<int>(m_services.random.next() * 55) + 1 + 5;
    }
    m_elapsed = 0;
}

void RandomWalk::onCancel() {
    close();
}

void RandomWalk::close() {
    ended(true);
}

void RandomWalk::onClosed() {
    ended(false);
}

void RandomWalk::ended(bool hideWindow) {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_interval = 0;
    if (m_timer) {
        m_services.timers.stop(*m_timer);
        m_timer.reset();
    }
    if (m_log.isOpen()) {
        const TimePoint now = m_services.clock.now();
        writeLog("You ended your walk on " + LogDate(now) + " at " + LogTime(now));
        m_log.close();
    }
    m_view->setTopmost(false);
    if (hideWindow) {
        m_view->hideWindow();
    }
    m_services.menu.setChecked(MenuItem::GameWalk, false);
    m_services.menu.setEnabled(MenuItem::GameIdle, true);
    // The walk also ends with the connection: the status line says which.
    m_services.status.SetStatus(m_services.session.Connected ? status::OnLine : status::OffLine);
    if (m_focusInput) {
        m_focusInput();
    }
}

void RandomWalk::onMinimisedChanged(bool minimised) {
    if (!m_open) {
        return;
    }
    m_view->setTopmost(!minimised);
    if (minimised && m_focusInput) {
        m_focusInput();
    }
}

} // namespace corvane
