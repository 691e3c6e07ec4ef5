#pragma once

#include "room/direction_view.h"

#include <string>

namespace corvane {

// What the user does in the random walk window.
class WalkEvents : public ToolWindowEvents {
public:
    // Button 0: "Start &Walk", or "End &Walk" while walking.
    virtual void onWalkButton() = 0;
    // Button 1: "&Cancel".
    virtual void onCancel() = 0;
};

// The "Random Walk" window (frmWalk): the interval box, two labels and two buttons.
class WalkView {
public:
    virtual ~WalkView() = default;
    virtual void setEvents(WalkEvents* events) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string intervalText() const = 0;
    virtual void setIntervalText(const std::string& text) = 0;
    virtual void setIntervalVisible(bool visible) = 0;
    virtual void setWalkButtonCaption(const std::string& caption) = 0;
    // Label1: the prompt, later the countdown; centred while walking.
    virtual void setPrompt(const std::string& text, bool centred) = 0;
    // Label2: the range, later the last move. Line feeds break lines.
    virtual void setNote(const std::string& text) = 0;
    virtual void setTopmost(bool topmost) = 0;
    // Modeless: returns at once.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};

} // namespace corvane
