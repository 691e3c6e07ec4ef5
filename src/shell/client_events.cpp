// What the main window's menus, buttons and status labels do: each one hands
// over to the part of the client that owns it.
#include "shell/client.h"

#include "core/constants.h"
#include "core/input_view.h"
#include "core/main_window_view.h"
#include "core/output_view.h"
#include "macros/upload.h"
#include "macros/user_macros_presenter.h"
#include "macros/user_macros_view.h"
#include "platform/program.h"
#include "platform/prompts.h"
#include "platform/socket.h"
#include "platform/sound.h"
#include "platform/view_factory.h"
#include "rules/expansion.h"
#include "settings/settings.h"
#include "shell/mxp_link_clicks.h"

#include <algorithm>

namespace corvane {

void Client::onMenuTriggered(MenuItem item) {
    if (m_room.onMenuTriggered(item) || m_mcpWiring.onMenuTriggered(item)) {
        return;
    }
    switch (item) {
    case MenuItem::FileConnect:
        FileConnect();
        break;
    case MenuItem::FileDisconnect:
        removeArrivalHook();
        // The output says where the session ended, whatever the options.
        if (m_session.Connected) {
            ShowOutput(std::string(NewLine) + "*** Disconnected." + std::string(NewLine));
        }
        m_connection.DisconnectFromWorld();
        break;
    case MenuItem::FileNewWindow:
        openNewWindow();
        break;
    case MenuItem::FileOpenLog:
    case MenuItem::FileCloseLog:
        onCommandButton(command_button::Log);
        break;
    case MenuItem::FileUpload:
        onCommandButton(command_button::Upload);
        break;
    case MenuItem::FileDumpOutput:
        m_log.dumpOutput(m_output.text());
        break;
    case MenuItem::FileExit:
        if (mayLoseUnsentEdits()) {
            exitProgram();
        }
        break;
    case MenuItem::EditUserMacros:
        openUserMacros();
        break;
    case MenuItem::EditRules:
        m_rulesWindow.open();
        break;
    case MenuItem::EditConversationRoutes:
        m_conversations.openRoutes();
        break;
    case MenuItem::FileImportRules:
        m_rulesWindow.importFile();
        break;
    case MenuItem::EditCopy:
        m_outputWindow.EditCopy();
        break;
    case MenuItem::EditPaste:
        m_outputWindow.EditPaste();
        break;
    case MenuItem::EditClear:
        m_outputWindow.EditClear();
        break;
    case MenuItem::EditSelectAll:
        m_outputWindow.EditSelectAll();
        break;
    case MenuItem::EditPreferences:
        openPreferences();
        break;
    case MenuItem::ViewCommand:
    case MenuItem::ViewMacro:
        m_layout.toggleBar(item);
        break;
    case MenuItem::ViewTimer:
        m_gameTimer.toggleGameClock();
        break;
    case MenuItem::ViewLagCounter:
        m_gameTimer.toggleLagCounter();
        break;
    case MenuItem::ViewWhoIsHere:
        onCommandButton(command_button::WhoIsHere);
        break;
    case MenuItem::ViewWhoIsOn:
        onCommandButton(command_button::WhoIsOn);
        break;
    case MenuItem::ViewClear:
        m_outputWindow.ViewClear();
        break;
    case MenuItem::ViewRefresh:
        m_outputWindow.ViewRefresh();
        break;
    case MenuItem::ViewSessionHistory:
        openSessionHistory();
        break;
    case MenuItem::GameConnect:
        GameConnect();
        break;
    case MenuItem::GameReconnect:
        m_login.reconnect();
        break;
    case MenuItem::GameQuit:
        onCommandButton(command_button::Quit);
        break;
    case MenuItem::GameGoHome:
        onCommandButton(command_button::GoHome);
        break;
    case MenuItem::GameIdle:
        m_gameTimer.toggleIdle();
        break;
    case MenuItem::ViewConversations:
        m_conversations.openList();
        break;
    case MenuItem::GameServerInfo:
        m_serverInfo.open();
        break;
    case MenuItem::GameDoNotDisturb:
        m_conversations.toggleDoNotDisturb();
        break;
    case MenuItem::HelpOnline:
        m_browser.OpenHelpPage();
        break;
    case MenuItem::HelpAbout:
        notice().About();
        break;
    default:
        break;
    }
}

void Client::onEditMenuAboutToShow() {
    m_outputWindow.onEditMenuAboutToShow();
}
void Client::onOutputFocusIn() {
    m_outputWindow.onFocusIn();
}
void Client::onOutputFocusOut() {
    m_outputWindow.onFocusOut();
}
void Client::onOutputSelectionChanged(bool selected) {
    m_outputWindow.onSelectionChanged(selected);
}
void Client::onOutputDoubleClick() {
    m_outputWindow.onDoubleClick();
}
void Client::onOutputLinkClicked(std::uint32_t link) {
    m_outputWindow.onLinkClicked();
    MxpLinkClicks(MxpLinkClicks::Services{
                      m_processor.mxpLinks(), m_platform.prompts, m_views.input,
                      [this](const std::string& command) { m_input.sendAsTyped(command); },
                      [this](const std::string& address) { m_browser.OpenInBrowser(address); },
                      [this](const std::vector<std::string>& captions) {
                          return m_views.output.chooseFromMenu(captions);
                      }})
        .clicked(link);
}
// The window may be shown before start-up has read the settings; its
// layout waits for them.
void Client::onOutputGeometryChanged() {
    if (m_started) {
        m_layout.updateLineLimit();
    }
}
void Client::onWindowResized() {
    if (m_started) {
        m_layout.onResized();
    }
}

void Client::onStatusLabelClicked(int label) {
    if (label == StatusView::LagLabel) {
        m_gameTimer.resetLagMeter();
    }
}

void Client::onStatusLabelDoubleClicked(int label) {
    if (label == StatusView::ClockLabel) {
        m_gameTimer.toggleGameClock();
    } else if (label == StatusView::LagLabel) {
        m_gameTimer.toggleLagCounter();
    }
}

void Client::onActivated() {
    m_layout.ApplyDisplaySettings();
}

void Client::onRestored() {
    if (m_views.window.activityIcon()) {
        m_views.window.setActivityIcon(false);
        m_views.window.setCaption(m_login.sessionCaption());
    }
}

void Client::onCommandButton(int index) {
    // "I&nfo" and "&Direction" leave the focus where it is.
    if (m_room.onCommandButton(index)) {
        return;
    }
    switch (index) {
    case command_button::Connect:
        GameConnect();
        break;
    case command_button::Log:
        m_log.pressLogButton();
        break;
    case command_button::Upload:
        UploadFile(m_platform.choosers, m_fileSender);
        break;
    case command_button::WhoIsHere:
        requestPlayerList(1);
        break;
    case command_button::WhoIsOn:
        requestPlayerList(2);
        break;
    case command_button::GoHome:
        // A MUSH knows only "home"; it answers "gohome" with "Huh?".
        m_sender.SendCommand(m_session.Server == ServerKind::Mush ? "home\n" : "gohome\n");
        m_sender.NoteCommandSent();
        break;
    case command_button::Quit:
        m_connection.Quit();
        break;
    default:
        break;
    }
    if (index != command_button::Info && index != command_button::Direction &&
        index != command_button::Upload) {
        m_views.input.focusInput();
    }
}

void Client::onMacroButton(int index) {
    m_macros.pressButton(index);
}

bool Client::onInputKey(InputLine::Key key) {
    return m_input.onInputKey(key);
}

bool Client::onBoundKey(const std::string& key) {
    const auto action = m_keys.find(key);
    // Unconnected, the key does what it always did.
    if (!action || !m_session.Connected) {
        return false;
    }
    for (const std::string& command : SplitCommands(action->command)) {
        for (const std::string& line : m_commands.expand(command)) {
            m_sender.SendCommand(line + std::string(NewLine));
        }
    }
    if (!action->script.empty()) {
        m_scripts.runLua(action->script, action->name);
    }
    if (action->handler != 0 && m_scripts.world() != nullptr) {
        m_scripts.world()->callHandler(action->handler);
    }
    return true;
}
void Client::onHistoryToggle() {
    m_input.toggleHistory();
}
void Client::onHistoryFocusIn() {
    m_input.onHistoryFocusIn();
}
void Client::onHistoryFocusOut() {
    m_input.onHistoryFocusOut();
}
void Client::onHistoryEscape() {
    m_input.onHistoryEscape();
}

bool Client::onCloseRequested() {
    // Once shut down (File > Exit asked already, or a quit signal) nothing is asked.
    if (!m_shutDown && !mayLoseUnsentEdits()) {
        return false;
    }
    shutdown();
    return true;
}

} // namespace corvane
