#pragma once

#include <array>
#include <string_view>

namespace corvane {

struct DirectionButton {
    std::string_view caption;
    // Sent followed by a line feed; empty for "&Cancel", which only closes.
    std::string_view command;
};

// The pad's thirteen buttons (control array Command1), by index.
inline constexpr std::array<DirectionButton, 13> kDirectionButtons = {{
    {"&N", "north"},
    {"&S", "south"},
    {"&E", "east"},
    {"&W", "west"},
    {"NW", "nw"},
    {"NE", "ne"},
    {"SE", "se"},
    {"SW", "sw"},
    {"&Up", "up"},
    {"&Down", "down"},
    {"&In", "in"},
    {"&Out", "out"},
    {"&Cancel", ""},
}};
inline constexpr int kDirectionCancel = 12;

// What the user does with a small always-on-top window (the direction pad,
// the random walk).
class ToolWindowEvents {
public:
    virtual ~ToolWindowEvents() = default;
    // The window's own close control; the window is already going.
    virtual void onClosed() = 0;
    // Minimised, or back from it.
    virtual void onMinimisedChanged(bool minimised) = 0;
};

// What the user does in the direction pad.
class DirectionEvents : public ToolWindowEvents {
public:
    // Button index 0 to 12.
    virtual void onDirectionButton(int index) = 0;
};

// The "Directions" window (Direction).
class DirectionView {
public:
    virtual ~DirectionView() = default;
    virtual void setEvents(DirectionEvents* events) = 0;
    // Above all other windows, without moving it.
    virtual void setTopmost(bool topmost) = 0;
    // Shows it, or brings it forward when it is shown already. Returns at once.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};

} // namespace corvane
