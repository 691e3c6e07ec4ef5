#include "shell/login_setup.h"

#include "core/button_bars.h"
#include "core/constants.h"
#include "core/display_view.h"
#include "core/game_timer.h"
#include "core/line_classifier.h"
#include "core/line_processor.h"
#include "core/main_menu.h"
#include "core/main_window_view.h"
#include "core/session.h"
#include "macros/session_reset.h"
#include "macros/user_macros.h"
#include "platform/prompts.h"
#include "room/room_windows.h"
#include "settings/trigger_set.h"
#include "shell/reconnect.h"
#include "worlds/stored_login.h"

namespace corvane {

std::string ProgramCaption() {
    return "CORVane " + std::string(VersionText);
}

LoginSetup::LoginSetup(Parts parts)
    : m_parts(parts) {}

void LoginSetup::worldChosen() {
    Session& session = m_parts.session;
    if (!session.Connected) {
        m_parts.reset.ResetSession();
        return;
    }
    m_parts.window.setCaption(ProgramCaption() + " on " + session.WorldName);
    m_parts.menu.setEnabled(MenuItem::GameConnect, true);
    m_parts.buttons.setEnabled(Bar::Command, command_button::Connect, true);
    m_parts.buttons.setEnabled(Bar::Command, command_button::WhoIsOn, true);
    // QUIT also leaves a world before any character has logged in.
    m_parts.buttons.setEnabled(Bar::Command, command_button::Quit, true);
    session.TagMode = false;
    // Only a world of the address book can be found again by its name.
    if (session.WorldIndex >= 0) {
        m_parts.reconnect.connected(session.WorldName);
    }
}

void LoginSetup::loggedIn() {
    Session& session = m_parts.session;
    if (!session.Connected) {
        return;
    }
    m_parts.reconnect.loggedIn(session.CharacterName);
    session.TagMode = true;
    for (MenuItem item :
         {MenuItem::FileUpload, MenuItem::EditUserMacros, MenuItem::GameQuit, MenuItem::GameGoHome,
          MenuItem::ViewDirections, MenuItem::ViewPicture, MenuItem::ViewInfo, MenuItem::ViewWhoIsHere,
          MenuItem::ViewWhoIsOn, MenuItem::ViewLagCounter}) {
        m_parts.menu.setEnabled(item, true);
    }
    for (int i = 0; i < kButtonsPerBar; ++i) {
        m_parts.buttons.setEnabled(Bar::Command, i, true);
        m_parts.buttons.setEnabled(Bar::Macro, i, true);
    }
    // "Connect to a Character" asks which character to log in: with one
    // logged in, it would send a log-in line into the game.
    m_parts.menu.setEnabled(MenuItem::GameConnect, false);
    m_parts.buttons.setEnabled(Bar::Command, command_button::Connect, false);
    if (session.Server == ServerKind::Mud) {
        // A MUD has no home command to send.
        m_parts.menu.setEnabled(MenuItem::GameGoHome, false);
        m_parts.buttons.setEnabled(Bar::Command, command_button::GoHome, false);
    }
    m_parts.macros.LoadMacros(true);
    m_parts.room.loggedIn(m_parts.settingsPath);
    const DisplayView::Font font = m_parts.display.inputFont();
    m_parts.triggers.LoadTriggers(session.WorldName, m_parts.settingsPath,
                                  FontDefaults{font.name, font.size});
    m_parts.triggers.activateWorldTriggers();
    m_parts.processor.triggersChanged();
    m_parts.gameTimer.startClock();

    // Every log-in switches the clock and the lag meter on, whatever they were.
    m_parts.menu.setChecked(MenuItem::ViewTimer, false);
    m_parts.gameTimer.toggleGameClock();
    m_parts.menu.setChecked(MenuItem::ViewLagCounter, false);
    m_parts.gameTimer.toggleLagCounter();
    // The last session's lag says nothing of this one.
    m_parts.gameTimer.resetLagMeter();
    // A world may have named the room already while the log-in was being sent.
    m_parts.window.setCaption(sessionCaption());
    if (m_loggedInHook) {
        m_loggedInHook();
    }
}

std::optional<std::string> LoginSetup::startLoggedIn(const std::string& worldName,
                                                     const std::string& characterName) {
    if (auto error = ConnectStoredWorld(worldName, m_parts.session, m_parts.connection, m_parts.prompts,
                                        m_parts.window, m_parts.settingsPath)) {
        return error;
    }
    worldChosen();
    if (!m_parts.session.Connected) {
        return "could not connect to " + worldName;
    }
    return logInStored(characterName);
}

void LoginSetup::reconnect() {
    if (m_parts.session.Connected || !m_parts.reconnect.available()) {
        return;
    }
    // Copies: the steps below tell the reconnect memory about the new session.
    const std::string world = m_parts.reconnect.world();
    const std::string character = m_parts.reconnect.character();
    bool attempted = false;
    if (auto error = ConnectStoredWorld(world, m_parts.session, m_parts.connection, m_parts.prompts,
                                        m_parts.window, m_parts.settingsPath, &attempted)) {
        // A connection that failed has said so in its own box.
        if (!attempted) {
            m_parts.prompts.message(*error, "Reconnect", PromptIcon::Exclamation);
        }
        return;
    }
    worldChosen();
    if (!m_parts.session.Connected || character.empty()) {
        return;
    }
    if (auto error = logInStored(character)) {
        m_parts.prompts.message(*error, "Reconnect", PromptIcon::Exclamation);
    }
}

std::optional<std::string> LoginSetup::logInStored(const std::string& characterName) {
    m_parts.session.CharacterName.clear();
    if (auto error = LoginStoredCharacter(characterName, m_parts.session, m_parts.sender, m_parts.prompts,
                                          m_parts.settingsPath)) {
        return error;
    }
    if (!m_parts.session.CharacterName.empty()) {
        loggedIn();
    }
    return std::nullopt;
}

std::string LoginSetup::sessionCaption() const {
    const Session& session = m_parts.session;
    if (!session.RoomName.empty()) {
        return RoomCaption(session.WorldName, session.RoomName);
    }
    if (session.Connected && !session.CharacterName.empty() && session.TagMode) {
        return ProgramCaption() + " - " + session.CharacterName + " on " + session.WorldName;
    }
    if (session.Connected) {
        return ProgramCaption() + " on " + session.WorldName;
    }
    return ProgramCaption();
}

} // namespace corvane
