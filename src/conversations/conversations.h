#pragma once

#include "conversations/conversation.h"
#include "conversations/conversation_log.h"
#include "conversations/conversation_route.h"
#include "core/shown_line_filter.h"
#include "platform/clock.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

class Attention;
class Notifier;
class SessionHistory;
class Sound;
struct PlayOptions;

// Pages, whispers, puppets and channels, each in a window of its own. Sits in
// the path of received lines after the triggers (so a conversation shows the
// colours they gave and never a line they hid): a line a route takes goes to
// the window named after who spoke, and also to the main output unless the
// route says instead. A line from someone else while Corvane is in the
// background asks for the player's attention, unless Do Not Disturb is on.
class Conversations : public ShownLineFilter {
public:
    // A world that names a new speaker on every line must not open windows without end.
    static constexpr std::size_t kMaxConversations = 32;

    struct Services {
        SessionHistory& history;
        Sound& sound;
        const Clock& clock;
        const PlayOptions& play;
        // A new window for the conversation named, or null where there are
        // none (the lines then stay in the main output).
        std::function<std::unique_ptr<ConversationView>(const std::string&)> createView;
        // A line for the world, without its line end; false when it could not go.
        std::function<bool(const std::string&)> send;
        std::function<void(const std::string&)> openAddress;
        // A line of the client's own in the main output.
        std::function<void(const std::string&)> notice;
        std::function<std::string()> worldName;
        // The character logged in, whose name a line may mention.
        std::function<std::string()> characterName;
        // The kind of server the world runs, which decides the forms it prints.
        std::function<ServerKind()> server = {};
    };

    explicit Conversations(Services services);
    ~Conversations() override;
    Conversations(const Conversations&) = delete;
    Conversations& operator=(const Conversations&) = delete;

    // The filter that has each line first (the triggers).
    void setNext(ShownLineFilter* next) { m_next = next; }
    void setNotifier(Notifier* notifier) { m_notifier = notifier; }
    void setAttention(Attention* attention) { m_attention = attention; }
    void setRoutes(std::vector<ConversationRoute> routes) { m_router.setRoutes(std::move(routes)); }
    const ConversationRouter& router() const { return m_router; }
    void setDoNotDisturb(bool on) { m_doNotDisturb = on; }
    bool doNotDisturb() const { return m_doNotDisturb; }
    // Where "Log conversations" writes; empty: nowhere.
    void setLogFolder(const std::string& folder);

    bool offerLine(TextLine& line) override;
    void readEnded(std::string_view unshown) override;
    // A GMCP Comm.Channel.Text message: the channel's own window.
    void channelText(const std::string& channel, const std::string& talker, const std::string& text);

    // The conversation by name (any case), or null.
    Conversation* find(const std::string& name);
    std::size_t count() const { return m_conversations.size(); }
    // In the order they began.
    const std::vector<std::unique_ptr<Conversation>>& all() const { return m_conversations; }
    // A conversation began or its unread count changed.
    void setChangedHook(std::function<void()> changed) { m_changed = std::move(changed); }
    // The conversation someone else's last whole line went to, or empty.
    const std::string& lastArrival() const { return m_lastArrival; }
    // The player's name as a word of its own in the line, not at its start.
    bool mentionsPlayer(std::string_view text) const;
    // Each line routed to a conversation: the conversation's name and the line (scripts' event).
    void setRoutedHook(std::function<void(const std::string&, const std::string&)> routed) {
        m_routed = std::move(routed);
    }

private:
    Conversation* conversationFor(const std::string& name);
    void arrived(Conversation& conversation, const TextLine& line, bool alert, bool openWindow = true,
                 bool mine = false);
    void askAttention(const std::string& from, const std::string& text);

    Services m_services;
    ShownLineFilter* m_next = nullptr;
    std::string m_lastArrival;
    Notifier* m_notifier = nullptr;
    Attention* m_attention = nullptr;
    ConversationRouter m_router;
    std::vector<std::unique_ptr<Conversation>> m_conversations;
    std::unique_ptr<ConversationLog> m_log;
    bool m_doNotDisturb = false;
    // A window could not be made: nothing is routed from then on.
    bool m_noWindows = false;
    bool m_reportedFull = false;
    std::function<void()> m_changed;
    std::function<void(const std::string&, const std::string&)> m_routed;
};

} // namespace corvane
