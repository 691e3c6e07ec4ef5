#include "macros/macro_recorder.h"

#include "core/constants.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "platform/prompts.h"
#include "settings/settings.h"

namespace corvane {

MacroRecorder::MacroRecorder(Session& session, StatusLine& status, Prompts& prompts)
    : m_session(session)
    , m_status(status)
    , m_prompts(prompts) {}

bool MacroRecorder::startRecording(int macroIndex, const std::string& path) {
    PromptAnswer answer = PromptAnswer::Yes;
    if (FileExists(path)) {
        answer = m_prompts.ask("The Macro File:\r" + path +
                                   "\ralready exists.\r\rYES\tTo overwrite this file\rNO\tTo append to this "
                                   "file\rCANCEL\tTo Cancel\r",
                               "Corvane " + std::string(VersionText), PromptButtons::YesNoCancel,
                               PromptIcon::Exclamation, PromptAnswer::No);
        // The question box runs the event loop: the session may have ended meanwhile.
        if (answer == PromptAnswer::Cancel || !m_session.Connected) {
            return false;
        }
    }
    const FileError error = m_writer.open(path, answer == PromptAnswer::No ? TextFileWriter::Mode::Append
                                                                           : TextFileWriter::Mode::Truncate);
    if (error) {
        m_prompts.message("Error opening file " + path + "\rCheck file/path name.",
                          "ERROR " + std::to_string(error.number), PromptIcon::Exclamation);
        return false;
    }
    m_session.RecordingMacro = macroIndex;
    m_status.SetStatus(status::RecordingMacro);
    return true;
}

void MacroRecorder::close() {
    m_writer.close();
    m_session.RecordingMacro = -1;
}

void MacroRecorder::stopRecording() {
    close();
    m_status.SetStatus(m_session.Connected ? status::OnLine : status::OffLine);
}

void MacroRecorder::sessionEnded() {
    if (m_session.RecordingMacro < 0 && !m_writer.isOpen()) {
        return;
    }
    close();
    if (m_stopped) {
        m_stopped();
    }
}

void MacroRecorder::recordLine(const std::string& line) {
    if (m_writer.writeLine(Utf8ToCp1252KeepingOthers(line))) {
        return;
    }
    const FileError error = m_writer.lastError();
    const std::string path = m_writer.path();
    close();
    m_status.SetStatus(m_session.Connected ? status::OnLine : status::OffLine);
    if (m_stopped) {
        m_stopped();
    }
    m_prompts.message("Corvane could not write to the macro file\r" + path + "\r\r" + error.description +
                          ".\rThe recording has stopped; the lines recorded before are kept.",
                      "MACRO ERROR", PromptIcon::Exclamation);
}

} // namespace corvane
