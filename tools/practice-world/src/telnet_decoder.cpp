#include "telnet_decoder.h"

namespace practice_world {

using namespace telnet;

namespace {

// Past this a subnegotiation is junk or hostile; the rest of it is dropped.
constexpr std::size_t kMaxSubnegotiation = 512;

std::string commandName(unsigned char command) {
    switch (command) {
    case kWill:
        return "WILL";
    case kWont:
        return "WONT";
    case kDo:
        return "DO";
    case kDont:
        return "DONT";
    case kSb:
        return "SB";
    case kNop:
        return "NOP";
    case 249:
        return "GA";
    default:
        return "IAC " + std::to_string(command);
    }
}

std::string optionName(unsigned char option) {
    switch (option) {
    case kEcho:
        return "ECHO";
    case 3:
        return "SUPPRESS-GO-AHEAD";
    case kTerminalType:
        return "TERMINAL-TYPE";
    case 25:
        return "END-OF-RECORD";
    case kNaws:
        return "NAWS";
    case 34:
        return "LINEMODE";
    case 39:
        return "NEW-ENVIRON";
    case 42:
        return "CHARSET";
    case 70:
        return "MSSP";
    case 86:
        return "MCCP2";
    case 201:
        return "GMCP";
    default:
        return std::to_string(option);
    }
}

bool takesOption(unsigned char command) {
    return command == kWill || command == kWont || command == kDo || command == kDont;
}

} // namespace

std::string describe(const TelnetEvent& event) {
    if (event.command == kSb) {
        std::string text = "SB " + optionName(event.option);
        std::string_view payload = event.payload;
        if (event.option == kTerminalType && !payload.empty() && payload.front() == 0) {
            text += " IS ";
            payload.remove_prefix(1);
        } else if (!payload.empty()) {
            text += " ";
        }
        for (char c : payload)
            text += (c >= 32 && c < 127) ? std::string(1, c)
                                         : "<" + std::to_string(static_cast<unsigned char>(c)) + ">";
        return text;
    }
    if (takesOption(event.command))
        return commandName(event.command) + " " + optionName(event.option);
    return commandName(event.command);
}

void TelnetDecoder::feed(std::string_view bytes, std::string& text, std::vector<TelnetEvent>& events) {
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (m_state) {
        case State::Data:
            if (byte == kIac)
                m_state = State::Command;
            else
                text += c;
            break;
        case State::Command:
            m_state = State::Data;
            if (byte == kIac) {
                text += c;
            } else if (takesOption(byte)) {
                m_command = byte;
                m_state = State::Option;
            } else if (byte == kSb) {
                m_subnegotiation.clear();
                m_state = State::Subnegotiation;
            } else if (byte != kSe) {
                events.push_back(TelnetEvent{byte, 0, {}});
            }
            break;
        case State::Option:
            events.push_back(TelnetEvent{m_command, byte, {}});
            m_state = State::Data;
            break;
        case State::Subnegotiation:
            if (byte == kIac)
                m_state = State::SubnegotiationIac;
            else if (m_subnegotiation.size() < kMaxSubnegotiation)
                m_subnegotiation += c;
            break;
        case State::SubnegotiationIac:
            if (byte == kIac) {
                if (m_subnegotiation.size() < kMaxSubnegotiation)
                    m_subnegotiation += c;
                m_state = State::Subnegotiation;
                break;
            }
            // IAC SE ends it; any other command after IAC ends it too, since a
            // lost SE must not swallow the rest of the session.
            if (!m_subnegotiation.empty()) {
                const auto option = static_cast<unsigned char>(m_subnegotiation.front());
                events.push_back(TelnetEvent{kSb, option, m_subnegotiation.substr(1)});
            }
            m_state = State::Data;
            break;
        }
    }
}

} // namespace practice_world
