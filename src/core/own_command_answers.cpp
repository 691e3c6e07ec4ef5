#include "core/own_command_answers.h"

namespace corvane {

namespace {

// Setting a property to nothing, as taking the arrival hook off does,
// is answered "Property removed." by the Fuzzball family.
bool isPropertySet(const std::string& line) {
    return line == "Property set." || line == "Property removed.";
}

// The unknown-command line of the servers that frame no replies.
bool isUnknownCommand(const std::string& line) {
    return line.rfind("Huh?", 0) == 0;
}

} // namespace

void OwnCommandAnswers::answered() {
    m_waiting.pop_front();
    m_answered = !m_waiting.empty();
    ++m_hidden;
}

bool OwnCommandAnswers::hides(const std::string& line) {
    while (!m_waiting.empty()) {
        if (m_waiting.front() == OwnAnswer::PropertySet) {
            // The log-in's own output comes first; nothing else is hidden meanwhile.
            if (!isPropertySet(line)) {
                return false;
            }
            answered();
            return true;
        }
        if (isUnknownCommand(line)) {
            answered();
            return true;
        }
        if (!m_answered) {
            return false;
        }
        // Something else came where the answer was due: the world took the
        // command in silence.
        m_waiting.pop_front();
    }
    m_answered = false;
    return false;
}

} // namespace corvane
