#include "shell/play_habits.h"

#include "core/constants.h"
#include "core/line_processor.h"
#include "core/session.h"
#include "core/status_line.h"
#include "settings/client_settings.h"

namespace corvane {

namespace {

// The log-in line carries the password: it is never echoed.
bool carriesPassword(const std::string& line) {
    return line.rfind("connect ", 0) == 0 || line.rfind("CONNECT ", 0) == 0;
}

// One line for the status line: line ends and trailing blanks go.
std::string oneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        line += (c == '\r' || c == '\n') ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

} // namespace

PlayHabits::PlayHabits(Parts parts)
    : m_parts(std::move(parts)) {}

PlayHabits::~PlayHabits() {
    if (m_noticeTimer != 0) {
        m_parts.timers.stop(m_noticeTimer);
    }
}

void PlayHabits::lineSent(const std::string& line) {
    if (!m_parts.settings.Play[PlayOption::ShowSent] || carriesPassword(line)) {
        return;
    }
    if (m_parts.settings.Play[PlayOption::SentInColour] && m_parts.showColoured) {
        m_parts.showColoured(line, m_parts.settings.Play.sentColour);
    } else {
        m_parts.showOutput(line + std::string(NewLine));
    }
    if (m_parts.session.LogOpen) {
        m_parts.log.writeLine(line);
    }
}

bool PlayHabits::quietNotice(const std::string& text) {
    if (!m_parts.settings.Play[PlayOption::QuietNotices]) {
        return false;
    }
    passingNotice(text);
    return true;
}

void PlayHabits::passingNotice(const std::string& text) {
    if (m_noticeTimer != 0) {
        m_parts.timers.stop(m_noticeTimer);
    }
    m_parts.status.Flash(oneLine(text));
    m_noticeTimer = m_parts.timers.startSingleShot(kNoticeTime, [this] {
        m_noticeTimer = 0;
        m_parts.status.Restore();
    });
}

} // namespace corvane
