#include "speech/status_announcer.h"

#include "core/status_line.h"
#include "platform/announcer.h"

namespace corvane {

std::string StatusAnnouncer::announcementFor(const std::string& before, const std::string& after, bool notice) {
    if (notice) {
        const std::string_view prefix = "Status: ";
        std::string_view text = after;
        if (text.substr(0, prefix.size()) == prefix) {
            text.remove_prefix(prefix.size());
        }
        return before == after ? std::string() : std::string(text);
    }
    if (after == status::OutputPaused) {
        return before == after ? "" : "Output paused";
    }
    if (after == status::OnLine || after == status::OffLine) {
        const bool onLine = after == status::OnLine;
        if (onLine != m_onLine) {
            m_onLine = onLine;
            return onLine ? "On line" : "Off line";
        }
        // Back from idle, a wait to send or a macro recorded is no news.
        return before == status::OutputPaused ? "Output goes on" : "";
    }
    return {};
}

void StatusAnnouncer::statusChanged(const std::string& before, const std::string& after, bool notice) {
    if (const std::string text = announcementFor(before, after, notice); !text.empty()) {
        m_announcer.announce(text);
    }
}

} // namespace corvane
