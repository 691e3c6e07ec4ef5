#include "conversations/conversations.h"

#include "core/ansi_parser.h"
#include "core/session_history.h"
#include "core/text_codec.h"
#include "platform/attention.h"
#include "platform/notifier.h"
#include "platform/sound.h"
#include "settings/play_options.h"

namespace corvane {

namespace {
constexpr std::size_t kNotificationCharacters = 80;

bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
} // namespace

Conversations::Conversations(Services services)
    : m_services(std::move(services)) {}

Conversations::~Conversations() = default;

void Conversations::setLogFolder(const std::string& folder) {
    m_log.reset();
    if (!folder.empty()) {
        m_log =
            std::make_unique<ConversationLog>(folder, m_services.play, m_services.clock, m_services.notice);
    }
}

bool Conversations::offerLine(TextLine& line) {
    if (line.complete) {
        m_lastArrival.clear();
    }
    if (m_next != nullptr && !m_next->offerLine(line)) {
        return false;
    }
    // Only whole lines: a prompt shown before its line end is no one's page.
    if (!line.complete || m_noWindows) {
        return true;
    }
    const std::optional<RoutedLine> routed =
        m_router.route(line.text, m_services.server ? m_services.server() : ServerKind::Muck);
    if (!routed) {
        if (m_services.play[PlayOption::NotifyOnName] && mentionsPlayer(line.text)) {
            askAttention(m_services.worldName ? m_services.worldName() : std::string(), line.text);
        }
        return true;
    }
    const ConversationRoute& route = m_router.routes()[routed->route];
    Conversation* conversation = conversationFor(routed->who);
    if (conversation == nullptr) {
        return true;
    }
    conversation->offerPrefix(SendPrefixFor(route, routed->who));
    if (!route.fromMe) {
        m_lastArrival = conversation->name();
    }
    arrived(*conversation, line, !route.fromMe, route.openOnFirst, route.fromMe);
    // The session history keeps every line, each marked with its conversation.
    m_services.history.tagLine(line.text, conversation->name());
    if (route.instead) {
        m_services.history.appendHidden(line.text, line.spans);
        return false;
    }
    return true;
}

void Conversations::readEnded(std::string_view unshown) {
    if (m_next != nullptr) {
        m_next->readEnded(unshown);
    }
}

void Conversations::channelText(const std::string& channel, const std::string& talker,
                                const std::string& text) {
    // Worlds send the channel line as they show it, colour codes and all.
    TextLine line = StyledLine(text);
    const bool named = !line.text.empty() && !talker.empty() && line.text.find(talker) == std::string::npos;
    Conversation* conversation = channel.empty() || m_noWindows ? nullptr : conversationFor(channel);
    if (conversation == nullptr) {
        // No window for it (there are too many): the main output has it, as
        // it has a page then, never nowhere.
        std::string shown = line.text;
        while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) {
            shown.pop_back();
        }
        if (!line.text.empty() && m_services.notice) {
            m_services.notice(named ? talker + ": " + shown : shown);
        }
        return;
    }
    conversation->offerPrefix(channel + " ");
    if (named) {
        const std::string said = talker + ": ";
        line.text.insert(0, said);
        for (StyleSpan& span : line.spans) {
            span.start += static_cast<std::uint32_t>(said.size());
        }
    }
    // Channels talk all the time: their lines never ask for attention.
    arrived(*conversation, line, false);
    // Most worlds also send the line as text; the history names its channel then.
    m_services.history.tagLine(line.text, conversation->name());
}

Conversation* Conversations::find(const std::string& name) {
    for (const auto& conversation : m_conversations) {
        if (EqualsNoCase(conversation->name(), name)) {
            return conversation.get();
        }
    }
    return nullptr;
}

Conversation* Conversations::conversationFor(const std::string& name) {
    if (Conversation* found = find(name)) {
        return found;
    }
    if (m_conversations.size() >= kMaxConversations) {
        if (!m_reportedFull) {
            m_reportedFull = true;
            m_services.notice("*** " + std::to_string(kMaxConversations) +
                              " conversations are open; lines from anyone else stay in the main window");
        }
        return nullptr;
    }
    std::unique_ptr<ConversationView> view = m_services.createView ? m_services.createView(name) : nullptr;
    if (!view) {
        m_noWindows = true;
        return nullptr;
    }
    m_conversations.push_back(std::make_unique<Conversation>(
        name, std::move(view), Conversation::Hooks{m_services.send, m_services.openAddress, [this] {
                                                       if (m_changed) {
                                                           m_changed();
                                                       }
                                                   }}));
    if (m_changed) {
        m_changed();
    }
    return m_conversations.back().get();
}

void Conversations::arrived(Conversation& conversation, const TextLine& line, bool alert, bool openWindow,
                            bool mine) {
    conversation.addLine(line, openWindow, mine);
    if (m_log && m_services.play[PlayOption::LogConversations]) {
        m_log->writeLine(conversation.name(), line.text);
    }
    if (m_routed) {
        m_routed(conversation.name(), line.text);
    }
    if (alert) {
        const std::string world = m_services.worldName ? m_services.worldName() : std::string();
        askAttention(world.empty() ? conversation.name() : conversation.name() + " - " + world, line.text);
    }
}

// The name as a word of its own, anywhere but at the start: a line that
// starts with it is the player's own pose or arrival.
bool Conversations::mentionsPlayer(std::string_view text) const {
    const std::string name = m_services.characterName ? m_services.characterName() : std::string();
    if (name.empty() || text.size() <= name.size()) {
        return false;
    }
    const std::string lower = ToLowerAscii(text);
    const std::string wanted = ToLowerAscii(name);
    for (std::size_t at = lower.find(wanted, 1); at != std::string::npos; at = lower.find(wanted, at + 1)) {
        const std::size_t end = at + wanted.size();
        if (!isWordCharacter(lower[at - 1]) && (end == lower.size() || !isWordCharacter(lower[end]))) {
            return true;
        }
    }
    return false;
}

void Conversations::askAttention(const std::string& from, const std::string& text) {
    if (m_doNotDisturb || (m_attention != nullptr && m_attention->active())) {
        return;
    }
    if (m_notifier != nullptr) {
        const std::string body = Utf8Length(text) > kNotificationCharacters
                                     ? Utf8Left(text, kNotificationCharacters) + "..."
                                     : text;
        m_notifier->notify(from.empty() ? std::string("Corvane") : from, body);
    }
    if (m_attention != nullptr) {
        m_attention->requestAttention();
    }
    if (m_services.play[PlayOption::ConversationBeep]) {
        m_services.sound.beep();
    }
}

} // namespace corvane
