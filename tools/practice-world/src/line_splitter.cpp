#include "line_splitter.h"

namespace practice_world {

LineSplitter::LineSplitter(std::size_t maxLength)
    : m_maxLength(maxLength) {}

void LineSplitter::feed(std::string_view text, std::vector<std::string>& lines) {
    for (char c : text) {
        if (c == '\n') {
            if (!m_partial.empty() && m_partial.back() == '\r')
                m_partial.pop_back();
            lines.push_back(std::move(m_partial));
            m_partial.clear();
        } else if (c != '\0' && m_partial.size() < m_maxLength) {
            m_partial += c;
        }
    }
}

} // namespace practice_world
