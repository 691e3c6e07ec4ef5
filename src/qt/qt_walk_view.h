#pragma once

#include "qt/qt_tool_window.h"
#include "room/walk_view.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The "Random Walk" window: the interval box with its two labels, then
// "Start &Walk" and "&Cancel".
class QtWalkView : public QtToolWindow, public WalkView {
    Q_OBJECT
public:
    explicit QtWalkView(QWidget* parent = nullptr);

    void setEvents(WalkEvents* events) override { m_events = events; }
    void setCaption(const std::string& caption) override;
    std::string intervalText() const override;
    void setIntervalText(const std::string& text) override;
    void setIntervalVisible(bool visible) override;
    void setWalkButtonCaption(const std::string& caption) override;
    void setPrompt(const std::string& text, bool centred) override;
    void setNote(const std::string& text) override;
    void setTopmost(bool topmost) override { setStaysOnTop(topmost); }
    void showWindow() override;
    void hideWindow() override { hideQuietly(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WalkEvents* m_events = nullptr;
    QLineEdit* m_interval = nullptr;
    QLabel* m_prompt = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_walk = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace corvane
