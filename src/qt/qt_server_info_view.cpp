#include "qt/qt_server_info_view.h"

#include "qt/qt_text.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace corvane {

QtServerInfoView::QtServerInfoView(QWidget* parent)
    : QDialog(parent) {
    setObjectName("ServerInfo");
    setModal(false);
    setWindowTitle(tr("Server Info"));
    m_summary = new QFormLayout;
    m_table = new QTreeWidget(this);
    m_table->setObjectName("ServerInfoTable");
    m_table->setAccessibleName(tr("Everything else the world says about itself"));
    m_table->setColumnCount(2);
    m_table->setHeaderLabels({tr("Name"), tr("Value")});
    m_table->setRootIsDecorated(false);
    m_table->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_note = new QLabel(this);
    m_note->setObjectName("ServerInfoNote");
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName("ServerInfoClose");
    close->setAccessibleName(tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    resize(520, 420);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void QtServerInfoView::setTitle(const std::string& title) {
    setWindowTitle(toQt(title));
}

void QtServerInfoView::setSummary(const std::vector<Row>& rows) {
    while (m_summary->rowCount() > 0) {
        m_summary->removeRow(0);
    }
    for (const Row& row : rows) {
        auto* value = new QLabel(toQt(row.value), this);
        value->setTextFormat(Qt::PlainText);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setAccessibleName(toQt(row.name));
        auto* caption = new QLabel(toQt(row.name + ":"), this);
        caption->setTextFormat(Qt::PlainText);
        m_summary->addRow(caption, value);
    }
}

void QtServerInfoView::setTable(const std::vector<Row>& rows) {
    m_table->clear();
    for (const Row& row : rows) {
        new QTreeWidgetItem(m_table, QStringList{toQt(row.name), toQt(row.value)});
    }
    m_table->setVisible(!rows.empty());
}

void QtServerInfoView::setNote(const std::string& note) {
    m_note->setText(toQt(note));
}

void QtServerInfoView::showWindow() {
    show();
    raise();
    activateWindow();
}

} // namespace corvane
