// Arbitrary server bytes through the telnet filter and the ANSI parser, routed
// the way the line processor routes them, with the promises both make to it.

#include "core/ansi_parser.h"
#include "core/telnet_filter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using corvane::AnsiParser;
using corvane::TelnetFilter;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The socket gets replies as they are produced: each must be one whole
// refusal, never a fragment or a stray byte.
void checkReply(const std::string& reply) {
    if (reply.empty()) {
        return;
    }
    require(reply.size() == 3);
    require(static_cast<unsigned char>(reply[0]) == TelnetFilter::IAC);
    const auto verb = static_cast<unsigned char>(reply[1]);
    // An answer is one of the four verbs: agreements are as bounded as refusals.
    require(verb >= TelnetFilter::WILL && verb <= TelnetFilter::DONT);
}

struct Pipeline {
    TelnetFilter telnet;
    AnsiParser ansi;
    std::string text;
    // Bytes fed in a row while inside a sequence since the last byte that may
    // legitimately start a new one; the caps bound them.
    std::size_t telnetRun = 0;
    std::size_t droppedLines = 0;
    std::size_t ansiRun = 0;

    void toAnsi(unsigned char byte) {
        if (!ansi.inSequence() && byte != AnsiParser::ESC) {
            text.push_back(static_cast<char>(byte));
            ansiRun = 0;
            return;
        }
        ansiRun = byte == AnsiParser::ESC ? 0 : ansiRun + 1;
        ansi.feed(byte);
        require(ansiRun <= AnsiParser::MaxStringLength);
    }

    void feed(unsigned char byte) {
        if (!telnet.inSequence() && byte != TelnetFilter::IAC) {
            telnetRun = 0;
            droppedLines = 0;
            toAnsi(byte);
            return;
        }
        telnetRun = byte == TelnetFilter::IAC ? 0 : telnetRun + 1;
        if (telnetRun > TelnetFilter::MaxSubnegotiationLength + 2 && byte == '\n') {
            ++droppedLines;
        }
        std::string reply;
        if (telnet.feed(byte, reply) == TelnetFilter::Result::DataByte) {
            // An escaped IAC, or the byte past a dropped subnegotiation's limit.
            require(byte == TelnetFilter::IAC || !telnet.inSequence());
            require(reply.empty());
            toAnsi(byte);
        }
        checkReply(reply);
        // A dropped subnegotiation may run on without a line end; one that
        // carries lines of text is given up.
        require(droppedLines <= TelnetFilter::MaxDroppedLines + 1);
        if (!telnet.inSequence()) {
            droppedLines = 0;
        }
    }

    // Whatever state the input left, plain text must get out of it within the
    // caps, or a hostile server could hide the rest of the session.
    void drain() {
        for (std::size_t i = 0; telnet.inSequence() || ansi.inSequence(); ++i) {
            require(i <= TelnetFilter::MaxSubnegotiationLength + TelnetFilter::MaxDroppedLines +
                    AnsiParser::MaxStringLength + 8);
            feed('\n');
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Pipeline pipeline;
    for (std::size_t i = 0; i < size; ++i) {
        pipeline.feed(data[i]);
    }
    pipeline.drain();
    require(pipeline.text.find(static_cast<char>(AnsiParser::ESC)) == std::string::npos);

    pipeline.ansi.reset();
    pipeline.telnet.reset();
    require(pipeline.ansi.style().isPlain());
    require(!pipeline.ansi.inSequence() && !pipeline.telnet.inSequence());
    return 0;
}
