#pragma once

#include "core/line_stage.h"
#include "mcp/mcp_stage.h"

#include <functional>
#include <map>
#include <string>

namespace corvane {

class CommandSender;

// MCP on the world connection: the stage on received lines, the lines it
// answers with, the packages' handlers and the quoting of what the player
// sends. Each package's window talks to the server only through send().
class McpLink : public LineStage {
public:
    using Handler = std::function<void(const McpReceived&)>;
    // A line of MCP traffic, for whoever watches it: outgoing or received,
    // with this connection's key written as "…" and cut to kTrafficBytes.
    using TrafficHook = std::function<void(bool outgoing, const std::string& line)>;

    static constexpr std::size_t kTrafficBytes = 2000;

    McpLink(CommandSender& sender, std::vector<McpStage::Package> packages,
            std::function<std::string()> randomToken = {});

    // A new connection: everything negotiated before is forgotten. A world
    // that turned MCP off gets its lines shown as they come.
    void connectionStarted(bool enabled);
    // The connection is over: nothing is offered until the next one says so.
    void connectionEnded();
    // A package's messages go to its handler.
    void setHandler(const std::string& package, Handler handler);
    void setTrafficHook(TrafficHook hook) { m_traffic = std::move(hook); }
    // A message over the size cap goes here instead of to its package, which
    // would act on it with text missing.
    void setTooLargeHook(Handler hook) { m_tooLarge = std::move(hook); }
    // Called whenever a package becomes usable or a connection starts; for
    // menus that offer a package only when the server does.
    void setNegotiatedHook(std::function<void()> hook) { m_negotiatedHook = std::move(hook); }

    // Sends a message; false (and nothing sent) when the server did not offer its package.
    bool send(const McpMessage& message);
    bool offers(std::string_view package) const { return m_stage.negotiated(package) != nullptr; }
    // Counts connections, so a window can tell that its server has gone.
    int connectionSerial() const { return m_serial; }
    const McpStage& stage() const { return m_stage; }

    bool passLine(std::string& text) override;
    bool holdsTail(std::string_view text) const override { return m_stage.holdsTail(text); }
    bool keepsPiece(std::string_view piece) override { return m_stage.keepsPiece(piece); }

    // A text the player sends, each line quoted where it would read as MCP.
    std::string quoteInBand(const std::string& text) const;

    // Sixteen letters and digits from the system's random source.
    static std::string randomToken();

private:
    void sendLine(const std::string& line);
    void tellTraffic(bool outgoing, const std::string& line) const;

    CommandSender& m_sender;
    McpStage m_stage;
    std::map<std::string, Handler, std::less<>> m_handlers;
    TrafficHook m_traffic;
    Handler m_tooLarge;
    std::function<void()> m_negotiatedHook;
    McpStage::Output m_output;
    int m_serial = 0;
};

} // namespace corvane
