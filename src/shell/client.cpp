#include "shell/client.h"

#include "core/constants.h"
#include "core/input_view.h"
#include "core/main_window_view.h"
#include "core/output_view.h"
#include "core/text_codec.h"
#include "platform/launcher.h"
#include "platform/program.h"
#include "platform/prompts.h"
#include "platform/socket.h"
#include "settings/default_settings.h"
#include "settings/settings.h"
#include "shell/view_factory.h"
#include "worlds/address_book_presenter.h"

namespace corvane {

Client::Client(Platform& platform, MainViews views, StartOptions options)
    : m_platform(platform)
    , m_views(views)
    , m_options(std::move(options))
    , m_status(views.status)
    , m_menu(views.menu)
    , m_buttons(views.buttons)
    , m_sender(m_session, platform.socket, m_status, platform.prompts, m_menu)
    , m_reset(m_session, m_menu, m_buttons, views.window, platform.program, !m_options.commandLine.empty())
    , m_output(views.output)
    , m_classifier(m_session, m_status, views.status, views.window)
    , m_processor(m_session, m_settings, platform.socket, platform.sound, m_triggers, m_classifier, m_output,
                  views.window)
    , m_connection(m_session, platform.socket, m_sender, m_status, *this, platform.prompts, platform.sound,
                   Connection::Hooks{[this] { m_processor.ProcessIncoming(); }, [this] { m_reset.ResetSession(); },
                                     [this] { FileConnect(); },
                                     [this] {
                                         m_session.PendingText.clear();
                                         m_processor.reset();
                                     }})
    , m_input(m_session, views.input, m_sender, m_menu, platform.sound)
    , m_outputWindow(m_session, m_settings, views.output, m_output, m_status, views.input, platform.clipboard,
                     m_menu,
                     OutputWindow::Hooks{[this] { m_processor.ProcessIncoming(); },
                                         [this](const std::string& address) {
                                             m_platform.launcher.openWithDesktop(address);
                                         }}) {
    m_triggers.clearActive();
    m_triggers.prepare();
}

void Client::start() {
    m_views.window.setCaption("CORVane " + std::string(VersionText));
    m_status.SetStatus(status::OffLine);
    for (MenuItem item : {MenuItem::FileCloseLog, MenuItem::FileUpload, MenuItem::EditUserMacros,
                          MenuItem::ViewDirections, MenuItem::ViewLagCounter, MenuItem::ViewPicture,
                          MenuItem::ViewInfo, MenuItem::ViewWhoIsHere, MenuItem::ViewWhoIsOn,
                          MenuItem::GameQuit, MenuItem::GameGoHome}) {
        m_menu.setEnabled(item, false);
    }
    m_menu.setEnabled(MenuItem::GameConnect, true);
    m_menu.setChecked(MenuItem::ViewCommand, true);
    m_menu.setChecked(MenuItem::ViewMacro, true);
    for (int i = 0; i < kButtonsPerBar; ++i) {
        m_buttons.setEnabled(Bar::Command, i, i == command_button::Log || i == command_button::Quit);
        m_buttons.setEnabled(Bar::Macro, i, false);
    }

    m_outputWindow.updateGeometry();
    if (!m_options.settingsPath.empty() && !FileExists(m_options.settingsPath)) {
        CreateDefaultSettings(m_options.settingsPath, m_options.dataDir, m_platform.prompts);
    }
    FileConnect();
}

void Client::FileConnect() {
    auto view = m_platform.views.createAddressBookView();
    AddressBookPresenter presenter(*view, m_session, m_connection, m_platform.prompts, m_views.window,
                                   m_options.settingsPath, m_options.commandLine);
    view->setEvents(&presenter);
    presenter.load();
    view->runModal();
    view->setEvents(nullptr);
    if (m_shutDown) {
        return;
    }
    if (m_session.Connected) {
        m_views.window.setCaption("CORVane " + std::string(VersionText) + " on " + m_session.WorldName);
        m_menu.setEnabled(MenuItem::GameConnect, true);
        m_buttons.setEnabled(Bar::Command, command_button::Connect, true);
        m_buttons.setEnabled(Bar::Command, command_button::WhoIsOn, true);
        // QUIT also leaves a world before any character has logged in.
        m_buttons.setEnabled(Bar::Command, command_button::Quit, true);
        m_session.TagMode = false;
    } else {
        m_reset.ResetSession();
    }
}

void Client::shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    m_platform.socket.close();
    m_sender.connectionEnded();
}

void Client::exitProgram() {
    shutdown();
    m_platform.program.exit(0);
}

void Client::ShowOutput(const std::string& text) {
    m_output.ShowOutput(text);
    m_output.flush();
}

void Client::onMenuTriggered(MenuItem item) {
    switch (item) {
    case MenuItem::FileConnect:
        FileConnect();
        break;
    case MenuItem::FileDisconnect:
        m_connection.DisconnectFromWorld();
        break;
    case MenuItem::FileExit:
        exitProgram();
        break;
    case MenuItem::GameQuit:
        onCommandButton(command_button::Quit);
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
    case MenuItem::ViewClear:
        m_outputWindow.ViewClear();
        break;
    case MenuItem::ViewRefresh:
        m_outputWindow.ViewRefresh();
        break;
    default:
        break;
    }
}

void Client::onFileMenuAboutToShow() { m_menu.setEnabled(MenuItem::FileConnect, !m_session.Connected); }

void Client::onEditMenuAboutToShow() { m_outputWindow.onEditMenuAboutToShow(); }
void Client::onOutputFocusIn() { m_outputWindow.onFocusIn(); }
void Client::onOutputFocusOut() { m_outputWindow.onFocusOut(); }
void Client::onOutputDoubleClick() { m_outputWindow.onDoubleClick(); }
void Client::onOutputGeometryChanged() { m_outputWindow.updateGeometry(); }

void Client::onCommandButton(int index) {
    if (index == command_button::Quit) {
        m_connection.Quit();
    }
    if (index != command_button::Info && index != command_button::Direction &&
        index != command_button::Upload) {
        m_views.input.focusInput();
    }
}

void Client::onMacroButton(int /*index*/) {}

bool Client::onInputKey(InputLine::Key key) { return m_input.onInputKey(key); }
void Client::onHistoryToggle() { m_input.toggleHistory(); }
void Client::onHistoryFocusIn() { m_input.onHistoryFocusIn(); }
void Client::onHistoryFocusOut() { m_input.onHistoryFocusOut(); }
void Client::onHistoryEscape() { m_input.onHistoryEscape(); }

void Client::onCloseRequested() { shutdown(); }

} // namespace corvane
