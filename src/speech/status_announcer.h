#pragma once

#include <string>

namespace corvane {

class Announcer;

// Which changes of the status line a screen reader is told of: going on
// and off line, output paused and going on, and the notices triggers and
// the world put there. The rest (idle, the player list being read, a file
// being sent line by line) would only chatter.
class StatusAnnouncer {
public:
    explicit StatusAnnouncer(Announcer& announcer)
        : m_announcer(announcer) {}

    // The status line went from `before` to `after`; `notice`: a trigger's
    // or the world's text rather than Corvane's own.
    void statusChanged(const std::string& before, const std::string& after, bool notice);

private:
    std::string announcementFor(const std::string& before, const std::string& after, bool notice);

    Announcer& m_announcer;
    // As last said: the status line shows "On Line" before the world
    // answers, and "Off Line" again when paused output goes on off line.
    bool m_onLine = false;
};

} // namespace corvane
