#include "core/held_text.h"

#include "core/session.h"
#include "platform/socket.h"

#include <algorithm>

namespace corvane {

HeldText::HeldText(const Session& session, Socket& socket, std::function<void(std::string_view bytes)> held)
    : m_session(session), m_socket(socket), m_held(std::move(held)) {}

std::size_t HeldText::take(const unsigned char* bytes, std::size_t n) {
    m_text.append(reinterpret_cast<const char*>(bytes), n);
    if (m_session.OutputPaused) {
        if (m_held) {
            m_held({reinterpret_cast<const char*>(bytes), n});
        }
        if (m_text.size() >= kMaxHeldText) {
            m_socket.holdReading(true);
        }
    }
    return n;
}

bool HeldText::passRead() {
    if (m_text.empty()) {
        return false;
    }
    m_read.clear();
    m_read.swap(m_text);
    // Whatever arrives while this read is handed on waits for the next one.
    pass(reinterpret_cast<const unsigned char*>(m_read.data()), m_read.size());
    return true;
}

void HeldText::resumed() {
    m_socket.holdReading(false);
}

std::size_t HeldText::lines() const {
    return static_cast<std::size_t>(std::count(m_text.begin(), m_text.end(), '\n'));
}

} // namespace corvane
