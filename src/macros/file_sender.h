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

// Plays a text file to the server a line at a time (macro buttons, upload).
// Each line waits in the ordered send queue until the one before it has gone
// out, and the event loop runs between lines, so the window stays responsive
// and only the input line is locked. The file is read as it is sent, never
// whole, and has its own handle: a recording in progress is never touched.
class FileSender {
public:
    FileSender(Session& session, CommandSender& sender, StatusLine& status, InputView& input, Timers& timers,
               Socket& socket);
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

    Session& m_session;
    CommandSender& m_sender;
    StatusLine& m_status;
    InputView& m_input;
    Timers& m_timers;
    Socket& m_socket;
    std::deque<std::unique_ptr<Job>> m_jobs;
    Timers::TimerId m_timer = 0;
    bool m_waitingForSender = false;
    std::string m_piece;
};

} // namespace corvane
