#include "qt/qt_mcp_help_view.h"

#include "qt/qt_find_text.h"
#include "qt/qt_text.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

QtMcpHelpView::QtMcpHelpView(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_topic(new QLineEdit(this))
    , m_kind(new QComboBox(this))
    , m_lookUp(new QPushButton(tr("&Look Up"), this))
    , m_heading(new QLabel(this))
    , m_text(new QPlainTextEdit(this))
    , m_find(new QLineEdit(this))
    , m_findNext(new QPushButton(tr("Find &Next"), this))
    , m_status(new QLabel(this)) {
    setObjectName("McpHelp");
    m_topic->setObjectName("txtTopic");
    m_topic->setPlaceholderText(tr("Topic, such as page"));
    m_kind->setObjectName("cboKind");
    m_lookUp->setObjectName("btnLookUp");
    m_heading->setTextFormat(Qt::PlainText);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_find->setPlaceholderText(tr("Find (Ctrl+F), Enter for the next"));
    m_find->setClearButtonEnabled(true);
    m_text->setAccessibleName(tr("Help text"));
    m_find->setAccessibleName(tr("Find"));

    auto* topicLabel = new QLabel(tr("&Topic:"), this);
    topicLabel->setBuddy(m_topic);
    auto* kindLabel = new QLabel(tr("&Kind:"), this);
    kindLabel->setBuddy(m_kind);
    auto* ask = new QHBoxLayout;
    ask->addWidget(topicLabel);
    ask->addWidget(m_topic, 1);
    ask->addWidget(kindLabel);
    ask->addWidget(m_kind);
    ask->addWidget(m_lookUp);
    auto* find = new QHBoxLayout;
    find->addWidget(m_find, 1);
    find->addWidget(m_findNext);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ask);
    layout->addWidget(m_heading);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_status);
    layout->addLayout(find);
    resize(640, 520);

    const auto lookUp = [this] {
        if (m_events != nullptr && m_lookUp->isEnabled()) {
            m_events->onLookUp();
        }
    };
    connect(m_lookUp, &QPushButton::clicked, this, lookUp);
    connect(m_topic, &QLineEdit::returnPressed, this, lookUp);
    connect(m_find, &QLineEdit::returnPressed, this, &QtMcpHelpView::findNext);
    connect(m_findNext, &QPushButton::clicked, this, &QtMcpHelpView::findNext);
}

void QtMcpHelpView::setTitle(const std::string& title) {
    setWindowTitle(toQt(title));
}

void QtMcpHelpView::setKinds(const std::vector<std::string>& kinds) {
    m_kind->clear();
    for (const std::string& kind : kinds) {
        m_kind->addItem(toQt(kind));
    }
}

std::string QtMcpHelpView::topic() const {
    return fromQt(m_topic->text());
}

std::string QtMcpHelpView::kind() const {
    return fromQt(m_kind->currentText());
}

void QtMcpHelpView::setTopic(const std::string& topic) {
    m_topic->setText(toQt(topic));
}

void QtMcpHelpView::setLookUpEnabled(bool enabled) {
    m_lookUp->setEnabled(enabled);
}

void QtMcpHelpView::setEntry(const std::string& heading, const std::string& text) {
    m_heading->setText(toQt(heading));
    m_text->setPlainText(toQt(text));
}

void QtMcpHelpView::setStatus(const std::string& status) {
    m_status->setText(toQt(status));
}

void QtMcpHelpView::showWindow(bool takeKeyboard) {
    // An answer arriving must not take the keyboard from the input line.
    setAttribute(Qt::WA_ShowWithoutActivating, !takeKeyboard);
    show();
    if (takeKeyboard) {
        raise();
        activateWindow();
        m_topic->setFocus();
        m_topic->selectAll();
    }
}

void QtMcpHelpView::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_events != nullptr) {
        m_events->onClosed();
    }
}

void QtMcpHelpView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Find)) {
        m_find->setFocus();
        m_find->selectAll();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QtMcpHelpView::findNext() {
    const QString wanted = m_find->text();
    if (wanted.isEmpty()) {
        return;
    }
    if (!FindWrappingRound(m_text, wanted)) {
        setStatus("\"" + fromQt(wanted) + "\" is not in the entry.");
    }
}

} // namespace corvane
