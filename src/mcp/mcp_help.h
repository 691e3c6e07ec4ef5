#pragma once

#include "mcp/mcp_help_view.h"
#include "mcp/mcp_stage.h"

#include <memory>
#include <string>

namespace corvane {

class McpLink;
class ViewFactory;
struct Session;

// Help > "MUCK Help...": asks the world for a topic of its help, manual, MPI
// manual or news (org-fuzzball-help) and shows the entry it answers in one
// window that stays open beside the game. The world's errors go where
// notices go; the window only repeats them under the entry.
class McpHelp : private McpHelpEvents {
public:
    static constexpr const char* kPackage = "org-fuzzball-help";

    McpHelp(McpLink& link, ViewFactory& views, const Session& session);
    ~McpHelp() override;
    McpHelp(const McpHelp&) = delete;
    McpHelp& operator=(const McpHelp&) = delete;

    // The world offers help on this connection.
    bool offered() const;
    // The menu item: the window opens (or comes forward) for a topic.
    void open();
    // What the world offers changed: "Look Up" follows it.
    void offersChanged();
    // An "entry" message; an "error" one is only repeated in the window.
    void handle(const McpReceived& message);

    McpHelpView* view() { return m_view.get(); }

private:
    void onLookUp() override;
    void onClosed() override {}
    // The window, made on first use; false when there is none to be had.
    bool ensureView();

    McpLink& m_link;
    ViewFactory& m_views;
    const Session& m_session;
    std::unique_ptr<McpHelpView> m_view;
    std::string m_askedKind;
};

} // namespace corvane
