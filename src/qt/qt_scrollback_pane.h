#pragma once

#include "qt/qt_history_text.h"

#include <functional>

namespace corvane {

// The session history shown above the live lines of the output box while
// the player reads back: it opens when the box is scrolled up and closes
// when it is scrolled down past the newest line or on Escape. It never
// takes the keyboard by itself; the keys reach it through the box or the
// input line.
class QtScrollbackPane : public QtHistoryText {
    Q_OBJECT
public:
    explicit QtScrollbackPane(QWidget* parent);
    void setCloseHandler(std::function<void()> close) { m_close = std::move(close); }
    // A wheel turn or key meant for the pane; false for keys it leaves alone.
    void scrollRows(int rows);
    bool scrollKey(int key);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_close;
};

} // namespace corvane
