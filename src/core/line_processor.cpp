#include "core/line_processor.h"

#include "core/line_classifier.h"
#include "core/output_buffer.h"
#include "core/session.h"
#include "platform/socket.h"
#include "platform/sound.h"

#include <algorithm>
#include <cstring>

namespace corvane {

// The first part of the text stage: telnet and its negotiation, escape codes
// and line ends, a byte at a time; the text between them goes on to
// line_processor_text.cpp a run at a time.

namespace {

// Bytes that are simply text: everything from the blank up, except the two
// that start a telnet command or an escape sequence.
struct PlainTextTable {
    std::array<bool, 256> plain{};
    PlainTextTable() {
        for (int b = 32; b < 256; ++b) {
            plain[static_cast<std::size_t>(b)] = true;
        }
        plain[TelnetFilter::IAC] = false;
    }
};

const PlainTextTable kPlainText;

// Length of the run of plain text at the start of [begin, end): bytes from 32
// up except 255, eight at a time while no byte in the word ends the run.
// `high` collects the bytes' top bits, so ASCII runs skip the code page.
std::size_t plainRun(const unsigned char* begin, const unsigned char* end, unsigned char& high) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t tops = 0x8080808080808080ULL;
    const unsigned char* p = begin;
    std::uint64_t highBits = 0;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::uint64_t control = (word - ones * 0x20) & ~word & tops; // some byte below 32
        const std::uint64_t inverted = ~word;
        const std::uint64_t iac = (inverted - ones) & ~inverted & tops; // some byte equal to 255
        if ((control | iac) != 0) {
            break;
        }
        highBits |= word;
        p += 8;
    }
    unsigned char tail = 0;
    while (p < end && kPlainText.plain[*p]) {
        tail |= *p;
        ++p;
    }
    high = static_cast<unsigned char>(tail | ((highBits & tops) != 0 ? 0x80 : 0));
    return static_cast<std::size_t>(p - begin);
}

} // namespace

LineProcessor::LineProcessor(Session& session, const OutputHabits& settings, Socket& socket, Sound& sound,
                             const LineWatch& triggers, LineClassifier& classifier, OutputBuffer& output,
                             MainWindowView& window)
    : m_session(session)
    , m_settings(settings)
    , m_socket(socket)
    , m_sound(sound)
    , m_triggers(triggers)
    , m_classifier(classifier)
    , m_output(output)
    , m_window(window) {
    m_looks.fill(kLookUnknown);
    // What a world says about itself is shown only when asked for.
    m_telnet.setAccepted(telnet_option::Mssp, TelnetFilter::Side::Remote, true);
}

void LineProcessor::reset() {
    if (m_shownBytes > 0 && m_shownBytes <= m_line.text.size()) {
        // An open prompt on screen ends here; the output's next text ends its
        // line there, and the log gets it as the line it was.
        const std::string prompt = m_line.text.substr(0, m_shownBytes);
        if (m_session.LogOpen && m_log != nullptr) {
            m_log->writeLine(prompt);
        }
        if (m_hooks.lineEnded) {
            m_hooks.lineEnded(prompt, true);
        }
    }
    m_reply.clear();
    m_telnet.reset();
    m_telnetOptions.reset();
    if (m_quietTimer && m_timers != nullptr) {
        m_timers->stop(*m_quietTimer);
    }
    m_quietTimer.reset();
    m_shownBytes = 0;
    m_heldCarriageReturns = 0;
    m_ansi.reset();
    m_decoder.reset();
    m_reportedUtf8 = false;
    m_reportedNonUtf8 = false;
    m_mxp.reset();
    m_mxpOn = false;
    // Links still on screen are the last world's: they no longer do anything.
    m_mxpLinks.clear();
    m_pairedEnd = 0;
    m_previous = '\r';
    m_line.clear();
    m_lineCharacters = 0;
    m_spanStart = 0;
    m_spanStyle = TextStyle{};
    m_midLine = false;
}

void LineProcessor::triggersChanged() {
    m_looks.fill(kLookUnknown);
}

void LineProcessor::readingStarts() {
    m_running = true;
}

void LineProcessor::readStarts() {
    if (m_session.Server == ServerKind::Mud) {
        // A MUD's prompt that was shown alone ends where the next read
        // starts: what comes is an answer or news, not the prompt's rest.
        endOpenLine(true);
    }
}

void LineProcessor::readEnded() {
    unfinishedTailAtEndOfRead();
    if (!m_reply.empty()) {
        // One send for all the replies a read asked for, in their order: a
        // server that floods requests costs one write per read, not one each.
        m_socket.send(m_reply);
        m_reply.clear();
    }
}

void LineProcessor::readingEnded() {
    if (m_commandSentMeanwhile) {
        m_commandSentMeanwhile = false;
        endOpenLine(false);
    }
    if (m_filter != nullptr) {
        m_filter->readEnded(m_line.text);
    }
    if (!m_reportedUtf8 && m_decoder.sawMultibyte()) {
        m_reportedUtf8 = true;
        if (m_utf8Seen) {
            m_utf8Seen();
        }
    }
    if (!m_reportedNonUtf8 && m_decoder.sawInvalid()) {
        m_reportedNonUtf8 = true;
        if (m_nonUtf8Seen) {
            m_nonUtf8Seen();
        }
    }
    if (m_hooks.outputChanged) {
        m_hooks.outputChanged();
    } else {
        m_output.flush();
    }
    m_running = false;
}

void LineProcessor::commandSent() {
    if (m_session.Server != ServerKind::Mud) {
        return;
    }
    if (m_running) {
        // A trigger or a log-in answers a line that is still being handled.
        m_commandSentMeanwhile = true;
        return;
    }
    endOpenLine(false);
    if (m_hooks.outputChanged) {
        m_hooks.outputChanged();
    } else {
        m_output.flush();
    }
}

void LineProcessor::endOpenLine(bool shownOnly) {
    const bool open =
        shownOnly ? m_shownBytes > 0 && m_shownBytes == m_line.text.size() : !m_line.text.empty();
    // Half a character, a listing row or a protocol line still arriving is no prompt.
    if (!open || m_decoder.pending() || m_session.ListMode == 2 || stageHoldsTail()) {
        return;
    }
    completeLine(true, true);
    m_previous = '\n';
    m_pairedEnd = 0;
}

void LineProcessor::windowResized(int columns, int rows) {
    const std::string message = m_telnetOptions.setWindowSize(columns, rows, m_telnet);
    if (!message.empty()) {
        m_socket.send(message);
    }
}

void LineProcessor::telnetByte(unsigned char byte) {
    switch (m_telnet.feed(byte, m_reply)) {
    case TelnetFilter::Result::DataByte:
        if (m_ansi.inSequence()) {
            m_ansi.feed(byte);
        } else {
            releaseHeldCarriageReturns();
            m_pairedEnd = 0;
            decodeByte(byte);
        }
        break;
    case TelnetFilter::Result::PromptEnd:
        promptEnded();
        break;
    case TelnetFilter::Result::OptionChanged:
        m_telnetOptions.optionChanged(m_telnet, m_reply);
        if (m_telnet.lastOption() == telnet_option::Mxp) {
            mxpSwitched();
        }
        break;
    case TelnetFilter::Result::Subnegotiation:
        if (m_telnet.lastOption() == telnet_option::Mccp2 &&
            m_telnet.isOn(telnet_option::Mccp2, TelnetFilter::Side::Remote)) {
            // Compressed from the next byte on: the stage before inflates the rest.
            if (m_compressionStart) {
                m_compressionStart();
                m_streamChanges = true;
            }
            break;
        }
        m_telnetOptions.setSecure(!m_socket.secureProtocol().empty());
        m_telnetOptions.subnegotiation(m_telnet, m_reply);
        break;
    case TelnetFilter::Result::SubnegotiationDropped:
        m_telnetOptions.subnegotiationDropped(m_telnet);
        break;
    case TelnetFilter::Result::Consumed:
        break;
    }
}

void LineProcessor::promptEnded() {
    m_classifier.promptEnded();
    releaseHeldCarriageReturns();
    if (m_decoder.pending()) {
        flushDecoder();
    }
    if (m_mxpOn) {
        m_mxp.lineEnded(*this);
    }
    if (m_line.text.empty() && m_shownBytes == 0) {
        return;
    }
    const std::string prompt = m_line.text;
    completeLine(true, true);
    // What follows a prompt starts a line of its own.
    m_previous = '\n';
    m_pairedEnd = 0;
    if (m_hooks.promptShown) {
        m_hooks.promptShown(prompt);
    }
}

void LineProcessor::releaseHeldCarriageReturns() {
    // CR CR then something other than LF: each CR was a line end after all.
    while (m_heldCarriageReturns > 0) {
        --m_heldCarriageReturns;
        completeLine(true);
        m_previous = '\r';
    }
}

std::size_t LineProcessor::take(const unsigned char* bytes, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = bytes[i];
        bool lineEnd = false;
        if (m_telnet.inSequence() || c == TelnetFilter::IAC) {
            telnetByte(c);
            ++i;
            if (m_streamChanges) {
                // Everything after the start is compressed, the rest of this read too.
                m_streamChanges = false;
                return i;
            }
        } else if ((m_ansi.inSequence() && c != '\r' && c != '\n') || c == AnsiParser::ESC) {
            if (c == AnsiParser::ESC && m_decoder.pending()) {
                flushDecoder();
            }
            m_ansi.feed(c);
            if (!m_ansi.inSequence()) {
                if (m_mxpOn) {
                    mxpSequenceEnded();
                } else if (!(m_ansi.style() == m_spanStyle)) {
                    closeSpan();
                    m_spanStyle = m_ansi.style();
                }
            }
            ++i;
        } else if (c == 0) {
            // A run of NULs shows nothing; one stands for all (a compressed
            // stream may inflate to a gigabyte of them).
            if (m_decoder.pending()) {
                flushDecoder();
            }
            releaseHeldCarriageReturns();
            m_pairedEnd = 0;
            while (i < n && bytes[i] == 0) {
                ++i;
            }
        } else if (kPlainText.plain[c]) {
            // A run of ordinary text, up to what one line may hold.
            releaseHeldCarriageReturns();
            m_pairedEnd = 0;
            unsigned char high = 0;
            if (m_mxpOn) {
                // Markup shows nothing, so the line's length is counted as it is shown.
                const std::size_t end = i + plainRun(bytes + i, bytes + n, high);
                mxpBytes(bytes + i, bytes + end);
                i = end;
            } else {
                if (m_lineCharacters >= kMaxLineCharacters) {
                    cutLine();
                }
                const std::size_t room = kMaxLineCharacters - m_lineCharacters;
                const std::size_t limit = std::min(n, i + room);
                const std::size_t end = i + plainRun(bytes + i, bytes + limit, high);
                if ((high & 0x80) == 0 && !m_decoder.pending()) {
                    m_line.text.append(reinterpret_cast<const char*>(bytes + i), end - i);
                    m_lineCharacters += end - i;
                } else {
                    decodeText(bytes + i, bytes + end);
                }
                i = end;
            }
        } else {
            if (m_decoder.pending()) {
                flushDecoder();
            }
            if (c == '\r' || c == '\n') {
                if (m_ansi.inSequence()) {
                    m_ansi.cancelSequence();
                }
                // CR LF and LF CR end one line, and so does CR CR LF (and any
                // run of CRs before an LF); a second CR or LF of its own kind is
                // otherwise an empty line.
                if (c == '\r' && m_pairedEnd == '\n') {
                    ++m_heldCarriageReturns;
                } else if (c == '\n' && m_heldCarriageReturns > 0) {
                    m_heldCarriageReturns = 0;
                    m_pairedEnd = 0;
                } else if (m_pairedEnd == c) {
                    m_pairedEnd = 0;
                } else {
                    m_pairedEnd = c == '\r' ? '\n' : '\r';
                    lineEnd = true;
                }
            } else {
                releaseHeldCarriageReturns();
                m_pairedEnd = 0;
                if (c == '\t') {
                    if (m_mxpOn) {
                        for (int k = 0; k < 8; ++k) {
                            textCharacter(' ');
                        }
                    } else if (m_lineCharacters + 8 <= kMaxLineCharacters) {
                        m_line.text.append(8, ' ');
                        m_lineCharacters += 8;
                    } else {
                        for (int k = 0; k < 8; ++k) {
                            putCharacter(' ');
                        }
                    }
                } else if (c == 7) {
                    m_sound.beep();
                }
            }
            ++i;
        }
        if (lineEnd) {
            if (m_mxpOn) {
                m_mxp.lineEnded(*this);
            }
            completeLine(true);
            m_previous = c;
        }
    }
    return n;
}

} // namespace corvane
