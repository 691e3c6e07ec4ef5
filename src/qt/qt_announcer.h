#pragma once

#include "platform/announcer.h"

class QLabel;
class QWidget;

namespace corvane {

// Announcements to a screen reader. Qt 6.8 and later send them as such;
// before that a small label in the window takes the text as its accessible
// name and value and says it changed, which screen readers follow as a live
// region.
class QtAnnouncer : public Announcer {
public:
    explicit QtAnnouncer(QWidget* window);
    void announce(const std::string& text) override;
    // The label that carries the text (null where Qt announces by itself).
    QLabel* label() const { return m_label; }

private:
    [[maybe_unused]] QWidget* m_window;
    QLabel* m_label = nullptr;
};

} // namespace corvane
