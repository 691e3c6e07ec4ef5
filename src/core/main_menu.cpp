#include "core/main_menu.h"

namespace corvane {

namespace {

struct MenuText {
    std::string_view caption;
    std::string_view objectName;
    bool checkable;
};

constexpr std::array<MenuText, kMenuItemCount> kMenuTexts = {{
    {"Co&nnect to a MUD", "FileConnect", false},
    {"&Disconnect from a MUD", "FileDisconnect", false},
    {"&New Window", "FileNewWindow", false},
    {"&Open Logfile", "FileOpenLog", false},
    {"&Close Logfile", "FileCloseLog", false},
    {"&Upload File", "FileUpload", false},
    {"&Save Output box to File", "FileDumpOutput", false},
    {"&Import Triggers and Aliases...", "FileImportRules", false},
    {"E&xit", "FileExit", false},
    {"&Copy", "EditCopy", false},
    {"&Paste", "EditPaste", false},
    {"C&lear", "EditClear", false},
    {"Select &All", "EditSelectAll", false},
    {"P&references...", "EditPreferences", false},
    {"&User Macros", "EditUserMacros", false},
    {"&Triggers and Aliases...", "EditRules", false},
    {"Con&versation Routes...", "EditConversationRoutes", false},
    {"&Command buttons", "ViewCommand", true},
    {"&Macro Buttons", "ViewMacro", true},
    {"Game &Time", "ViewTimer", true},
    {"La&g Counter", "ViewLagCounter", true},
    {"&Directions", "ViewDirections", true},
    {"&Picture", "ViewPicture", true},
    {"&Info", "ViewInfo", false},
    {"&Who is here", "ViewWhoIsHere", false},
    {"WH&O is on", "ViewWhoIsOn", false},
    {"C&lear Output", "ViewClear", false},
    {"Re&fresh Output", "ViewRefresh", false},
    {"Session &History", "ViewSessionHistory", false},
    {"&Show MCP Traffic", "ViewMcpTraffic", true},
    {"Con&versations...", "ViewConversations", false},
    {"&Connect to a Character", "GameConnect", false},
    {"&Reconnect", "GameReconnect", false},
    {"&QUIT Game", "GameQuit", false},
    {"Go Ho&me", "GameGoHome", false},
    {"&Idle", "GameIdle", true},
    {"&Walk", "GameWalk", true},
    {"Do &Not Disturb", "GameDoNotDisturb", true},
    {"&Server Info", "GameServerInfo", false},
    {"On-Line &Help", "HelpOnline", false},
    {"&MUCK Help...", "HelpMuck", false},
    {"&About", "HelpAbout", false},
}};

} // namespace

std::string_view MenuCaption(MenuItem item) {
    return kMenuTexts[static_cast<std::size_t>(item)].caption;
}
std::string_view MenuObjectName(MenuItem item) {
    return kMenuTexts[static_cast<std::size_t>(item)].objectName;
}
bool MenuItemCheckable(MenuItem item) {
    return kMenuTexts[static_cast<std::size_t>(item)].checkable;
}

MainMenu::MainMenu(MenuView& view)
    : m_view(view) {
    m_enabled.fill(true);
}

void MainMenu::setEnabled(MenuItem item, bool enabled) {
    m_enabled[index(item)] = enabled;
    m_view.setMenuEnabled(item, enabled);
}

void MainMenu::setChecked(MenuItem item, bool checked) {
    m_checked[index(item)] = checked;
    m_view.setMenuChecked(item, checked);
}

} // namespace corvane
