#include "macros/file_sender.h"

#include "core/command_sender.h"
#include "core/constants.h"
#include "core/input_view.h"
#include "core/session.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "platform/socket.h"

#include <filesystem>

namespace corvane {

FileSender::FileSender(Session& session, CommandSender& sender, StatusLine& status, InputView& input,
                       Timers& timers, Socket& socket)
    : m_session(session)
    , m_sender(sender)
    , m_status(status)
    , m_input(input)
    , m_timers(timers)
    , m_socket(socket) {
    m_sender.setDrainedHook([this] { onSenderDrained(); });
}

FileSender::~FileSender() {
    m_sender.setDrainedHook({});
    if (m_timer != 0) {
        m_timers.stop(m_timer);
    }
}

int FileSender::SendFile(const std::string& path) {
    auto job = std::make_unique<Job>();
    job->path = path;
    if (const FileError error = job->reader.open(path)) {
        return error.number;
    }
    m_jobs.push_back(std::move(job));
    m_session.SendingFile = true;
    if (m_jobs.size() == 1) {
        step();
    }
    return 0;
}

void FileSender::stop() {
    if (m_timer != 0) {
        m_timers.stop(m_timer);
        m_timer = 0;
    }
    m_jobs.clear();
    m_waitingForSender = false;
    m_session.SendingFile = false;
}

void FileSender::schedule() {
    if (m_timer == 0) {
        m_timer = m_timers.startSingleShot(std::chrono::milliseconds(0), [this] {
            m_timer = 0;
            step();
        });
    }
}

void FileSender::onSenderDrained() {
    if (m_waitingForSender) {
        m_waitingForSender = false;
        schedule();
    }
}

void FileSender::step() {
    if (m_jobs.empty()) {
        return;
    }
    if (m_socket.state() == Socket::State::Closed) {
        stop();
        return;
    }
    Job& job = *m_jobs.front();
    std::error_code ignored;
    bool lineEnded = false;
    // A file deleted while it plays ends there, without a word.
    if (!std::filesystem::exists(job.path, ignored) || !job.reader.next(m_piece, lineEnded)) {
        finishJob();
        return;
    }
    if (job.atLineStart) {
        ++job.line;
        m_status.SetStatus("Status: Sending " + job.path + ", line " + std::to_string(job.line));
    }
    job.atLineStart = lineEnded;
    // A line too long for one piece leaves in several, its line end after the last.
    std::string text = DecodeLegacyText(m_piece);
    if (lineEnded) {
        text += NewLine;
    }
    m_sender.SendCommand(text);
    if (m_jobs.empty()) {
        return; // the send failed and the connection went with it
    }
    if (m_sender.busy()) {
        m_waitingForSender = true;
    } else {
        schedule();
    }
}

void FileSender::finishJob() {
    m_jobs.pop_front();
    if (!m_jobs.empty()) {
        schedule();
        return;
    }
    m_session.SendingFile = false;
    m_status.SetStatus(status::OnLine);
    m_input.focusInput();
}

} // namespace corvane
