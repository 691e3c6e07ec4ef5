#include "wire/mxp_links.h"

namespace corvane {

std::string MxpLink::toolTip() const {
    if (!hint.empty()) {
        return hint;
    }
    if (kind == Kind::Web) {
        return address;
    }
    return commands.size() == 1 ? commands.front() : std::string();
}

std::uint32_t MxpLinks::add(MxpLink link) {
    if (m_links.size() >= kKept) {
        m_links.pop_front();
        ++m_firstId;
    }
    if (m_firstId + static_cast<std::uint32_t>(m_links.size()) == 0) {
        // After four thousand million links the numbers start again past 0.
        m_links.clear();
        m_firstId = 1;
    }
    m_links.push_back(std::move(link));
    return m_firstId + static_cast<std::uint32_t>(m_links.size() - 1);
}

MxpLink* MxpLinks::find(std::uint32_t id) {
    return kept(id) ? &m_links[id - m_firstId] : nullptr;
}

const MxpLink* MxpLinks::find(std::uint32_t id) const {
    return kept(id) ? &m_links[id - m_firstId] : nullptr;
}

void MxpLinks::clear() {
    // Numbers go on from where they were: a line still on screen keeps a
    // number that must not name a new link.
    m_firstId += static_cast<std::uint32_t>(m_links.size());
    m_links.clear();
    if (m_firstId == 0) {
        m_firstId = 1;
    }
}

} // namespace corvane
