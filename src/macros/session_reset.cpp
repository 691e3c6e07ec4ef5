#include "macros/session_reset.h"

#include "core/button_bars.h"
#include "core/constants.h"
#include "core/main_menu.h"
#include "core/main_window_view.h"
#include "core/session.h"
#include "platform/program.h"

namespace corvane {

SessionReset::SessionReset(Session& session, MainMenu& menu, ButtonBars& buttons, MainWindowView& window,
                           Program& program, bool startedWithCommandLine)
    : m_session(session)
    , m_menu(menu)
    , m_buttons(buttons)
    , m_window(window)
    , m_program(program)
    , m_startedWithCommandLine(startedWithCommandLine) {}

void SessionReset::ResetSession() {
    m_session.PendingReplies = 0;
    m_session.LagSeconds = 0;
    m_session.LagMeterOn = false;
    m_session.OutputFramed = false;
    m_session.PromptsEndReplies = false;
    m_session.ReplyBegun = false;
    m_session.ListMode = 0;
    if (m_hooks.endMacroFiles) {
        m_hooks.endMacroFiles();
    }
    if (m_session.LogOpen && m_hooks.closeLog) {
        m_hooks.closeLog();
    }
    if (m_hooks.closeSessionWindows) {
        m_hooks.closeSessionWindows();
    }
    for (int i = 0; i < kButtonsPerBar; ++i) {
        m_buttons.setEnabled(Bar::Command, i, false);
        m_buttons.setEnabled(Bar::Macro, i, false);
        m_buttons.setCaption(Bar::Macro, i, DefaultButtonCaption(Bar::Macro, i));
    }
    m_buttons.setEnabled(Bar::Command, command_button::Log, true);
    for (MenuItem item :
         {MenuItem::FileUpload, MenuItem::EditUserMacros, MenuItem::GameConnect, MenuItem::GameQuit,
          MenuItem::GameGoHome, MenuItem::ViewDirections, MenuItem::ViewPicture, MenuItem::ViewInfo,
          MenuItem::ViewWhoIsHere, MenuItem::ViewWhoIsOn}) {
        m_menu.setEnabled(item, false);
    }
    m_session.TagMode = true;
    if (m_menu.checked(MenuItem::ViewLagCounter) && m_hooks.switchOffLagCounter) {
        m_hooks.switchOffLagCounter();
    }
    if (m_menu.checked(MenuItem::ViewTimer) && m_hooks.switchOffGameClock) {
        m_hooks.switchOffGameClock();
    }
    m_menu.setEnabled(MenuItem::ViewLagCounter, false);
    // Idle mode belongs to the connection: its keep-alive has nowhere to go now.
    if (m_menu.checked(MenuItem::GameIdle)) {
        m_menu.setChecked(MenuItem::GameIdle, false);
        m_menu.setEnabled(MenuItem::GameWalk, true);
    }
    m_menu.setEnabled(MenuItem::FileConnect, true);
    m_session.RoomName.clear();
    m_session.RoomRef = 0;
    m_session.WorldName.clear();
    m_session.WorldIndex = -1;
    m_window.setCaption("CORVane " + std::string(VersionText));
    if (m_hooks.sessionEnded) {
        m_hooks.sessionEnded();
    }
    if (m_startedWithCommandLine) {
        m_program.exit(0);
    }
}

} // namespace corvane
