#include "qt/qt_walk_view.h"

#include "qt/qt_show_quietly.h"
#include "qt/qt_text.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace corvane {

QtWalkView::QtWalkView(QWidget* parent)
    : QtToolWindow(parent) {
    setObjectName("frmWalk");
    setWindowTitle(tr("Random Walk"));
    reportTo(m_events);

    m_prompt = new QLabel(this);
    m_prompt->setObjectName("Label1");
    m_prompt->setTextFormat(Qt::PlainText);
    m_interval = new QLineEdit(QStringLiteral("5"), this);
    m_interval->setObjectName("Text1");
    m_interval->setAccessibleName(tr("Seconds between steps"));
    m_interval->setMaximumWidth(90);
    m_interval->installEventFilter(this);
    m_note = new QLabel(this);
    m_note->setObjectName("Label2");
    m_note->setTextFormat(Qt::PlainText);
    m_note->setAlignment(Qt::AlignCenter);

    m_walk = new QPushButton(tr("Start &Walk"), this);
    m_walk->setObjectName("Command1_0");
    m_walk->setDefault(true);
    m_cancel = new QPushButton(tr("&Cancel"), this);
    m_cancel->setObjectName("Command1_1");
    connect(m_walk, &QPushButton::clicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onWalkButton();
        }
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_events != nullptr) {
            m_events->onCancel();
        }
    });
    // Enter in the interval box starts the walk, as the default button would.
    connect(m_interval, &QLineEdit::returnPressed, m_walk, &QPushButton::click);

    auto* entry = new QHBoxLayout;
    entry->addWidget(m_prompt, 1);
    entry->addWidget(m_interval);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_walk);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(m_note, 1);
    layout->addLayout(buttons);
    setMinimumWidth(260);
    resize(280, 140);
}

void QtWalkView::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

std::string QtWalkView::intervalText() const {
    return fromQt(m_interval->text());
}

void QtWalkView::setIntervalText(const std::string& text) {
    m_interval->setText(toQt(text));
}

void QtWalkView::setIntervalVisible(bool visible) {
    m_interval->setVisible(visible);
}

void QtWalkView::setWalkButtonCaption(const std::string& caption) {
    m_walk->setText(toQt(caption));
}

void QtWalkView::setPrompt(const std::string& text, bool centred) {
    m_prompt->setText(toQt(text));
    m_prompt->setAlignment(centred ? Qt::AlignCenter : (Qt::AlignLeft | Qt::AlignVCenter));
}

void QtWalkView::setNote(const std::string& text) {
    m_note->setText(toQt(text));
}

// The walk goes on while the player types moves and talk: the window comes
// up with the interval ready for a click, the keyboard stays with the input line.
void QtWalkView::showWindow() {
    if (isMinimized()) {
        showNormal();
    }
    if (m_interval->isVisible()) {
        m_interval->setFocus();
    }
    ShowQuietly(this);
}

bool QtWalkView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_interval && event->type() == QEvent::FocusIn) {
        // After the focus event, or the click that brought it would undo the selection.
        QTimer::singleShot(0, m_interval, &QLineEdit::selectAll);
    }
    return QtToolWindow::eventFilter(watched, event);
}

} // namespace corvane
