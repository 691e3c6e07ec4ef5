#include "core/telnet_filter.h"

namespace corvane {

namespace {

enum class Action : std::uint8_t { TwoByte, Negotiate, Subnegotiate, Escape, PromptEnd };

constexpr unsigned char GA = 249;
constexpr unsigned char EOR = 239;

// What the byte after an IAC means. NOP, AYT, a stray SE and anything
// unassigned are two-byte commands that need no answer.
constexpr std::array<Action, 256> makeCommandTable() {
    std::array<Action, 256> table{};
    table[TelnetFilter::SB] = Action::Subnegotiate;
    table[TelnetFilter::WILL] = Action::Negotiate;
    table[TelnetFilter::WONT] = Action::Negotiate;
    table[TelnetFilter::DO] = Action::Negotiate;
    table[TelnetFilter::DONT] = Action::Negotiate;
    table[GA] = Action::PromptEnd;
    table[EOR] = Action::PromptEnd;
    table[TelnetFilter::IAC] = Action::Escape;
    return table;
}

constexpr std::array<Action, 256> CommandTable = makeCommandTable();

// How each negotiation verb is answered. A request (WILL, DO) is agreed with
// `agree` or refused with `refuse`; a negative (WONT, DONT) is acknowledged
// with `agree` only when it switches an option off that was on.
struct VerbRule {
    TelnetFilter::Side side;
    bool request;
    unsigned char agree;
    unsigned char refuse;
};

constexpr VerbRule ruleFor(unsigned char verb) {
    switch (verb) {
    case TelnetFilter::WILL:
        return {TelnetFilter::Side::Remote, true, TelnetFilter::DO, TelnetFilter::DONT};
    case TelnetFilter::WONT:
        return {TelnetFilter::Side::Remote, false, TelnetFilter::DONT, 0};
    case TelnetFilter::DO:
        return {TelnetFilter::Side::Local, true, TelnetFilter::WILL, TelnetFilter::WONT};
    default:
        return {TelnetFilter::Side::Local, false, TelnetFilter::WONT, 0};
    }
}

void appendCommand(std::string& out, unsigned char verb, unsigned char option) {
    out.push_back(static_cast<char>(TelnetFilter::IAC));
    out.push_back(static_cast<char>(verb));
    out.push_back(static_cast<char>(option));
}

std::size_t sideIndex(TelnetFilter::Side side) {
    return static_cast<std::size_t>(side);
}

} // namespace

TelnetFilter::TelnetFilter() {
    // Echo is how a world hides a password; go-ahead suppression and
    // end-of-record only change how prompts are marked. The window size,
    // the terminal type and the character set are ours to tell.
    setAccepted(telnet_option::Echo, Side::Remote, true);
    setAccepted(telnet_option::SuppressGoAhead, Side::Remote, true);
    setAccepted(telnet_option::EndOfRecord, Side::Remote, true);
    setAccepted(telnet_option::WindowSize, Side::Local, true);
    setAccepted(telnet_option::TerminalType, Side::Local, true);
    setAccepted(telnet_option::Charset, Side::Local, true);
    // Either side may start CHARSET; a MUSH offers it with WILL.
    setAccepted(telnet_option::Charset, Side::Remote, true);
}

void TelnetFilter::setAccepted(unsigned char option, Side side, bool accepted) {
    m_accepted[sideIndex(side)][option] = accepted;
}

bool TelnetFilter::isOn(unsigned char option, Side side) const {
    return m_on[sideIndex(side)][option];
}

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
        m_state = State::Data;
        return negotiate(m_command, byte, reply);
    case State::Subnegotiation:
        if (++m_subnegotiationLength > MaxSubnegotiationLength) {
            startDropping();
        } else if (byte == IAC) {
            m_state = State::SubnegotiationIac;
        } else if (m_subnegotiationLength == 1) {
            m_option = byte;
        } else {
            m_payload.push_back(static_cast<char>(byte));
        }
        return Result::Consumed;
    case State::SubnegotiationIac:
        if (++m_subnegotiationLength > MaxSubnegotiationLength) {
            startDropping();
            return Result::Consumed;
        }
        if (byte == SE) {
            m_state = State::Data;
            return endSubnegotiation();
        }
        if (byte == IAC) {
            m_payload.push_back(static_cast<char>(IAC));
            m_state = State::Subnegotiation;
            return Result::Consumed;
        }
        // A broken server forgot its IAC SE; rather than hide everything up to
        // the next one, take this IAC as the start of the next command.
        return startCommand(byte);
    case State::Dropping:
        if (byte == '\n' && ++m_droppedLines > MaxDroppedLines) {
            m_state = State::Data;
            return Result::DataByte;
        }
        if (byte == IAC) {
            m_state = State::DroppingIac;
        }
        return Result::Consumed;
    case State::DroppingIac:
        if (byte == SE) {
            m_state = State::Data;
            return Result::SubnegotiationDropped;
        }
        if (byte == IAC) {
            m_state = State::Dropping;
            return Result::Consumed;
        }
        return startCommand(byte);
    }
    return Result::Consumed;
}

void TelnetFilter::startDropping() {
    // Enough of its start to name it ("Comm.Channel.Text"); the rest is not kept.
    constexpr std::size_t kNamePart = 64;
    m_payload.resize(std::min(m_payload.size(), kNamePart));
    m_payload.shrink_to_fit();
    m_droppedLines = 0;
    m_state = State::Dropping;
}

TelnetFilter::Result TelnetFilter::endSubnegotiation() {
    // An empty one carries no option; nothing can be done with it.
    return m_subnegotiationLength > 2 ? Result::Subnegotiation : Result::Consumed;
}

TelnetFilter::Result TelnetFilter::negotiate(unsigned char verb, unsigned char option, std::string& reply) {
    const VerbRule rule = ruleFor(verb);
    bool& on = m_on[sideIndex(rule.side)][option];
    m_option = option;
    m_lastSide = rule.side;
    if (rule.request) {
        if (on) {
            return Result::Consumed;
        }
        if (!m_accepted[sideIndex(rule.side)][option]) {
            appendCommand(reply, rule.refuse, option);
            return Result::Consumed;
        }
        on = true;
        appendCommand(reply, rule.agree, option);
        return Result::OptionChanged;
    }
    if (!on) {
        return Result::Consumed;
    }
    on = false;
    appendCommand(reply, rule.agree, option);
    return Result::OptionChanged;
}

TelnetFilter::Result TelnetFilter::startCommand(unsigned char command) {
    m_state = State::Data;
    switch (CommandTable[command]) {
    case Action::Escape:
        return Result::DataByte;
    case Action::Negotiate:
        m_command = command;
        m_state = State::Option;
        break;
    case Action::Subnegotiate:
        m_subnegotiationLength = 0;
        m_payload.clear();
        m_state = State::Subnegotiation;
        break;
    case Action::PromptEnd:
        return Result::PromptEnd;
    case Action::TwoByte:
        break;
    }
    return Result::Consumed;
}

void TelnetFilter::reset() {
    m_state = State::Data;
    m_command = 0;
    m_option = 0;
    m_subnegotiationLength = 0;
    m_payload.clear();
    m_payload.shrink_to_fit();
    for (auto& side : m_on) {
        side.fill(false);
    }
}

} // namespace corvane
