#pragma once

#include "conversations/conversation_view.h"

#include <cstddef>
#include <memory>
#include <string>

namespace corvane {

class ConversationTabs;

// A conversation's window while it lives as a tab of the Conversations
// window: its lines, prefix and input stay on its own page, and whether it
// shows, is active or has been seen is the Conversations window's to say.
class ConversationTab : public ConversationView, private ConversationViewEvents {
public:
    ConversationTab(ConversationTabs& tabs, std::string name, std::unique_ptr<ConversationView> page);
    ~ConversationTab() override;
    ConversationTab(const ConversationTab&) = delete;
    ConversationTab& operator=(const ConversationTab&) = delete;

    void setEvents(ConversationViewEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override { m_page->setTitle(title); }
    void setUnread(std::size_t count) override;
    void setPrefix(const std::string& prefix) override { m_page->setPrefix(prefix); }
    void appendLine(const TextLine& line) override { m_page->appendLine(line); }
    void dropOldest(int count) override { m_page->dropOldest(count); }
    void clearInput() override { m_page->clearInput(); }
    void showQuietly() override;
    void showActive() override;
    bool isShown() const override;
    bool isActive() const override;
    std::string caretLine(int& caretOffset) const override { return m_page->caretLine(caretOffset); }

    const std::string& name() const { return m_name; }
    std::size_t unread() const { return m_unread; }
    // The tab's words: the name, and the unread count when there is one.
    std::string label() const;
    ConversationView& page() { return *m_page; }
    const ConversationView& page() const { return *m_page; }
    // In a window of its own rather than in the Conversations window.
    bool ownWindow() const { return m_ownWindow; }
    void setOwnWindow(bool own);
    // Its lines have been seen (it is the tab on show in the active window).
    void seen();

private:
    void onSendTyped(const std::string& text) override;
    void onPrefixEdited(const std::string& prefix) override;
    void onActivated() override;
    void onOutputDoubleClicked() override;
    void onBackIntoTabs() override;

    ConversationTabs& m_tabs;
    std::string m_name;
    std::unique_ptr<ConversationView> m_page;
    ConversationViewEvents* m_events = nullptr;
    std::size_t m_unread = 0;
    bool m_ownWindow = false;
};

} // namespace corvane
