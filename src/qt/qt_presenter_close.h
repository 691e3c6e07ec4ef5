#pragma once

#include <QCloseEvent>
#include <QWidget>

namespace corvane {

// The close control of a window whose presenter decides whether it may go
// (an MCP editor with unsent text, a world's dialog): the close is asked
// for, and the window goes only once the presenter has closed it.
class QtPresenterClose {
public:
    // The presenter's own close.
    void close(QWidget& window) {
        m_closing = true;
        // Asked from inside closeEvent, the event itself lets the window go.
        if (!m_inCloseEvent) {
            window.close();
        }
    }
    // From the window's closeEvent; ask tells the presenter (nothing when null).
    template <typename Ask> void closeEvent(QCloseEvent* event, bool canAsk, Ask&& ask) {
        if (m_closing || !canAsk) {
            event->accept();
            return;
        }
        m_inCloseEvent = true;
        ask();
        m_inCloseEvent = false;
        if (m_closing) {
            event->accept();
        } else {
            event->ignore();
        }
    }

private:
    bool m_closing = false;
    bool m_inCloseEvent = false;
};

} // namespace corvane
