#pragma once

#include <string>
#include <vector>

namespace corvane {

// What the user does in the MUCK help window.
class McpHelpEvents {
public:
    virtual ~McpHelpEvents() = default;
    // "&Look Up", or Enter in the topic field.
    virtual void onLookUp() = 0;
    // The window's close button; the window is already hidden.
    virtual void onClosed() = 0;
};

// The MUCK help window: a topic and a kind to ask the world for, and the
// entry it answered, read-only, with a find field.
class McpHelpView {
public:
    virtual ~McpHelpView() = default;
    virtual void setEvents(McpHelpEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setKinds(const std::vector<std::string>& kinds) = 0;
    virtual std::string topic() const = 0;
    virtual std::string kind() const = 0;
    virtual void setTopic(const std::string& topic) = 0;
    virtual void setLookUpEnabled(bool enabled) = 0;
    virtual void setEntry(const std::string& heading, const std::string& text) = 0;
    // A short line under the entry: asked, not offered, the world's error.
    virtual void setStatus(const std::string& status) = 0;
    // Opened by the player (the topic field takes the keyboard), or by an
    // answer arriving (shown without taking the keyboard from the input line).
    virtual void showWindow(bool takeKeyboard) = 0;
};

} // namespace corvane
