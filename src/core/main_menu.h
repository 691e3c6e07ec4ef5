#pragma once

#include <array>
#include <string_view>

namespace corvane {

// Every item of the main window's menus that some rule enables, disables or checks.
enum class MenuItem {
    FileConnect,
    FileDisconnect,
    FileNewWindow,
    FileOpenLog,
    FileCloseLog,
    FileUpload,
    FileDumpOutput,
    FileImportRules,
    FileExit,
    EditCopy,
    EditPaste,
    EditClear,
    EditSelectAll,
    EditPreferences,
    EditUserMacros,
    EditRules,
    EditConversationRoutes,
    ViewCommand,
    ViewMacro,
    ViewTimer,
    ViewLagCounter,
    ViewDirections,
    ViewPicture,
    ViewInfo,
    ViewWhoIsHere,
    ViewWhoIsOn,
    ViewClear,
    ViewRefresh,
    ViewSessionHistory,
    ViewMcpTraffic,
    ViewConversations,
    GameConnect,
    GameReconnect,
    GameQuit,
    GameGoHome,
    GameIdle,
    GameWalk,
    GameDoNotDisturb,
    GameServerInfo,
    HelpOnline,
    HelpMuck,
    HelpAbout,
    Count
};

inline constexpr std::size_t kMenuItemCount = static_cast<std::size_t>(MenuItem::Count);

// The caption shown for an item, with "&" before its access key.
std::string_view MenuCaption(MenuItem item);
// The name a widget test finds the action by ("FileConnect", "ViewLagCounter", ...).
std::string_view MenuObjectName(MenuItem item);
bool MenuItemCheckable(MenuItem item);

// What the menus look like; the window mirrors it.
class MenuView {
public:
    virtual ~MenuView() = default;
    virtual void setMenuEnabled(MenuItem item, bool enabled) = 0;
    virtual void setMenuChecked(MenuItem item, bool checked) = 0;
};

// Enabled and checked state of every menu item, kept here so rules can read
// it back without asking the window.
class MainMenu {
public:
    explicit MainMenu(MenuView& view);
    void setEnabled(MenuItem item, bool enabled);
    void setChecked(MenuItem item, bool checked);
    bool enabled(MenuItem item) const { return m_enabled[index(item)]; }
    bool checked(MenuItem item) const { return m_checked[index(item)]; }

private:
    static std::size_t index(MenuItem item) { return static_cast<std::size_t>(item); }
    MenuView& m_view;
    std::array<bool, kMenuItemCount> m_enabled{};
    std::array<bool, kMenuItemCount> m_checked{};
};

} // namespace corvane
