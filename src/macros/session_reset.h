#pragma once

#include <functional>

namespace corvane {

struct Session;
class MainMenu;
class ButtonBars;
class MainWindowView;
class Program;

// Returns the main window to its off-line look after a connection has ended.
// Pieces owned by other windows (log, player list, direction pad, clock and
// lag toggles) are reached through hooks so this stays free of them.
class SessionReset {
public:
    struct Hooks {
        std::function<void()> closeLog;
        std::function<void()> closeSessionWindows;
        std::function<void()> switchOffLagCounter;
        std::function<void()> switchOffGameClock;
        // A file being played or recorded ends with the connection.
        std::function<void()> endMacroFiles;
        // Told last, once the session is over, before a run started with an
        // address ends.
        std::function<void()> sessionEnded;
    };

    SessionReset(Session& session, MainMenu& menu, ButtonBars& buttons, MainWindowView& window,
                 Program& program, bool startedWithCommandLine);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    void ResetSession();

private:
    Session& m_session;
    MainMenu& m_menu;
    ButtonBars& m_buttons;
    MainWindowView& m_window;
    Program& m_program;
    bool m_startedWithCommandLine;
    Hooks m_hooks;
};

} // namespace corvane
