#pragma once

#include <deque>
#include <string>

namespace corvane {

// What a world answers to one of Corvane's own commands.
enum class OwnAnswer {
    // "@set ...": one "Property set." line, after whatever came before it.
    PropertySet,
    // "OUTPUTPREFIX"/"OUTPUTSUFFIX": nothing on a world that knows them, its
    // unknown-command line ("Huh?  (Type "help" for help.)") on one that does not.
    UnknownOrNothing,
};

// The answers to commands Corvane sends on the player's behalf (the log-in
// set-up, the removal of the arrival hook) are not the player's business.
// Exactly one answer line per own command is hidden, recognised by stream
// order: an answer that waits is due next, and the line that comes instead
// of an optional one means that answer was silence.
class OwnCommandAnswers {
public:
    void expect(OwnAnswer answer) { m_waiting.push_back(answer); }
    // True when the complete line is the due answer of an own command; it is
    // then taken off the list.
    bool hides(const std::string& line);
    void clear() {
        m_waiting.clear();
        m_answered = false;
    }
    bool waiting() const { return !m_waiting.empty(); }
    // Lines hidden since the start, over every connection.
    std::size_t hiddenLines() const { return m_hidden; }

private:
    void answered();

    std::deque<OwnAnswer> m_waiting;
    // An own command has been answered: the optional answers after it are
    // due at once, not after the output of a log-in still under way.
    bool m_answered = false;
    std::size_t m_hidden = 0;
};

} // namespace corvane
