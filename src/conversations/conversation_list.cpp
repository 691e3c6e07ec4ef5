#include "conversations/conversation_list.h"

#include "conversations/conversations.h"

namespace corvane {

ConversationList::ConversationList(Conversations& conversations, MakeView makeView)
    : m_conversations(conversations)
    , m_makeView(std::move(makeView)) {}

ConversationList::~ConversationList() {
    if (m_view) {
        m_view->setEvents(nullptr);
    }
}

std::vector<ConversationListRow> ConversationList::RowsOf(const Conversations& conversations) {
    std::vector<ConversationListRow> rows;
    for (const auto& conversation : conversations.all()) {
        rows.push_back(
            ConversationListRow{conversation->name(), conversation->unread(), conversation->windowShown()});
    }
    return rows;
}

void ConversationList::open() {
    if (!m_view) {
        m_view = m_makeView ? m_makeView() : nullptr;
        if (!m_view) {
            return;
        }
        m_view->setEvents(this);
    }
    m_rows = RowsOf(m_conversations);
    m_view->setRows(m_rows);
    m_view->showList();
}

void ConversationList::changed() {
    if (!m_view || !m_view->isShown()) {
        return;
    }
    std::vector<ConversationListRow> rows = RowsOf(m_conversations);
    // During a flood of pages the counts change on every line; the view is told only of a change.
    if (rows != m_rows) {
        m_rows = std::move(rows);
        m_view->setRows(m_rows);
    }
}

void ConversationList::onOpenConversation(std::size_t row) {
    if (row >= m_conversations.all().size()) {
        return;
    }
    m_conversations.all()[row]->showWindow();
    changed();
}

} // namespace corvane
