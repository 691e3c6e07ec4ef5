#pragma once

#include "core/main_menu.h"

#include <functional>
#include <string>

namespace corvane {

class McpPackages;
class SessionHistory;
class TextEditor;

// The MCP pieces of the main window: Help > "MUCK Help...", enabled only
// while the world offers its help on this connection; View > "Show MCP
// Traffic", which keeps every MCP line both ways in the session history
// while it is on (kept in the settings); and the player's own text editor,
// lent to the editor windows.
class McpWiring {
public:
    struct Parts {
        McpPackages& packages;
        MainMenu& menu;
        SessionHistory& history;
        TextEditor& textEditor;
        const std::string& settingsPath;
        // Lines were added to the history: its window should catch up.
        std::function<void()> historyChanged;
    };
    // The settings key, in the [Corvane] section.
    static constexpr const char* kTrafficKey = "ShowMcpTraffic";
    static constexpr const char* kSentMark = "MCP sent> ";
    static constexpr const char* kReceivedMark = "MCP recv< ";

    explicit McpWiring(Parts parts);

    // Start-up, once the settings file is there: the traffic choice is read.
    void start();
    // True when the item is one of these.
    bool onMenuTriggered(MenuItem item);
    // The connection is over: the world offers nothing any more.
    void sessionEnded();

private:
    void offersChanged();
    void showTraffic(bool on);

    Parts m_parts;
    bool m_traffic = false;
};

} // namespace corvane
