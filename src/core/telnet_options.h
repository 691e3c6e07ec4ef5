#pragma once

#include "core/telnet_filter.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

// What Corvane says once an option it agreed to is on: the window size
// (NAWS), the terminal type with the MTTS convention, the character set
// (UTF-8 where offered), GMCP's greeting and MSDP's request for reports. Replies are appended to the
// caller's buffer so they leave in stream order with the negotiation.
class TelnetOptions {
public:
    struct Events {
        // The world echoes what is typed (true) or has stopped (false): a
        // password is being asked for.
        std::function<void(bool worldEchoes)> echoChanged;
        // One GMCP message: "Package.Message" and its JSON text (may be empty).
        std::function<void(std::string_view name, std::string_view json)> gmcpMessage;
        // A GMCP message over the length a subnegotiation may have was dropped.
        std::function<void(std::string_view name)> gmcpDropped;
        // What the world says about itself (MSSP), a whole subnegotiation.
        std::function<void(std::string_view payload)> msspMessage = {};
        // MSSP or MSDP too long to read was left out: the option's number.
        std::function<void(unsigned char option)> dropped = {};
        // The world's variables (MSDP), a whole subnegotiation.
        std::function<void(std::string_view payload)> msdpMessage = {};
    };

    static constexpr std::size_t kMtts = 1 | 4 | 8 | 256; // ANSI, UTF-8, 256 colours, truecolour
    static constexpr std::size_t kMttsSecure = 2048;

    void setEvents(Events events) { m_events = std::move(events); }
    void setSecure(bool secure) { m_secure = secure; }
    // The output box's size in characters; the bytes to send now when the
    // world already knows a size, else empty.
    std::string setWindowSize(int columns, int rows, const TelnetFilter& filter);

    void optionChanged(const TelnetFilter& filter, std::string& reply);
    // A whole subnegotiation; only options that are on are answered.
    void subnegotiation(const TelnetFilter& filter, std::string& reply);
    // One too long to take ended.
    void subnegotiationDropped(const TelnetFilter& filter);
    void reset();

    // A GMCP message framed for the wire, IAC bytes doubled.
    static std::string gmcpFrame(std::string_view name, std::string_view json);

private:
    void terminalType(std::string_view payload, std::string& reply);
    void charset(std::string_view payload, std::string& reply);
    std::string windowSizeMessage() const;

    Events m_events;
    bool m_secure = false;
    // Unknown (0) until the window has been laid out.
    int m_columns = 0;
    int m_rows = 0;
    int m_terminalTypeAnswers = 0;
    bool m_worldEchoes = false;
};

} // namespace corvane
