#include "conversations/conversation_tab.h"

#include "conversations/conversation_tabs.h"

namespace corvane {

ConversationTab::ConversationTab(ConversationTabs& tabs, std::string name, std::unique_ptr<ConversationView> page)
    : m_tabs(tabs)
    , m_name(std::move(name))
    , m_page(std::move(page)) {
    m_page->setEvents(this);
}

ConversationTab::~ConversationTab() {
    m_tabs.forget(*this);
    m_page->setEvents(nullptr);
}

std::string ConversationTab::label() const {
    return m_unread > 0 ? m_name + " (" + std::to_string(m_unread) + ")" : m_name;
}

void ConversationTab::setUnread(std::size_t count) {
    if (count != m_unread) {
        m_unread = count;
        m_tabs.unreadChanged(*this);
    }
}

void ConversationTab::showQuietly() {
    m_tabs.show(*this, false);
}

void ConversationTab::showActive() {
    m_tabs.show(*this, true);
}

bool ConversationTab::isShown() const {
    return m_tabs.shown(*this);
}

bool ConversationTab::isActive() const {
    return m_tabs.active(*this);
}

void ConversationTab::setOwnWindow(bool own) {
    m_ownWindow = own;
    m_page->offerBackIntoTabs(own);
}

void ConversationTab::seen() {
    if (m_events != nullptr) {
        m_events->onActivated();
    }
}

void ConversationTab::onSendTyped(const std::string& text) {
    if (m_events != nullptr) {
        m_events->onSendTyped(text);
    }
}

void ConversationTab::onPrefixEdited(const std::string& prefix) {
    if (m_events != nullptr) {
        m_events->onPrefixEdited(prefix);
    }
}

void ConversationTab::onActivated() {
    // Every page of an active window hears of it; only the one on show has been seen.
    if (isActive()) {
        seen();
    }
}

void ConversationTab::onOutputDoubleClicked() {
    if (m_events != nullptr) {
        m_events->onOutputDoubleClicked();
    }
}

void ConversationTab::onBackIntoTabs() {
    m_tabs.backIntoTabs(*this);
}

} // namespace corvane
