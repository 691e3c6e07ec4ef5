#pragma once

#include "macros/line_file_reader.h"
#include "platform/clock.h"

#include <deque>
#include <memory>
#include <string>

namespace corvane {

struct Session;
class CommandSender;
class StatusLine;
class InputView;
class Socket;

// Plays a text file to the server line by line (macro buttons, upload). Lines
// leave in batches: each batch waits in the ordered send queue until the one
// before it has gone out, and the event loop runs between batches, so the
// window stays responsive and only the input line is locked. The bytes on the
// wire are those of one line at a time. The file is read as it is sent, never
// whole, and has its own handle: a recording in progress is never touched.
class FileSender {
public:
    // A batch is cut at whichever comes first; both keep one turn of the
    // event loop well under a millisecond.
    static constexpr std::size_t kBatchBytes = 64 * 1024;
    static constexpr long kBatchLines = 4096;
    // The line count in the status line changes no more often than this.
    static constexpr std::chrono::milliseconds kStatusInterval{100};

    FileSender(Session& session, CommandSender& sender, StatusLine& status, InputView& input, Timers& timers,
               Socket& socket, const Clock& clock);
    ~FileSender();
    FileSender(const FileSender&) = delete;
    FileSender& operator=(const FileSender&) = delete;

    // 0 when the file is open and being sent, else the number of the failed
    // open. A file asked for while another plays follows it.
    int SendFile(const std::string& path);
    // The connection is gone: stop at once and unlock the input line.
    void stop();
    bool sending() const { return !m_jobs.empty(); }

private:
    struct Job {
        std::string path;
        LineFileReader reader;
        long line = 0;
        bool atLineStart = true;
    };

    void step();
    void schedule();
    void onSenderDrained();
    void finishJob();
    void showLine(const std::string& path, long line);

    Session& m_session;
    CommandSender& m_sender;
    StatusLine& m_status;
    InputView& m_input;
    Timers& m_timers;
    Socket& m_socket;
    const Clock& m_clock;
    TimePoint m_statusShown{};
    std::deque<std::unique_ptr<Job>> m_jobs;
    Timers::TimerId m_timer = 0;
    bool m_waitingForSender = false;
    std::string m_piece;
    std::string m_batch;
};

} // namespace corvane
