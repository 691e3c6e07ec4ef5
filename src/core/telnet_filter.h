#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Telnet commands inside the received byte stream: separates them from the
// text and answers option negotiation the way this client always has (every
// option refused). State survives between chunks, so a sequence split across
// two reads is handled once, after its last byte.
class TelnetFilter {
public:
    static constexpr unsigned char IAC = 255;
    // A server that opens a subnegotiation and never closes it would otherwise
    // swallow the rest of the session; past this many bytes the filter gives up.
    static constexpr std::size_t MaxSubnegotiationLength = std::size_t{64} * 1024;
    enum class Result { Consumed, DataByte };

    // True while inside a command; the caller then hands every byte to feed().
    bool inSequence() const { return m_state != State::Data; }
    // Takes a byte while inSequence(), or an IAC that starts a command. A reply
    // to send is appended to `reply`. DataByte means the byte (255 from IAC IAC)
    // is text after all.
    Result feed(unsigned char byte, std::string& reply);
    void reset();

private:
    enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac };

    Result startCommand(unsigned char command);

    State m_state = State::Data;
    unsigned char m_command = 0;
    std::size_t m_subnegotiationLength = 0;
};

} // namespace corvane
