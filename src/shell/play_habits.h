#pragma once

#include "platform/clock.h"

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

struct ClientSettings;
struct Session;
class StatusLine;
class LogWriter;

// What the play options change in the main window's day: sent lines shown
// with the world's (the local echo), and informational notices passing
// through the status line instead of a window.
class PlayHabits {
public:
    struct Parts {
        const ClientSettings& settings;
        const Session& session;
        StatusLine& status;
        Timers& timers;
        LogWriter& log;
        std::function<void(const std::string&)> showOutput;
        // Shows one line in a colour of its own (0x00BBGGRR).
        std::function<void(const std::string& line, std::int32_t colour)> showColoured;
    };
    static constexpr std::chrono::seconds kNoticeTime{5};

    explicit PlayHabits(Parts parts);
    ~PlayHabits();
    PlayHabits(const PlayHabits&) = delete;
    PlayHabits& operator=(const PlayHabits&) = delete;

    // A line has gone out from the input line.
    void lineSent(const std::string& line);
    // True when the notice was shown in the status line; otherwise the
    // caller shows it the usual way.
    bool quietNotice(const std::string& text);
    // Shows one line in the status line for a few seconds, whatever the options.
    void passingNotice(const std::string& text);

private:
    Parts m_parts;
    Timers::TimerId m_noticeTimer = 0;
};

} // namespace corvane
