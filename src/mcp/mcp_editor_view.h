#pragma once

#include <string>

namespace corvane {

// What the user does in an MCP editor window.
class McpEditorEvents {
public:
    virtual ~McpEditorEvents() = default;
    // "&Send" (or "&Compile"), or Ctrl+S.
    virtual void onSend() = 0;
    // "&Close", or the window's own close button. Escape is never this.
    virtual void onCloseRequested() = 0;
    // "Edit in My &Own Editor", or its "Stop" while the text is out there.
    virtual void onOwnEditor() = 0;
};

// A window that edits one text the world sent: a program, a list, a string.
class McpEditorView {
public:
    virtual ~McpEditorView() = default;
    virtual void setEvents(McpEditorEvents* events) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // One line (a string or a number) instead of the many-line editor.
    virtual void setSingleLine(bool singleLine) = 0;
    virtual void setSendCaption(const std::string& caption) = 0;
    // Prose (a description, a list) is spell checked as it is typed; a program is not.
    virtual void setProse(bool prose) = 0;
    // The own-editor button: not to be had (disabled), ready, or in use.
    enum class OwnEditor { Unavailable, Ready, InUse };
    virtual void setOwnEditor(OwnEditor state) = 0;
    virtual void setText(const std::string& text) = 0;
    virtual std::string text() const = 0;
    // A short word under the text: sent, not sent and why.
    virtual void setStatus(const std::string& status) = 0;
    // The world's lines that answered the last send (a compiler's errors),
    // one a line, in a read-only box under the text; empty hides it.
    virtual void setAnswer(const std::string& lines) = 0;
    // Shown without taking the keyboard from the input line.
    virtual void showWindow() = 0;
    virtual void closeWindow() = 0;
};

} // namespace corvane
