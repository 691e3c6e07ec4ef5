#include "core/telnet_filter.h"

#include <array>

namespace corvane {

namespace {

constexpr unsigned char SE = 240;
constexpr unsigned char SB = 250;
constexpr unsigned char WILL = 251;
constexpr unsigned char WONT = 252;
constexpr unsigned char DO = 253;
constexpr unsigned char DONT = 254;

enum class Action : std::uint8_t { TwoByte, Negotiate, Subnegotiate, Escape };

// What the byte after an IAC means, and for a negotiation the verb we answer
// with. Every option stays off: an offer (WILL) or a request (DO) gets WONT,
// and a DONT is echoed back as the acknowledgement the protocol expects.
struct CommandEntry {
    Action action = Action::TwoByte;
    unsigned char replyVerb = 0;
};

constexpr std::array<CommandEntry, 256> makeCommandTable() {
    // NOP, GA, EOR, AYT, a stray SE and anything unassigned are two-byte
    // commands that need no answer.
    std::array<CommandEntry, 256> table{};
    table[SB] = {Action::Subnegotiate, 0};
    table[WILL] = {Action::Negotiate, WONT};
    table[WONT] = {Action::Negotiate, WONT};
    table[DO] = {Action::Negotiate, WONT};
    table[DONT] = {Action::Negotiate, DONT};
    table[TelnetFilter::IAC] = {Action::Escape, 0};
    return table;
}

constexpr std::array<CommandEntry, 256> CommandTable = makeCommandTable();

void appendByte(std::string& out, unsigned char byte) {
    out.push_back(static_cast<char>(byte));
}

} // namespace

TelnetFilter::Result TelnetFilter::feed(unsigned char byte, std::string& reply) {
    switch (m_state) {
    case State::Data:
        if (byte != IAC) {
            return Result::DataByte;
        }
        m_state = State::Command;
        return Result::Consumed;
    case State::Command:
        return startCommand(byte);
    case State::Option:
        appendByte(reply, IAC);
        appendByte(reply, CommandTable[m_command].replyVerb);
        appendByte(reply, byte);
        m_state = State::Data;
        return Result::Consumed;
    case State::Subnegotiation:
        if (++m_subnegotiationLength > MaxSubnegotiationLength) {
            m_state = State::Data;
        } else if (byte == IAC) {
            m_state = State::SubnegotiationIac;
        }
        return Result::Consumed;
    case State::SubnegotiationIac:
        if (++m_subnegotiationLength > MaxSubnegotiationLength || byte == SE) {
            m_state = State::Data;
            return Result::Consumed;
        }
        if (byte == IAC) {
            m_state = State::Subnegotiation;
            return Result::Consumed;
        }
        // A broken server forgot its IAC SE; rather than hide everything up to
        // the next one, take this IAC as the start of the next command.
        return startCommand(byte);
    }
    return Result::Consumed;
}

TelnetFilter::Result TelnetFilter::startCommand(unsigned char command) {
    m_state = State::Data;
    switch (CommandTable[command].action) {
    case Action::Escape:
        return Result::DataByte;
    case Action::Negotiate:
        m_command = command;
        m_state = State::Option;
        break;
    case Action::Subnegotiate:
        m_subnegotiationLength = 0;
        m_state = State::Subnegotiation;
        break;
    case Action::TwoByte:
        break;
    }
    return Result::Consumed;
}

void TelnetFilter::reset() {
    m_state = State::Data;
    m_command = 0;
    m_subnegotiationLength = 0;
}

} // namespace corvane
