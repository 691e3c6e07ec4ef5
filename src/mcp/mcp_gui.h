#pragma once

#include "mcp/mcp_dialog_view.h"
#include "mcp/mcp_stage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ViewFactory;
class McpLink;
class OutputSink;

// MCP-GUI (org-fuzzball-gui), the part a MUCK's list editor uses for ".gui":
// dialogs with labels, fields, check boxes, buttons and frames. A button
// sends every field's value first, then the event; a button that dismisses,
// or the window's close button, closes the dialog. Dialogs never block.
class McpGui {
public:
    static constexpr const char* kPackage = "org-fuzzball-gui";
    // Bounds on what a world may build.
    static constexpr std::size_t kMaxDialogs = 16;
    static constexpr std::size_t kMaxControls = 200;

    McpGui(McpLink& link, ViewFactory& views, OutputSink& output);
    ~McpGui();
    McpGui(const McpGui&) = delete;
    McpGui& operator=(const McpGui&) = delete;

    void handle(const McpReceived& message);
    std::size_t dialogCount() const { return m_dialogs.size(); }

private:
    class Dialog;
    Dialog* find(const std::string& id);
    void control(const std::string& type, const McpMessage& body);
    void dropClosed();

    McpLink& m_link;
    ViewFactory& m_views;
    OutputSink& m_output;
    std::vector<std::unique_ptr<Dialog>> m_dialogs;
};

} // namespace corvane
