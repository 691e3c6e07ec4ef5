#include "mcp/mcp_wiring.h"

#include "core/session_history.h"
#include "mcp/mcp_packages.h"
#include "settings/settings.h"

namespace corvane {

namespace {
constexpr const char* kMain = "Corvane";
} // namespace

McpWiring::McpWiring(Parts parts)
    : m_parts(std::move(parts)) {
    m_parts.packages.setTextEditor(&m_parts.textEditor);
    m_parts.packages.link().setNegotiatedHook([this] { offersChanged(); });
    offersChanged();
    m_parts.menu.setChecked(MenuItem::ViewMcpTraffic, false);
}

void McpWiring::start() {
    if (!m_parts.settingsPath.empty()) {
        showTraffic(ReadFlag(kMain, kTrafficKey, m_parts.settingsPath));
    }
}

bool McpWiring::onMenuTriggered(MenuItem item) {
    switch (item) {
    case MenuItem::HelpMuck:
        m_parts.packages.help().open();
        return true;
    case MenuItem::ViewMcpTraffic:
        showTraffic(!m_traffic);
        if (!m_parts.settingsPath.empty()) {
            WriteFlag(kMain, kTrafficKey, m_traffic, m_parts.settingsPath);
        }
        return true;
    default:
        return false;
    }
}

void McpWiring::sessionEnded() {
    m_parts.packages.connectionEnded();
}

void McpWiring::offersChanged() {
    m_parts.menu.setEnabled(MenuItem::HelpMuck, m_parts.packages.help().offered());
    m_parts.packages.help().offersChanged();
}

void McpWiring::showTraffic(bool on) {
    m_traffic = on;
    m_parts.menu.setChecked(MenuItem::ViewMcpTraffic, on);
    if (!on) {
        m_parts.packages.link().setTrafficHook({});
        return;
    }
    m_parts.packages.link().setTrafficHook([this](bool outgoing, const std::string& line) {
        m_parts.history.appendTraffic((outgoing ? kSentMark : kReceivedMark) + line);
        if (m_parts.historyChanged) {
            m_parts.historyChanged();
        }
    });
}

} // namespace corvane
