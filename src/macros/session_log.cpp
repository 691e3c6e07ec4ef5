#include "macros/session_log.h"

#include "core/button_bars.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "core/status_view.h"
#include "core/text_codec.h"
#include "macros/ask_overwrite_append.h"
#include "platform/choosers.h"
#include "platform/prompts.h"

#include <array>
#include <ctime>
#include <filesystem>

namespace corvane {

namespace {
const char* const kLogFilter = "Text files (*.txt)|*.txt|Log files (*.log)|*.log|All files (*.*)|*.*";
const char* const kOpenCaption = "Open&Log";
const char* const kCloseCaption = "Close&Log";
} // namespace

SessionLog::SessionLog(Session& session, MainMenu& menu, ButtonBars& buttons, StatusView& status,
                       Choosers& choosers, Prompts& prompts, Timers& timers)
    : m_session(session)
    , m_menu(menu)
    , m_buttons(buttons)
    , m_status(status)
    , m_choosers(choosers)
    , m_prompts(prompts)
    , m_timers(timers) {}

SessionLog::~SessionLog() {
    if (m_messageTimer != 0) {
        m_timers.stop(m_messageTimer);
    }
}

void SessionLog::pressLogButton() {
    if (m_session.LogOpen) {
        close();
    } else {
        open();
    }
}

void SessionLog::close() {
    m_writer.close();
    m_session.LogOpen = false;
    m_status.setLabelVisible(StatusView::LogLabel, false);
    m_buttons.setCaption(Bar::Command, command_button::Log, kOpenCaption);
    m_menu.setEnabled(MenuItem::FileOpenLog, true);
    m_menu.setEnabled(MenuItem::FileCloseLog, false);
}

void SessionLog::open() {
    FileChoice choice;
    choice.title = "Open Log File";
    choice.filters = parseFileFilters(kLogFilter);
    choice.proposedName = "*.txt";
    // A name that does not exist yet starts a new log.
    choice.mustExist = false;
    const std::optional<std::string> path = m_choosers.chooseFile(choice);
    if (!path) {
        return;
    }
    m_session.LogOpen = false;
    const int result = AskOverwriteAppend(*path, m_writer, m_prompts);
    if (result == file_error::Cancelled || result == file_error::PathFileAccess) {
        return;
    }
    if (result != 0) {
        m_prompts.message(m_writer.lastError().description + " ( " + std::to_string(result) + ")",
                          *path, PromptIcon::Exclamation);
        return;
    }
    m_session.LogOpen = true;
    m_buttons.setCaption(Bar::Command, command_button::Log, kCloseCaption);
    m_menu.setEnabled(MenuItem::FileOpenLog, false);
    m_menu.setEnabled(MenuItem::FileCloseLog, true);
    m_status.setLabelText(StatusView::LogLabel, std::filesystem::path(*path).filename().string());
    m_status.setLabelVisible(StatusView::LogLabel, true);
}

void SessionLog::dumpOutput(const std::string& outputText) {
    if (!m_session.LogOpen) {
        pressLogButton();
    }
    if (m_session.LogOpen && !m_writer.write(encoded(outputText) + "\r\n")) {
        writeFailed();
    }
}

std::string SessionLog::encoded(const std::string& text) const {
    return chosen(PlayOption::Utf8Logs) ? text : Utf8ToCp1252KeepingOthers(text);
}

void SessionLog::writeLine(const std::string& line) {
    if (!m_session.LogOpen) {
        return;
    }
    std::string stamped;
    if (chosen(PlayOption::LogTimes) && m_clock != nullptr) {
        const std::time_t seconds = std::chrono::system_clock::to_time_t(m_clock->now());
        std::tm parts{};
        localtime_r(&seconds, &parts);
        std::array<char, 16> stamp{};
        std::strftime(stamp.data(), stamp.size(), "[%H:%M:%S] ", &parts);
        stamped = stamp.data();
    }
    if (!m_writer.writeLine(stamped + encoded(line))) {
        writeFailed();
    }
}

void SessionLog::writeFailed() {
    const std::string path = m_writer.path();
    const FileError error = m_writer.lastError();
    close();
    if (m_messageTimer != 0) {
        return;
    }
    // Lines are written while received text is being shown: tell the user
    // once that is over, not from the middle of it.
    m_messageTimer = m_timers.startSingleShot(std::chrono::milliseconds(0), [this, path, error] {
        m_messageTimer = 0;
        m_prompts.message("Corvane could not write to the log file\r" + path + "\r\r" + error.description +
                              ".\rThe log has been closed; the lines written before are kept.",
                          path, PromptIcon::Exclamation);
    });
}

} // namespace corvane
