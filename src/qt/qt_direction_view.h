#pragma once

#include "qt/qt_tool_window.h"
#include "room/direction_view.h"

namespace corvane {

// The "Directions" pad: a compass rose with up, down, in and out beside it.
class QtDirectionView : public QtToolWindow, public DirectionView {
    Q_OBJECT
public:
    explicit QtDirectionView(QWidget* parent = nullptr);

    void setEvents(DirectionEvents* events) override { m_events = events; }
    void setTopmost(bool topmost) override { setStaysOnTop(topmost); }
    void showWindow() override { showForward(); }
    void hideWindow() override { hideQuietly(); }

private:
    DirectionEvents* m_events = nullptr;
};

} // namespace corvane
