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
                       Timers& timers, Socket& socket, const Clock& clock)
    : m_session(session)
    , m_sender(sender)
    , m_status(status)
    , m_input(input)
    , m_timers(timers)
    , m_socket(socket)
    , m_clock(clock) {
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
    // A file deleted while it plays ends there, without a word.
    bool ended = !std::filesystem::exists(job.path, ignored);
    const bool firstBatch = job.line == 0;
    // The status names the batch's first line, the one leaving now.
    const long firstLine = job.line + (job.atLineStart ? 1 : 0);
    m_batch.clear();
    for (long lines = 0; !ended && lines < kBatchLines && m_batch.size() < kBatchBytes;) {
        bool lineEnded = false;
        if (!job.reader.next(m_piece, lineEnded)) {
            ended = true;
            break;
        }
        if (job.atLineStart) {
            ++job.line;
        }
        job.atLineStart = lineEnded;
        // A line too long for one piece leaves in several, its line end after the last.
        m_batch += DecodeLegacyText(m_piece);
        if (lineEnded) {
            m_batch += NewLine;
            ++lines;
        }
    }
    if (!m_batch.empty() && (firstBatch || m_clock.now() - m_statusShown >= kStatusInterval)) {
        showLine(job.path, firstLine);
    }
    if (!m_batch.empty()) {
        m_sender.SendCommand(m_batch);
        if (m_jobs.empty()) {
            return; // the send failed and the connection went with it
        }
    }
    if (ended && m_batch.empty()) {
        finishJob();
    } else if (m_sender.busy()) {
        m_waitingForSender = true;
    } else {
        schedule();
    }
}

void FileSender::showLine(const std::string& path, long line) {
    m_statusShown = m_clock.now();
    m_status.SetStatus("Status: Sending " + path + ", line " + std::to_string(line));
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
