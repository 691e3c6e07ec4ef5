#pragma once

#include "mcp/mcp_editor_view.h"

#include <string>

namespace corvane::testing {

// Records what the editor window was told; the test plays the user through `events`.
class FakeMcpEditorView : public McpEditorView {
public:
    void setEvents(McpEditorEvents* e) override { events = e; }
    void setTitle(const std::string& t) override { title = t; }
    void setSingleLine(bool s) override { singleLine = s; }
    void setSendCaption(const std::string& c) override { sendCaption = c; }
    void setProse(bool p) override { prose = p; }
    void setOwnEditor(OwnEditor state) override { ownEditor = state; }
    void setText(const std::string& t) override { content = t; }
    std::string text() const override { return content; }
    void setStatus(const std::string& s) override { status = s; }
    void setAnswer(const std::string& lines) override { answer = lines; }
    void showWindow() override { shown = true; }
    void closeWindow() override { shown = false; }

    McpEditorEvents* events = nullptr;
    std::string title;
    bool singleLine = false;
    std::string sendCaption;
    bool prose = false;
    OwnEditor ownEditor = OwnEditor::Unavailable;
    std::string content;
    std::string status;
    std::string answer;
    bool shown = false;
};

} // namespace corvane::testing
