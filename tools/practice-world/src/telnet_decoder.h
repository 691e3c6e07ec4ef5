#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace practice_world {

namespace telnet {
inline constexpr unsigned char kIac = 255;
inline constexpr unsigned char kDont = 254;
inline constexpr unsigned char kDo = 253;
inline constexpr unsigned char kWont = 252;
inline constexpr unsigned char kWill = 251;
inline constexpr unsigned char kSb = 250;
inline constexpr unsigned char kSe = 240;
inline constexpr unsigned char kNop = 241;
inline constexpr unsigned char kEcho = 1;
inline constexpr unsigned char kTerminalType = 24;
inline constexpr unsigned char kNaws = 31;
inline constexpr unsigned char kSend = 1;
} // namespace telnet

// A telnet command found in the input: a negotiation (WILL/WONT/DO/DONT and an
// option), a subnegotiation (SB, option and payload) or a bare command (NOP, GA...).
struct TelnetEvent {
    unsigned char command = 0;
    unsigned char option = 0;
    std::string payload;
};

// "WILL TERMINAL-TYPE", "SB TERMINAL-TYPE IS xterm": for the log.
std::string describe(const TelnetEvent& event);

// Separates telnet commands from the text a client types, across reads that
// may split a command anywhere, so negotiation never ends up in a command line.
class TelnetDecoder {
public:
    // Appends the plain bytes to `text` and the commands to `events`.
    void feed(std::string_view bytes, std::string& text, std::vector<TelnetEvent>& events);

private:
    enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac };

    State m_state = State::Data;
    unsigned char m_command = 0;
    std::string m_subnegotiation;
};

} // namespace practice_world
