#include "core/status_line.h"

#include <utility>

namespace corvane {

StatusLine::StatusLine(StatusView& view)
    : m_view(view)
    , m_text(status::OffLine) {}

void StatusLine::SetStatus(const std::string& text) {
    show(text, false);
}

void StatusLine::ShowNotice(const std::string& text) {
    show(text, true);
}

void StatusLine::show(const std::string& text, bool notice) {
    const std::string before = std::exchange(m_text, text);
    if (text == status::OffLine) {
        m_vitals.clear();
    }
    m_view.setLabelText(StatusView::StatusLabel, m_vitals.empty() ? text : text + "   " + m_vitals);
    if (m_watcher) {
        m_watcher(before, m_text, notice);
    }
}

void StatusLine::SetVitals(const std::string& vitals) {
    m_vitals = m_text == status::OffLine ? std::string() : vitals;
    m_view.setLabelText(StatusView::StatusLabel, m_vitals.empty() ? m_text : m_text + "   " + m_vitals);
}

void StatusLine::SetSecure(const std::string& protocol) {
    m_view.setSecureIndicator(protocol);
}

} // namespace corvane
