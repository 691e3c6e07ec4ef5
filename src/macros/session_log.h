#pragma once

#include "core/line_processor.h"
#include "core/text_file_writer.h"
#include "platform/clock.h"
#include "settings/play_options.h"

#include <functional>
#include <string>

namespace corvane {

struct Session;
class MainMenu;
class ButtonBars;
class StatusView;
class Choosers;
class Prompts;

// The session log: every line shown in the output window goes to a text
// file, CR LF, flushed line by line so it can be read while the session runs.
// Opened and closed by the log button of the command bar (and the File menu
// items that press it); the dump writes the whole output text into it.
class SessionLog : public LogWriter {
public:
    SessionLog(Session& session, MainMenu& menu, ButtonBars& buttons, StatusView& status, Choosers& choosers,
               Prompts& prompts, Timers& timers);
    ~SessionLog() override;
    SessionLog(const SessionLog&) = delete;
    SessionLog& operator=(const SessionLog&) = delete;

    // The log button: opens a log (asking for the file) or closes the open one.
    void pressLogButton();
    // "&Save Output box to File": asks for a log first when none is open.
    void dumpOutput(const std::string& outputText);
    void close();

    void writeLine(const std::string& line) override;
    // The log's form: UTF-8 or Windows-1252, with or without a time stamp.
    void setOptions(const PlayOptions* options, const Clock* clock) {
        m_options = options;
        m_clock = clock;
    }

private:
    bool chosen(PlayOption option) const { return m_options != nullptr && (*m_options)[option]; }
    std::string encoded(const std::string& text) const;
    void open();
    void writeFailed();

    Session& m_session;
    MainMenu& m_menu;
    ButtonBars& m_buttons;
    StatusView& m_status;
    Choosers& m_choosers;
    Prompts& m_prompts;
    Timers& m_timers;
    TextFileWriter m_writer;
    Timers::TimerId m_messageTimer = 0;
    const PlayOptions* m_options = nullptr;
    const Clock* m_clock = nullptr;
};

} // namespace corvane
