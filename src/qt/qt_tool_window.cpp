#include "qt/qt_tool_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QWindow>

namespace corvane {

QtToolWindow::QtToolWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {}

void QtToolWindow::setHandlers(std::function<void()> closed, std::function<void(bool)> minimisedChanged) {
    m_closed = std::move(closed);
    m_minimisedChanged = std::move(minimisedChanged);
}

void QtToolWindow::setStaysOnTop(bool onTop) {
    Qt::WindowFlags flags = windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop) {
        return;
    }
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow* handle = windowHandle()) {
        // Setting the widget's flags would hide the window and place it anew;
        // the native window takes the hint as it is.
        overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void QtToolWindow::showForward() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void QtToolWindow::hideQuietly() {
    // hide() sends no close event, so nothing is reported.
    hide();
}

void QtToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closed) {
        m_closed();
    }
}

void QtToolWindow::keyPressEvent(QKeyEvent* event) {
    // A modifier on its own is the start of an access key (Alt+N on the
    // pad): handing it on would make the main window active, and the letter
    // would press the main window's button instead.
    switch (event->key()) {
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        QWidget::keyPressEvent(event);
        return;
    default:
        break;
    }
    QWidget* main = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QWidget* target = main != nullptr ? main->focusWidget() : nullptr;
    if (target == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    main->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
    QApplication::sendEvent(target, event);
}

void QtToolWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    const bool minimised = isMinimized();
    if (minimised != m_minimised) {
        m_minimised = minimised;
        if (m_minimisedChanged) {
            m_minimisedChanged(minimised);
        }
    }
}

} // namespace corvane
