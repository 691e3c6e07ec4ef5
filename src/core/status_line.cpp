#include "core/status_line.h"

namespace corvane {

StatusLine::StatusLine(StatusView& view)
    : m_view(view)
    , m_text(status::OffLine) {}

void StatusLine::SetStatus(const std::string& text) {
    m_text = text;
    if (text == status::OffLine) {
        m_vitals.clear();
    }
    m_view.setLabelText(StatusView::StatusLabel, m_vitals.empty() ? text : text + "   " + m_vitals);
}

void StatusLine::SetVitals(const std::string& vitals) {
    m_vitals = vitals;
    SetStatus(m_text);
}

void StatusLine::SetSecure(const std::string& protocol) {
    m_view.setSecureIndicator(protocol);
}

} // namespace corvane
