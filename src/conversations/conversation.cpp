#include "conversations/conversation.h"

#include "core/text_codec.h"
#include "core/web_word.h"

#include <algorithm>

namespace corvane {

Conversation::Conversation(std::string name, std::unique_ptr<ConversationView> view, Hooks hooks)
    : m_name(std::move(name))
    , m_view(std::move(view))
    , m_hooks(std::move(hooks)) {
    m_view->setEvents(this);
    updateTitle();
}

Conversation::~Conversation() {
    m_view->setEvents(nullptr);
}

void Conversation::addLine(const TextLine& line, bool openWindow, bool mine) {
    m_lines.push_back(line);
    m_bytes += line.text.size();
    int dropped = 0;
    while (m_lines.size() > 1 && (m_lines.size() > kMaxLines || m_bytes > kMaxBytes)) {
        m_bytes -= m_lines.front().text.size();
        m_lines.pop_front();
        ++dropped;
    }
    if (dropped > 0) {
        m_view->dropOldest(dropped);
    }
    m_view->appendLine(line);
    if (openWindow && !m_view->isShown()) {
        m_view->showQuietly();
    }
    if (!mine && !m_view->isActive()) {
        ++m_unread;
        updateTitle();
        if (m_hooks.unreadChanged) {
            m_hooks.unreadChanged();
        }
    }
}

void Conversation::offerPrefix(const std::string& prefix) {
    if (m_prefixEdited || prefix == m_prefix) {
        return;
    }
    m_prefix = prefix;
    m_view->setPrefix(prefix);
}

void Conversation::onSendTyped(const std::string& text) {
    if (text.empty()) {
        return;
    }
    if (m_hooks.send(m_prefix + text)) {
        m_view->clearInput();
    }
}

void Conversation::onPrefixEdited(const std::string& prefix) {
    m_prefix = prefix;
    m_prefixEdited = true;
}

void Conversation::onActivated() {
    if (m_unread != 0) {
        m_unread = 0;
        updateTitle();
        if (m_hooks.unreadChanged) {
            m_hooks.unreadChanged();
        }
    }
}

void Conversation::onOutputDoubleClicked() {
    int caret = 0;
    const std::string line = m_view->caretLine(caret);
    std::u32string characters;
    std::size_t at = 0;
    while (at < line.size()) {
        characters.push_back(NextCodePoint(line, at));
    }
    const std::string word = WebWordAt(characters, static_cast<std::size_t>(std::max(caret, 0)));
    if (!word.empty() && IsWebAddress(word) && m_hooks.openAddress) {
        m_hooks.openAddress(word);
    }
}

void Conversation::updateTitle() {
    std::string title = m_name;
    if (m_unread > 0) {
        title += " (" + std::to_string(m_unread) + ")";
    }
    m_view->setTitle(title + " - Corvane");
    m_view->setUnread(m_unread);
}

} // namespace corvane
