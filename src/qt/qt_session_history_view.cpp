#include "qt/qt_session_history_view.h"

#include "qt/qt_history_text.h"
#include "qt/qt_output_box.h"
#include "qt/qt_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace corvane {

QtSessionHistoryView::QtSessionHistoryView(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_mainWindow(mainWindow)
    , m_text(new QtHistoryText(this))
    , m_find(new QLineEdit(this))
    , m_next(new QPushButton(tr("Find &Next"), this))
    , m_previous(new QPushButton(tr("Find &Previous"), this))
    , m_matchCase(new QCheckBox(tr("Match &case"), this))
    , m_highlightAll(new QCheckBox(tr("&Highlight all"), this))
    , m_status(new QLabel(this)) {
    setObjectName("SessionHistory");
    setWindowTitle(tr("Session History"));
    m_text->setAccessibleName(tr("Session history"));
    m_text->setAccessibleDescription(tr("Every line of this session, oldest first"));
    m_find->setObjectName("txtFind");
    m_find->setPlaceholderText(tr("Find"));
    m_next->setObjectName("btnFindNext");
    m_previous->setObjectName("btnFindPrevious");
    m_matchCase->setObjectName("chkMatchCase");
    m_highlightAll->setObjectName("chkHighlightAll");
    m_status->setObjectName("lblFindStatus");
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(m_status->fontMetrics().horizontalAdvance("000000 of 000000 matches"));
    for (QPushButton* button : {m_next, m_previous}) {
        button->setAutoDefault(false);
    }

    auto* label = new QLabel(tr("&Find:"), this);
    label->setBuddy(m_find);
    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(m_find, 1);
    bar->addWidget(m_next);
    bar->addWidget(m_previous);
    bar->addWidget(m_matchCase);
    bar->addWidget(m_highlightAll);
    bar->addWidget(m_status);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(bar);

    m_text->setCopyHandler([this] {
        if (m_events != nullptr) {
            m_events->onCopy();
        }
    });
    connect(m_next, &QPushButton::clicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onFindNext();
        }
    });
    connect(m_previous, &QPushButton::clicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onFindPrevious();
        }
    });
    connect(m_find, &QLineEdit::textChanged, this, [this] { findChanged(); });
    connect(m_matchCase, &QCheckBox::toggled, this, [this] { findChanged(); });
    connect(m_highlightAll, &QCheckBox::toggled, this, [this] { findChanged(); });
    m_find->installEventFilter(this);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* findKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(findKey, &QShortcut::activated, this, [this] {
        m_find->setFocus();
        m_find->selectAll();
    });
    resize(820, 520);
}

void QtSessionHistoryView::setHistory(const SessionHistory& history) {
    m_text->setHistory(&history);
}

void QtSessionHistoryView::findChanged() {
    if (m_events != nullptr) {
        m_events->onFindChanged();
    }
}

void QtSessionHistoryView::showAtNewest() {
    // The output box's font and colours, as they are now.
    if (auto* output = m_mainWindow != nullptr ? m_mainWindow->findChild<QtOutputBox*>() : nullptr) {
        m_text->setLook(output->displayLook());
    }
    show();
    raise();
    activateWindow();
    m_text->scrollToNewest();
    m_find->setFocus();
    m_find->selectAll();
}

void QtSessionHistoryView::linesChanged() {
    m_text->linesChanged();
}

void QtSessionHistoryView::showMatch(const HistoryMatch& match) {
    m_text->showMatch(match);
}

void QtSessionHistoryView::setHighlight(const std::string& query, bool matchCase) {
    m_text->setHighlight(query, matchCase);
}

void QtSessionHistoryView::setFindStatus(const std::string& text) {
    m_status->setText(toQt(text));
}

std::string QtSessionHistoryView::findText() const {
    return fromQt(m_find->text());
}

bool QtSessionHistoryView::matchCase() const {
    return m_matchCase->isChecked();
}

bool QtSessionHistoryView::highlightAll() const {
    return m_highlightAll->isChecked();
}

std::uint64_t QtSessionHistoryView::firstVisibleLine() const {
    return m_text->firstVisibleLine();
}

std::uint64_t QtSessionHistoryView::lastVisibleLine() const {
    return m_text->lastVisibleLine();
}

std::optional<SessionHistoryView::Range> QtSessionHistoryView::selection() const {
    return m_text->selection();
}

void QtSessionHistoryView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (m_events != nullptr) {
        m_events->onClosed();
    }
}

bool QtSessionHistoryView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_find && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_events != nullptr) {
            if ((key->modifiers() & Qt::ShiftModifier) != 0) {
                m_events->onFindPrevious();
            } else {
                m_events->onFindNext();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvane
