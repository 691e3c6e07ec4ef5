#include "qt/qt_conversation_list_view.h"

#include <QFont>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace corvane {

QtConversationListView::QtConversationListView(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_list(new QListWidget(this)) {
    setObjectName("ConversationListWindow");
    setWindowTitle(tr("Conversations - Corvane"));
    m_list->setObjectName("ConversationList");
    m_list->setAccessibleName(tr("Conversations"));
    m_list->setAccessibleDescription(tr("Enter opens the conversation; unread lines in brackets"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_list);
    resize(240, 300);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (m_events != nullptr) {
            m_events->onOpenConversation(static_cast<std::size_t>(m_list->row(item)));
        }
    });
}

void QtConversationListView::setRows(const std::vector<ConversationListRow>& rows) {
    const int current = m_list->currentRow();
    m_list->clear();
    for (const ConversationListRow& row : rows) {
        // Names come from the server: list items show them as plain text.
        QString text = QString::fromStdString(row.name);
        if (row.unread > 0) {
            text += QStringLiteral(" (%1)").arg(row.unread);
        }
        auto* item = new QListWidgetItem(text, m_list);
        if (row.unread > 0) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
    }
    m_list->setCurrentRow(std::clamp(current, 0, static_cast<int>(rows.size()) - 1));
}

void QtConversationListView::showList() {
    show();
    raise();
    activateWindow();
    m_list->setFocus();
}

} // namespace corvane
