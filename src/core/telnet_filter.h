#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// Telnet option numbers Corvane knows by name.
namespace telnet_option {
constexpr unsigned char Echo = 1;
constexpr unsigned char SuppressGoAhead = 3;
constexpr unsigned char TerminalType = 24;
constexpr unsigned char EndOfRecord = 25;
constexpr unsigned char WindowSize = 31;
constexpr unsigned char Charset = 42;
constexpr unsigned char Msdp = 69;
constexpr unsigned char Mssp = 70;
constexpr unsigned char Mccp2 = 86;
constexpr unsigned char Mxp = 91;
constexpr unsigned char Gmcp = 201;
} // namespace telnet_option

// Telnet commands inside the received byte stream: separates them from the
// text and answers option negotiation from a table of the options this client
// agrees to. Each request is answered once; an answer is never answered, so
// two sides can never loop. State survives between chunks, so a sequence
// split across two reads is handled once, after its last byte.
class TelnetFilter {
public:
    static constexpr unsigned char IAC = 255;
    static constexpr unsigned char SE = 240;
    static constexpr unsigned char SB = 250;
    static constexpr unsigned char WILL = 251;
    static constexpr unsigned char WONT = 252;
    static constexpr unsigned char DO = 253;
    static constexpr unsigned char DONT = 254;
    // A server that opens a subnegotiation and never closes it would otherwise
    // swallow the rest of the session; past this many bytes the filter gives up.
    static constexpr std::size_t MaxSubnegotiationLength = std::size_t{64} * 1024;
    // One over that length is dropped whole, up to its IAC SE, however long
    // (a 10 MB GMCP value is still one message). A stray IAC SB in a world's
    // text is told apart by its lines: values are not sent as lines of text,
    // so past this many line ends in what is being dropped, what follows is
    // text again.
    static constexpr std::size_t MaxDroppedLines = 100;

    // What a byte meant, beyond being swallowed. Events other than DataByte
    // leave their details in lastOption() / subnegotiation().
    enum class Result {
        Consumed,
        DataByte,      // text after all (255 from IAC IAC)
        PromptEnd,     // IAC GA or IAC EOR: the text so far is a prompt
        OptionChanged, // an option was switched on or off, see lastOption()
        Subnegotiation, // IAC SB <option> ... IAC SE arrived whole
        // One over MaxSubnegotiationLength ended; subnegotiation() holds its start.
        SubnegotiationDropped
    };
    // Which side an option runs on: the world's (WILL/WONT) or ours (DO/DONT).
    enum class Side : std::uint8_t { Remote, Local };

    TelnetFilter();

    // The options agreed to: a world's WILL gets DO, its DO gets WILL.
    void setAccepted(unsigned char option, Side side, bool accepted);
    bool isOn(unsigned char option, Side side) const;

    // True while inside a command; the caller then hands every byte to feed().
    bool inSequence() const { return m_state != State::Data; }
    // Takes a byte while inSequence(), or an IAC that starts a command. A reply
    // to send is appended to `reply`.
    Result feed(unsigned char byte, std::string& reply);
    // Forgets the half-read command and every option's state (a new connection).
    void reset();

    unsigned char lastOption() const { return m_option; }
    Side lastSide() const { return m_lastSide; }
    // The bytes of the last whole subnegotiation after its option byte, IAC IAC undone.
    std::string_view subnegotiation() const { return m_payload; }

private:
    enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac, Dropping, DroppingIac };

    Result startCommand(unsigned char command);
    Result negotiate(unsigned char verb, unsigned char option, std::string& reply);
    Result endSubnegotiation();
    void startDropping();

    State m_state = State::Data;
    unsigned char m_command = 0;
    unsigned char m_option = 0;
    Side m_lastSide = Side::Remote;
    std::size_t m_subnegotiationLength = 0;
    std::size_t m_droppedLines = 0;
    std::string m_payload;
    std::array<std::array<bool, 256>, 2> m_accepted{};
    std::array<std::array<bool, 256>, 2> m_on{};
};

} // namespace corvane
