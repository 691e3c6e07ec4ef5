#include "core/status_line.h"

namespace corvane {

StatusLine::StatusLine(StatusView& view)
    : m_view(view)
    , m_text(status::OffLine) {}

void StatusLine::SetStatus(const std::string& text) {
    m_text = text;
    m_view.setLabelText(StatusView::StatusLabel, text);
}

void StatusLine::SetSecure(const std::string& protocol) {
    m_view.setSecureIndicator(protocol);
}

} // namespace corvane
