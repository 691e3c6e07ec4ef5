#pragma once

#include "conversations/conversation_list_view.h"

#include <QWidget>

class QListWidget;

namespace corvane {

// View > Conversations: a small window listing each conversation of this run,
// "Alice (3)" while three of its lines are unread; Enter or a double click
// brings its window up.
class QtConversationListView : public QWidget, public ConversationListView {
    Q_OBJECT
public:
    explicit QtConversationListView(QWidget* mainWindow);

    void setEvents(ConversationListViewEvents* events) override { m_events = events; }
    void setRows(const std::vector<ConversationListRow>& rows) override;
    void showList() override;
    bool isShown() const override { return isVisible(); }

    QListWidget* list() const { return m_list; }

private:
    ConversationListViewEvents* m_events = nullptr;
    QListWidget* m_list;
};

} // namespace corvane
