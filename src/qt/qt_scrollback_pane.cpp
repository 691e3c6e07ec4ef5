#include "qt/qt_scrollback_pane.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace corvane {

QtScrollbackPane::QtScrollbackPane(QWidget* parent)
    : QtHistoryText(parent) {
    setObjectName("ScrollbackPane");
    setAccessibleName(tr("Scrollback"));
    setFocusPolicy(Qt::ClickFocus);
    setFrameShape(QFrame::Box);
    hide();
}

void QtScrollbackPane::scrollRows(int rows) {
    if (rows > 0 && atNewest()) {
        if (m_close) {
            m_close();
        }
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + rows);
}

bool QtScrollbackPane::scrollKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
        pageUp();
        return true;
    case Qt::Key_PageDown:
        if (atNewest()) {
            if (m_close) {
                m_close();
            }
        } else {
            pageDown();
        }
        return true;
    case Qt::Key_Escape:
        if (m_close) {
            m_close();
        }
        return true;
    default:
        return false;
    }
}

void QtScrollbackPane::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40;
    if (steps != 0) {
        scrollRows(-steps);
    }
    event->accept();
}

void QtScrollbackPane::keyPressEvent(QKeyEvent* event) {
    if (!scrollKey(event->key())) {
        QtHistoryText::keyPressEvent(event);
    }
}

} // namespace corvane
