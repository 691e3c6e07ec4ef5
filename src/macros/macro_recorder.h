#pragma once

#include "core/input_line.h"
#include "core/text_file_writer.h"

#include <functional>
#include <string>

namespace corvane {

struct Session;
class StatusLine;
class Prompts;

// Records every line typed into the input line into a macro file while a
// recording runs. The file is flushed line by line and has a handle of its
// own, so playing a macro or uploading meanwhile never touches it.
class MacroRecorder : public CommandRecorder {
public:
    MacroRecorder(Session& session, StatusLine& status, Prompts& prompts);

    // Asks before overwriting an existing file; false when the user cancelled
    // or the file could not be opened (the user has been told).
    bool startRecording(int macroIndex, const std::string& path);
    // Closes the file; every line recorded so far is in it.
    void stopRecording();
    // The connection ended: the file is closed, nothing is said.
    void sessionEnded();
    bool recording() const { return m_writer.isOpen(); }
    // Called whenever a recording stops by itself (write failure, session end).
    void setStoppedHook(std::function<void()> hook) { m_stopped = std::move(hook); }

    void recordLine(const std::string& line) override;

private:
    void close();

    Session& m_session;
    StatusLine& m_status;
    Prompts& m_prompts;
    TextFileWriter m_writer;
    std::function<void()> m_stopped;
};

} // namespace corvane
