#pragma once

#include <string>

namespace corvane {

// What the user does in a dialog a world built with MCP-GUI.
class McpDialogEvents {
public:
    virtual ~McpDialogEvents() = default;
    virtual void onButton(const std::string& id) = 0;
    // The window's own close button.
    virtual void onCloseRequested() = 0;
};

// A window whose controls the world lays out one by one: labels, one-line and
// many-line fields, check boxes, buttons and frames that hold others.
class McpDialogView {
public:
    enum class Control { Text, Edit, MultiEdit, Button, Checkbox, Frame };

    virtual ~McpDialogView() = default;
    virtual void setEvents(McpDialogEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Added below the last control, or into the frame named `pane`.
    virtual void addControl(Control kind, const std::string& id, const std::string& pane, const std::string& text,
                            const std::string& value) = 0;
    // A check box's value is "1" or "0".
    virtual void setValue(const std::string& id, const std::string& value) = 0;
    virtual std::string value(const std::string& id) const = 0;
    // Shown without taking the keyboard from the input line.
    virtual void showWindow() = 0;
    virtual void closeWindow() = 0;
};

} // namespace corvane
