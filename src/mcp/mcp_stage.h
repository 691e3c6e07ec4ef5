#pragma once

#include "mcp/mcp_message.h"

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct McpVersion {
    int major = 0;
    int minor = 0;
    friend auto operator<=>(const McpVersion&, const McpVersion&) = default;
    // "2.1"; false for anything else.
    static bool parse(std::string_view text, McpVersion& out);
    std::string text() const;
};

// A complete message for a package both sides speak.
struct McpReceived {
    std::string package;
    // The name after the package and its dash; empty for the package's own message.
    std::string message;
    McpMessage body;
    // A line of it, or the whole, was over kMaxMessageBytes: its multiline
    // values were dropped, and acting on the rest would lose text.
    bool tooLarge = false;
};

// MCP 2.1 on one connection, as a stage on complete lines: a line comes in,
// and out come the text still to show (if any), the messages it completed and
// the lines to send back. It keeps the handshake, the key, what both sides
// negotiated and the multiline messages still arriving; reset() forgets all
// of it for a new connection. Nothing is sent unless the server opens with
// "#$#mcp", and nothing for a package the server did not offer.
class McpStage {
public:
    // A message, multiline values included, is dropped past this size (the
    // servers of the common family cap theirs at the same figure).
    static constexpr std::size_t kMaxMessageBytes = 262144;
    // Multiline messages open at once; a new one beyond this drops the oldest.
    static constexpr std::size_t kMaxOpenMessages = 32;

    struct Package {
        std::string name;
        McpVersion min;
        McpVersion max;
    };

    struct Output {
        // False when the line was out of band: nothing of it is shown.
        bool show = true;
        std::vector<McpReceived> messages;
        std::vector<std::string> sends;
    };

    // `packages`: what this client offers, besides the negotiation itself.
    // `randomToken`: a hard-to-guess word of letters and digits, for the key
    // and for data tags.
    McpStage(std::vector<Package> packages, std::function<std::string()> randomToken);

    // A new connection; `enabled` is the world's choice.
    void reset(bool enabled);
    bool enabled() const { return m_enabled; }
    // True when `line` could change anything here: an out-of-band line, a
    // quoted one, or the rest of a held one.
    bool concerns(std::string_view text) const { return m_enabled && (m_holding || text.starts_with("#$")); }
    // The handshake went out: lines the player sends are quoted from now on.
    bool active() const { return !m_key.empty(); }

    // A complete received line. What is left to show stays in `text`
    // (a quoted in-band line loses its quote).
    void line(std::string& text, Output& out);
    // An unfinished line that must not be shown before its end, in case it
    // turns out to be out of band.
    bool holdsTail(std::string_view text) const;
    // A piece of an over-long line, cut before its end: kept (true) when it
    // belongs to an out-of-band line, to be joined to the line's end.
    bool keepsPiece(std::string_view piece);

    // The lines that send a message; none while the server has not offered
    // its package (the server would show them to the player as a command).
    std::vector<std::string> outgoing(const McpMessage& message);
    // A line the player typed, quoted when it would read as MCP.
    std::string quoteInBand(const std::string& line) const;
    // The line with this connection's key written as "…", for showing it.
    std::string withoutKey(std::string line) const;
    // The version both sides speak of a package, or nullptr.
    const McpVersion* negotiated(std::string_view package) const;
    std::size_t negotiatedCount() const { return m_negotiated.size(); }
    // The server sent "mcp-negotiate-end".
    bool serverNegotiationEnded() const { return m_serverEnded; }

private:
    struct Open {
        std::string tag;
        McpReceived received;
        std::vector<std::string> keys;
        std::size_t bytes = 0;
    };

    // The open message a held over-long line continued, if any, loses its values.
    void dropHeldContinuation();
    static void dropValues(Open& open);

    void outOfBand(std::string_view text, Output& out);
    void start(McpLine& parsed, Output& out);
    void handshake(const McpMessage& message, Output& out);
    void negotiateCan(const McpMessage& message);
    void deliver(McpReceived received, Output& out);
    // The negotiated package a message name belongs to: the longest prefix.
    const std::string* packageOf(const std::string& name) const;

    std::vector<Package> m_packages;
    std::function<std::string()> m_randomToken;
    bool m_enabled = true;
    bool m_refused = false;
    bool m_serverEnded = false;
    std::string m_key;
    std::map<std::string, McpVersion, std::less<>> m_negotiated;
    std::vector<Open> m_open;
    std::string m_held;
    bool m_holding = false;
};

} // namespace corvane
