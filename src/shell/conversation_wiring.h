#pragma once

#include "conversations/conversation_list.h"
#include "conversations/conversation_routes_presenter.h"
#include "conversations/conversation_tabs.h"
#include "conversations/conversations.h"

#include <functional>
#include <memory>
#include <string>

namespace corvane {

struct ClientSettings;
struct Session;
class CommandSender;
class MainMenu;
class ViewFactory;
class BrowserLaunch;
class Prompts;

// Conversation windows as the client wires them: routes read from the
// settings file, typed lines sent through the command sender, addresses
// opened like the main output's, Game > Do Not Disturb and View > Conversations
// (there once a conversation has begun) and Edit > Conversation Routes,
// whose saved routes apply at once.
class ConversationWiring {
public:
    struct Parts {
        const ClientSettings& settings;
        const Session& session;
        SessionHistory& history;
        Sound& sound;
        const Clock& clock;
        ViewFactory& views;
        MainMenu& menu;
        CommandSender& sender;
        BrowserLaunch& browser;
        Prompts& prompts;
        std::function<void(const std::string&)> notice;
        std::string settingsPath;
    };

    explicit ConversationWiring(Parts parts);

    // Reads the routes and Do Not Disturb (start-up); problems in them are noticed once.
    void load();
    void toggleDoNotDisturb();
    // View > Conversations.
    void openList() { m_list.open(); }
    using RoutesViewFactory = std::function<std::unique_ptr<ConversationRoutesView>()>;
    void setRoutesViewFactory(RoutesViewFactory factory);
    void openRoutes();
    // On a quit signal: the routes window's unsaved edits are kept for the next start.
    void keepUnsavedRoutes();
    ConversationRoutesPresenter* routesEditor() { return m_routesEditor.get(); }
    Conversations& conversations() { return m_conversations; }
    ConversationTabs& tabs() { return m_tabs; }

private:
    bool send(const std::string& line);
    void loadRoutes();

    std::unique_ptr<ConversationView> createView(const std::string& name);

    Parts m_parts;
    // Before the conversations, whose tabs it outlives.
    ConversationTabs m_tabs;
    Conversations m_conversations;
    ConversationList m_list;
    RoutesViewFactory m_routesViewFactory;
    std::unique_ptr<ConversationRoutesView> m_routesView;
    std::unique_ptr<ConversationRoutesPresenter> m_routesEditor;
};

} // namespace corvane
