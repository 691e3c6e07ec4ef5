#include "core/telnet_options.h"

#include "core/text_codec.h"
#include "wire/msdp_reader.h"

#include <algorithm>
#include <array>

namespace corvane {

namespace {

constexpr unsigned char kIs = 0;
constexpr unsigned char kSend = 1;
constexpr unsigned char kCharsetRequest = 1;
constexpr unsigned char kCharsetAccepted = 2;
constexpr unsigned char kCharsetRejected = 3;

void appendEscaped(std::string& out, std::string_view bytes) {
    for (const char c : bytes) {
        out.push_back(c);
        if (static_cast<unsigned char>(c) == TelnetFilter::IAC) {
            out.push_back(c);
        }
    }
}

std::string subnegotiationFrame(unsigned char option, std::string_view body) {
    std::string out{static_cast<char>(TelnetFilter::IAC), static_cast<char>(TelnetFilter::SB),
                    static_cast<char>(option)};
    appendEscaped(out, body);
    out.push_back(static_cast<char>(TelnetFilter::IAC));
    out.push_back(static_cast<char>(TelnetFilter::SE));
    return out;
}

void appendBigEndian16(std::string& out, int value) {
    const int clamped = std::clamp(value, 0, 0xFFFF);
    out.push_back(static_cast<char>((clamped >> 8) & 0xFF));
    out.push_back(static_cast<char>(clamped & 0xFF));
}

} // namespace

std::string TelnetOptions::gmcpFrame(std::string_view name, std::string_view json) {
    std::string body(name);
    if (!json.empty()) {
        body += ' ';
        body += json;
    }
    return subnegotiationFrame(telnet_option::Gmcp, body);
}

std::string TelnetOptions::windowSizeMessage() const {
    std::string body;
    appendBigEndian16(body, m_columns);
    appendBigEndian16(body, m_rows);
    return subnegotiationFrame(telnet_option::WindowSize, body);
}

std::string TelnetOptions::setWindowSize(int columns, int rows, const TelnetFilter& filter) {
    if (columns == m_columns && rows == m_rows) {
        return {};
    }
    m_columns = columns;
    m_rows = rows;
    return filter.isOn(telnet_option::WindowSize, TelnetFilter::Side::Local) ? windowSizeMessage()
                                                                            : std::string();
}

void TelnetOptions::optionChanged(const TelnetFilter& filter, std::string& reply) {
    const unsigned char option = filter.lastOption();
    const bool on = filter.isOn(option, filter.lastSide());
    if (filter.lastSide() == TelnetFilter::Side::Local) {
        if (option == telnet_option::WindowSize && on && m_columns > 0) {
            // Before the window is laid out no size is known: the first one follows.
            reply += windowSizeMessage();
        } else if (option == telnet_option::TerminalType) {
            m_terminalTypeAnswers = 0;
        }
        return;
    }
    if (option == telnet_option::Echo) {
        m_worldEchoes = on;
        if (m_events.echoChanged) {
            m_events.echoChanged(on);
        }
    } else if (option == telnet_option::Gmcp && on) {
        // The name the terminal type gives: a world keeps whichever it heard last.
        reply += gmcpFrame("Core.Hello", R"({"client":"CORVANE","version":"2.1"})");
        reply += gmcpFrame("Core.Supports.Set", R"(["Room 1","Char 1","Comm.Channel 1"])");
    } else if (option == telnet_option::Msdp && on) {
        // MSDP worlds say nothing until asked; the vitals and the room are what Corvane shows.
        reply += MsdpReport::ReportRequest();
    }
}

void TelnetOptions::subnegotiationDropped(const TelnetFilter& filter) {
    const unsigned char option = filter.lastOption();
    if ((option == telnet_option::Mssp || option == telnet_option::Msdp) && m_events.dropped &&
        filter.isOn(option, TelnetFilter::Side::Remote)) {
        m_events.dropped(option);
    }
    if (filter.lastOption() == telnet_option::Gmcp && m_events.gmcpDropped &&
        filter.isOn(telnet_option::Gmcp, TelnetFilter::Side::Remote)) {
        const std::string_view start = filter.subnegotiation();
        m_events.gmcpDropped(start.substr(0, start.find_first_of(" \t\r\n{[\"")));
    }
}

void TelnetOptions::subnegotiation(const TelnetFilter& filter, std::string& reply) {
    const unsigned char option = filter.lastOption();
    const std::string_view payload = filter.subnegotiation();
    const bool ours = filter.isOn(option, TelnetFilter::Side::Local);
    switch (option) {
    case telnet_option::TerminalType:
        if (ours) {
            terminalType(payload, reply);
        }
        break;
    case telnet_option::Charset:
        // The world's REQUEST comes whichever side offered the option.
        if (ours || filter.isOn(option, TelnetFilter::Side::Remote)) {
            charset(payload, reply);
        }
        break;
    case telnet_option::Gmcp: {
        if (m_events.gmcpMessage && filter.isOn(option, TelnetFilter::Side::Remote)) {
            const std::size_t space = payload.find_first_of(" \t\r\n");
            const std::string_view name = payload.substr(0, space);
            std::string_view json = space == std::string_view::npos ? std::string_view() : payload.substr(space);
            json.remove_prefix(std::min(json.find_first_not_of(" \t\r\n"), json.size()));
            m_events.gmcpMessage(name, json);
        }
        break;
    }
    case telnet_option::Mssp:
        if (m_events.msspMessage && filter.isOn(option, TelnetFilter::Side::Remote)) {
            m_events.msspMessage(payload);
        }
        break;
    case telnet_option::Msdp:
        if (m_events.msdpMessage && filter.isOn(option, TelnetFilter::Side::Remote)) {
            m_events.msdpMessage(payload);
        }
        break;
    default:
        break;
    }
}

void TelnetOptions::terminalType(std::string_view payload, std::string& reply) {
    if (payload.empty() || static_cast<unsigned char>(payload.front()) != kSend) {
        return;
    }
    // The world asks until an answer repeats: name, terminal, then the
    // MTTS bits, which are the answer from then on.
    std::string answer;
    switch (m_terminalTypeAnswers) {
    case 0:
        answer = "CORVANE";
        break;
    case 1:
        answer = "XTERM-256COLOR";
        break;
    default:
        answer = "MTTS " + std::to_string(kMtts + (m_secure ? kMttsSecure : 0));
        break;
    }
    m_terminalTypeAnswers = std::min(m_terminalTypeAnswers + 1, 2);
    reply += subnegotiationFrame(telnet_option::TerminalType, std::string(1, static_cast<char>(kIs)) + answer);
}

void TelnetOptions::charset(std::string_view payload, std::string& reply) {
    if (payload.empty() || static_cast<unsigned char>(payload.front()) != kCharsetRequest) {
        return;
    }
    payload.remove_prefix(1);
    // An optional "[TTABLE] <version>" before the list is not for us.
    if (payload.substr(0, 8) == "[TTABLE]" && payload.size() > 9) {
        payload.remove_prefix(9);
    }
    if (payload.empty()) {
        return;
    }
    const char separator = payload.front();
    payload.remove_prefix(1);
    while (true) {
        const std::size_t end = payload.find(separator);
        const std::string_view name = payload.substr(0, end);
        if (ToLowerAscii(std::string(name)) == "utf-8" || ToLowerAscii(std::string(name)) == "utf8") {
            reply += subnegotiationFrame(telnet_option::Charset,
                                         std::string(1, static_cast<char>(kCharsetAccepted)) + std::string(name));
            return;
        }
        if (end == std::string_view::npos) {
            break;
        }
        payload.remove_prefix(end + 1);
    }
    reply += subnegotiationFrame(telnet_option::Charset, std::string(1, static_cast<char>(kCharsetRejected)));
}

void TelnetOptions::reset() {
    m_terminalTypeAnswers = 0;
    if (m_worldEchoes) {
        m_worldEchoes = false;
        if (m_events.echoChanged) {
            m_events.echoChanged(false);
        }
    }
}

} // namespace corvane
