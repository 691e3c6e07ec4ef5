#pragma once

#include "platform/attention.h"

class QWidget;

namespace corvane {

// The application is active while one of its windows is; attention is the
// window manager's urgency hint on the main window (a blinking taskbar entry).
class QtAttention : public Attention {
public:
    explicit QtAttention(QWidget* mainWindow)
        : m_window(mainWindow) {}
    bool active() const override;
    void requestAttention() override;

private:
    QWidget* m_window;
};

} // namespace corvane
