#pragma once

#include "mcp/mcp_editor_view.h"
#include "mcp/mcp_external_edit.h"
#include "mcp/mcp_message.h"

#include <functional>
#include <memory>
#include <string>

namespace corvane {

class Prompts;

// What the world asked to have edited (a simpleedit "content" message).
struct McpEditRequest {
    // The package the request came in, whose "set" carries the answer.
    std::string package;
    std::string reference;
    std::string type;
    std::string name;
    std::string content;
    std::string world;
    // Kept from a run that was stopped: the world has not had this text.
    bool fromDraft = false;
};

// One editor window: the world's text, sent back with "set" on Send (the
// window stays open, so a program can be compiled again and again), and a
// question before unsent changes are thrown away. Escape never closes it.
class McpEditor : private McpEditorEvents {
public:
    struct Hooks {
        // Sends the message; false when it could not go (the world has gone).
        std::function<bool(const McpMessage&)> send;
        // The window has closed; the owner may drop this editor afterwards.
        std::function<void()> closed;
        // What "Edit in My Own Editor" needs; without it the button is disabled.
        McpExternalEdit::Services ownEditor;
        // The text went to the world, whose answer may follow.
        std::function<void(McpEditor&)> sent;
    };

    McpEditor(std::unique_ptr<McpEditorView> view, Prompts& prompts, McpEditRequest request, Hooks hooks);
    ~McpEditor() override;
    McpEditor(const McpEditor&) = delete;
    McpEditor& operator=(const McpEditor&) = delete;

    bool isOpen() const { return m_open; }
    const McpEditRequest& request() const { return m_request; }
    McpEditorView& view() { return *m_view; }
    // The text has changes the world has not been sent.
    bool hasUnsentChanges() const;
    // The text as it stands, without the editor's own last line end.
    std::string currentText() const;

    void onSend() override;
    void onCloseRequested() override;
    void onOwnEditor() override;
    // The player's own editor has the text and its saves are sent.
    bool inOwnEditor() const { return m_external && m_external->watching(); }
    std::string ownEditorFile() const { return m_external ? m_external->path() : std::string(); }
    // The world's answer to the last send so far, a line each.
    void showAnswer(const std::string& lines);

private:
    // Sends `set`; the status says whether it went.
    bool send(const std::string& text);
    void ownEditorSaved(const std::string& text);

    std::unique_ptr<McpEditorView> m_view;
    Prompts& m_prompts;
    McpEditRequest m_request;
    Hooks m_hooks;
    std::string m_sentText;
    std::unique_ptr<McpExternalEdit> m_external;
    bool m_open = true;
    bool m_unsentDraft = false;
};

} // namespace corvane
