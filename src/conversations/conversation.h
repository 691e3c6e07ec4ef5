#pragma once

#include "conversations/conversation_route.h"
#include "conversations/conversation_view.h"
#include "core/text_line.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace corvane {

// One conversation (a name, a puppet or a channel) and its window: the last
// lines, how many arrived unseen, and what its input line sends with.
class Conversation : private ConversationViewEvents {
public:
    static constexpr std::size_t kMaxLines = 500;
    // Also no more text than this, so long lines from a hostile world stay bounded.
    static constexpr std::size_t kMaxBytes = 256 * 1024;

    struct Hooks {
        // A line for the world, without its line end; false when it could
        // not go (not connected), and the typed text then stays.
        std::function<bool(const std::string&)> send;
        std::function<void(const std::string&)> openAddress;
        // The unread count changed (for the list of conversations).
        std::function<void()> unreadChanged;
    };

    Conversation(std::string name, std::unique_ptr<ConversationView> view, Hooks hooks);
    ~Conversation() override;
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    const std::string& name() const { return m_name; }
    // A line of this conversation; with `openWindow` the window opens
    // (quietly) if it was closed.
    // The player's own lines (a page sent) are not counted as unread.
    void addLine(const TextLine& line, bool openWindow = true, bool mine = false);
    // The player picked it from the list: shown and active.
    void showWindow() { m_view->showActive(); }
    bool windowShown() const { return m_view->isShown(); }
    // The prefix that fits the line just routed here, unless the player has
    // written one of their own.
    void offerPrefix(const std::string& prefix);
    const std::string& prefix() const { return m_prefix; }
    std::size_t unread() const { return m_unread; }
    const std::deque<TextLine>& lines() const { return m_lines; }
    bool windowActive() const { return m_view->isActive(); }
    ConversationView& view() { return *m_view; }

private:
    void onSendTyped(const std::string& text) override;
    void onPrefixEdited(const std::string& prefix) override;
    void onActivated() override;
    void onOutputDoubleClicked() override;
    void updateTitle();

    std::string m_name;
    std::unique_ptr<ConversationView> m_view;
    Hooks m_hooks;
    std::deque<TextLine> m_lines;
    std::size_t m_bytes = 0;
    std::size_t m_unread = 0;
    std::string m_prefix;
    bool m_prefixEdited = false;
};

} // namespace corvane
