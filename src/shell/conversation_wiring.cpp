#include "shell/conversation_wiring.h"

#include "conversations/conversation_routes_kept.h"
#include "conversations/conversation_settings.h"
#include "core/command_sender.h"
#include "core/constants.h"
#include "core/main_menu.h"
#include "core/session.h"
#include "platform/view_factory.h"
#include "settings/client_settings.h"
#include "settings/settings.h"
#include "shell/browser_launch.h"

#include <filesystem>

namespace corvane {

ConversationWiring::ConversationWiring(Parts parts)
    : m_parts(std::move(parts))
    , m_tabs([this] { return m_parts.views.createConversationTabsView(); })
    , m_conversations(Conversations::Services{
          m_parts.history, m_parts.sound, m_parts.clock, m_parts.settings.Play,
          [this](const std::string& name) { return createView(name); },
          [this](const std::string& line) { return send(line); },
          [this](const std::string& address) { m_parts.browser.OpenInBrowser(address); }, m_parts.notice,
          [this] { return m_parts.session.WorldName; }, [this] { return m_parts.session.CharacterName; },
          [this] { return m_parts.session.Server; }})
    , m_list(m_conversations, [this] { return m_parts.views.createConversationListView(); }) {
    m_parts.menu.setEnabled(MenuItem::ViewConversations, false);
    // Without a settings file the routes have nowhere to be kept.
    m_parts.menu.setEnabled(MenuItem::EditConversationRoutes, false);
    m_conversations.setChangedHook([this] {
        m_parts.menu.setEnabled(MenuItem::ViewConversations, m_conversations.count() > 0);
        m_list.changed();
    });
}

void ConversationWiring::load() {
    if (m_parts.settingsPath.empty()) {
        m_conversations.setRoutes(BuiltInConversationRoutes());
        return;
    }
    loadRoutes();
    m_parts.menu.setEnabled(MenuItem::EditConversationRoutes, static_cast<bool>(m_routesViewFactory));
    if (ConversationRoutesKept::Beside(m_parts.settingsPath).waiting()) {
        // Said, not opened: a window that opens by itself must not take the keyboard.
        m_parts.notice("*** Conversation routes edited but not saved when Corvane was stopped are kept; "
                       "Edit > Conversation Routes opens them.");
    }
    const bool doNotDisturb = ReadFlag("Conversations", "DoNotDisturb", m_parts.settingsPath);
    m_conversations.setDoNotDisturb(doNotDisturb);
    m_parts.menu.setChecked(MenuItem::GameDoNotDisturb, doNotDisturb);
    m_conversations.setLogFolder(
        (std::filesystem::path(m_parts.settingsPath).parent_path() / "logs").string());
}

void ConversationWiring::loadRoutes() {
    ConversationSettings read = ReadConversationSettings(m_parts.settingsPath);
    m_conversations.setRoutes(std::move(read.routes));
    for (const std::string& problem : read.problems) {
        m_parts.notice("*** [Conversations] " + problem + "; left out");
    }
    for (const std::string& error : m_conversations.router().errors()) {
        m_parts.notice("*** [Conversations] the pattern of " + error + "; it matches nothing");
    }
}

void ConversationWiring::setRoutesViewFactory(RoutesViewFactory factory) {
    m_routesViewFactory = std::move(factory);
    m_parts.menu.setEnabled(MenuItem::EditConversationRoutes,
                            !m_parts.settingsPath.empty() && static_cast<bool>(m_routesViewFactory));
}

void ConversationWiring::openRoutes() {
    if (m_parts.settingsPath.empty() || !m_routesViewFactory) {
        return;
    }
    if (!m_routesView) {
        m_routesView = m_routesViewFactory();
        m_routesEditor = std::make_unique<ConversationRoutesPresenter>(
            *m_routesView,
            ConversationRoutesPresenter::Services{m_parts.prompts, m_parts.settingsPath, [this] { loadRoutes(); }});
        m_routesView->setEvents(m_routesEditor.get());
    }
    if (auto kept = ConversationRoutesKept::Beside(m_parts.settingsPath).take()) {
        m_routesEditor->openWith(std::move(*kept));
        return;
    }
    m_routesEditor->open();
}

void ConversationWiring::keepUnsavedRoutes() {
    if (!m_routesEditor || m_parts.settingsPath.empty()) {
        return;
    }
    if (const auto unsaved = m_routesEditor->unsaved()) {
        std::string reason;
        // Nobody is left to tell on failure: the program is ending.
        ConversationRoutesKept::Beside(m_parts.settingsPath).keep(*unsaved, reason);
    }
}

void ConversationWiring::toggleDoNotDisturb() {
    const bool on = !m_conversations.doNotDisturb();
    m_conversations.setDoNotDisturb(on);
    m_parts.menu.setChecked(MenuItem::GameDoNotDisturb, on);
    if (!m_parts.settingsPath.empty()) {
        WriteDoNotDisturb(on, m_parts.settingsPath);
    }
}

std::unique_ptr<ConversationView> ConversationWiring::createView(const std::string& name) {
    std::unique_ptr<ConversationView> page = m_parts.views.createConversationView();
    // The option holds for conversations that begin after it changes.
    if (m_parts.settings.Play[PlayOption::OwnConversationWindows]) {
        return page;
    }
    return m_tabs.wrap(name, std::move(page));
}

bool ConversationWiring::send(const std::string& line) {
    if (!m_parts.session.Connected) {
        return false;
    }
    if (m_parts.menu.enabled(MenuItem::GameQuit)) {
        m_parts.sender.NoteCommandSent();
    }
    m_parts.sender.SendCommand(line + std::string(NewLine));
    return true;
}

} // namespace corvane
