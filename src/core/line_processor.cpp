#include "core/line_processor.h"

#include "core/line_classifier.h"
#include "core/own_command_answers.h"
#include "core/main_window_view.h"
#include "core/output_buffer.h"
#include "core/output_habits.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "platform/socket.h"
#include "platform/sound.h"

#include <algorithm>
#include <cstring>

namespace corvane {

namespace {

constexpr int kLookUnknown = -2;

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

// Decoded characters that are not shown: controls, and the separators and
// noncharacters that the output window would take for line structure.
bool isShownCharacter(char32_t c) {
    if (c < 0xA0) {
        return c >= 0x20 && c < 0x80;
    }
    if (c == 0x2028 || c == 0x2029 || (c >= 0xFDD0 && c <= 0xFDEF)) {
        return false;
    }
    return (c & 0xFFFE) != 0xFFFE;
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
    // Compression costs nothing to agree to and cuts a MUD's traffic by most of it.
    m_telnet.setAccepted(MccpInflater::Option, TelnetFilter::Side::Remote, true);
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
    m_mccp.reset();
    m_reportedCorrupt = false;
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

void LineProcessor::closeSpan() {
    const std::size_t end = m_line.text.size();
    if (!m_spanStyle.isPlain() && end > m_spanStart) {
        m_line.spans.push_back(StyleSpan{static_cast<std::uint32_t>(m_spanStart),
                                         static_cast<std::uint32_t>(end - m_spanStart), m_spanStyle});
    }
    m_spanStart = end;
}

void LineProcessor::putCharacter(char32_t character) {
    if (!isShownCharacter(character)) {
        return;
    }
    if (m_lineCharacters >= kMaxLineCharacters) {
        cutLine();
    }
    AppendUtf8(m_line.text, character);
    ++m_lineCharacters;
}

void LineProcessor::cutLine() {
    if (m_stage != nullptr && !m_midLine && m_stage->keepsPiece(m_line.text)) {
        m_line.text.clear();
        m_line.spans.clear();
        m_spanStart = 0;
        m_lineCharacters = 0;
        return;
    }
    completeLine(true);
    m_midLine = true;
    // The rest of an over-long line is a continuation, not a new listing row.
    m_previous = 0;
}

void LineProcessor::flushDecoder() {
    m_decoder.flush([this](char32_t character) { textCharacter(character); });
}

void LineProcessor::textCharacter(char32_t character) {
    if (m_mxpOn) {
        m_mxp.feed(character, *this);
    } else {
        putCharacter(character);
    }
}

void LineProcessor::setMxpAccepted(bool accepted) {
    m_mxpAccepted = accepted;
    m_telnet.setAccepted(telnet_option::Mxp, TelnetFilter::Side::Remote, accepted);
    m_telnet.setAccepted(telnet_option::Mxp, TelnetFilter::Side::Local, accepted);
    mxpSwitched();
}

void LineProcessor::mxpSwitched() {
    const bool on = m_mxpAccepted && (m_telnet.isOn(telnet_option::Mxp, TelnetFilter::Side::Remote) ||
                                      m_telnet.isOn(telnet_option::Mxp, TelnetFilter::Side::Local));
    if (on == m_mxpOn) {
        return;
    }
    m_mxpOn = on;
    // A line mode seen while MXP was off is not for it.
    m_ansi.takeLineMode();
    m_mxp.reset();
    mxpLookChanged();
}

void LineProcessor::mxpBytes(const unsigned char* begin, const unsigned char* end) {
    for (const unsigned char* p = begin; p != end; ++p) {
        if (*p < 0x80 && !m_decoder.pending()) {
            m_mxp.feed(*p, *this);
        } else {
            feedDecoder(*p, [this](char32_t character) { m_mxp.feed(character, *this); });
        }
    }
}

void LineProcessor::mxpSequenceEnded() {
    const int mode = m_ansi.takeLineMode();
    if (mode >= 0) {
        m_mxp.setLineMode(mode, *this);
    }
    mxpLookChanged();
}

void LineProcessor::mxpText(char32_t character) {
    putCharacter(character);
}

void LineProcessor::mxpLookChanged() {
    TextStyle style = m_ansi.style();
    if (m_mxpOn) {
        const MxpLook& look = m_mxp.look();
        const auto rgb = [](std::uint32_t value) {
            return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                       static_cast<std::uint8_t>(value)};
        };
        style.bold = style.bold || look.bold;
        style.italic = style.italic || look.italic;
        style.underline = style.underline || look.underline;
        if (look.foreground) {
            style.foreground = rgb(*look.foreground);
        }
        if (look.background) {
            style.background = rgb(*look.background);
        }
        style.link = look.link;
    }
    if (!(style == m_spanStyle)) {
        closeSpan();
        m_spanStyle = style;
    }
}

void LineProcessor::mxpLineBreak() {
    completeLine(true);
    m_previous = '\n';
    m_pairedEnd = 0;
}

template <typename Put> void LineProcessor::feedDecoder(unsigned char byte, Put&& put) {
    // A world that asked for the code page gets it for every byte, even
    // where its text happens to look like UTF-8.
    if (m_session.Encoding == TextEncoding::Windows1252) {
        put(Cp1252ToCodePoint(byte));
    } else {
        m_decoder.feed(byte, put);
    }
}

void LineProcessor::decodeText(const unsigned char* begin, const unsigned char* end) {
    const auto put = [this](char32_t character) { putCharacter(character); };
    for (const unsigned char* p = begin; p != end; ++p) {
        if (*p < 0x80 && !m_decoder.pending()) {
            if (m_lineCharacters >= kMaxLineCharacters) {
                cutLine();
            }
            m_line.text.push_back(static_cast<char>(*p));
            ++m_lineCharacters;
        } else {
            feedDecoder(*p, put);
        }
    }
}

void LineProcessor::ProcessIncoming() {
    // Handlers reached from here never spin the event loop, but if one ever
    // does, text that arrives meanwhile waits in PendingText for this loop.
    if (m_running) {
        return;
    }
    m_running = true;
    while (!m_session.PendingText.empty() && !m_session.OutputPaused && !m_mccp.corrupt()) {
        if (m_session.Server == ServerKind::Mud) {
            // A MUD's prompt that was shown alone ends where the next read
            // starts: what comes is an answer or news, not the prompt's rest.
            endOpenLine(true);
        }
        m_work.clear();
        m_work.swap(m_session.PendingText);
        receive(reinterpret_cast<const unsigned char*>(m_work.data()), m_work.size());
        if (!m_reply.empty()) {
            // One send for all the replies a read asked for, in their order: a
            // server that floods requests costs one write per read, not one each.
            m_socket.send(m_reply);
            m_reply.clear();
        }
    }
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
    if (m_mccp.corrupt() && !m_reportedCorrupt) {
        m_reportedCorrupt = true;
        m_session.PendingText.clear();
        if (m_hooks.streamCorrupt) {
            m_hooks.streamCorrupt();
        }
    }
}

void LineProcessor::receive(const unsigned char* bytes, std::size_t n) {
    while (n > 0 && !m_mccp.corrupt()) {
        std::size_t used = 0;
        if (m_mccp.active()) {
            used = m_mccp.inflate({reinterpret_cast<const char*>(bytes), n}, [this](std::string_view piece) {
                processBatch(reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
            });
        } else {
            used = processBatch(bytes, n);
        }
        bytes += used;
        n -= used;
    }
    unfinishedTailAtEndOfRead();
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
            feedDecoder(byte, [this](char32_t character) { textCharacter(character); });
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
        if (m_telnet.lastOption() == MccpInflater::Option &&
            m_telnet.isOn(MccpInflater::Option, TelnetFilter::Side::Remote)) {
            m_mccp.start();
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

std::size_t LineProcessor::processBatch(const unsigned char* bytes, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = bytes[i];
        bool lineEnd = false;
        if (m_telnet.inSequence() || c == TelnetFilter::IAC) {
            const bool compressedBefore = m_mccp.active();
            telnetByte(c);
            ++i;
            if (m_mccp.active() && !compressedBefore) {
                // Everything after the start is compressed, the rest of this read too.
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

bool LineProcessor::showsUnfinishedTail() const {
    // Log-in prompts have no line end: before log-in the tail is shown at
    // once. Afterwards a tail may be the first half of a marker line, so it
    // waits for a quiet spell; while a WHO listing is captured a row must
    // arrive whole, or its two halves would be read as two rows.
    return !m_session.TagMode && m_session.ListMode != 2 && !stageHoldsTail();
}

void LineProcessor::unfinishedTailAtEndOfRead() {
    const bool tailWaiting = m_line.text.size() > m_shownBytes;
    if (tailWaiting && showsUnfinishedTail()) {
        showOpenPrompt();
    } else if ((tailWaiting || m_heldCarriageReturns > 0) && m_timers != nullptr) {
        if (m_quietTimer) {
            m_timers->stop(*m_quietTimer);
        }
        m_quietTimer = m_timers->startSingleShot(kOpenPromptDelay, [this] {
            m_quietTimer.reset();
            quietSpell();
        });
    }
}

void LineProcessor::quietSpell() {
    if (m_session.ListMode == 2 && m_line.text.size() > m_shownBytes) {
        // A listing row is still arriving; look again after the next spell.
        unfinishedTailAtEndOfRead();
        return;
    }
    releaseHeldCarriageReturns();
    showOpenPrompt();
    if (m_hooks.outputChanged) {
        m_hooks.outputChanged();
    } else {
        m_output.flush();
    }
}

TextLine LineProcessor::unshownPart() const {
    TextLine part;
    const std::size_t from = std::min(m_shownBytes, m_line.text.size());
    part.text = m_line.text.substr(from);
    for (const StyleSpan& span : m_line.spans) {
        const std::size_t end = std::size_t{span.start} + span.length;
        if (end <= from) {
            continue;
        }
        const std::size_t start = std::max<std::size_t>(span.start, from);
        part.spans.push_back(StyleSpan{static_cast<std::uint32_t>(start - from),
                                       static_cast<std::uint32_t>(end - start), span.style});
    }
    return part;
}

bool LineProcessor::stageHoldsTail() const {
    return m_stage != nullptr && !m_midLine && m_shownBytes == 0 && m_stage->holdsTail(m_line.text);
}

void LineProcessor::showOpenPrompt() {
    if (m_line.text.size() <= m_shownBytes || stageHoldsTail()) {
        return;
    }
    // The span open at the end is shown with the text so far; it goes on
    // from here as a new span.
    closeSpan();
    TextLine part = unshownPart();
    part.complete = false;
    m_output.showLine(part, -1);
    m_shownBytes = m_line.text.size();
    // Last: what the hook sends may end this line at once.
    if (m_hooks.promptShown) {
        m_hooks.promptShown(m_line.text);
    }
}

void LineProcessor::completeLine(bool endedWithCr, bool prompt) {
    if (m_quietTimer && m_timers != nullptr) {
        m_timers->stop(*m_quietTimer);
        m_quietTimer.reset();
    }
    closeSpan();
    m_line.complete = endedWithCr;
    bool show = true;
    // Out-of-band protocol lines come whole: a line whose start was shown
    // or cut off already is never one.
    if (m_stage != nullptr && endedWithCr && !m_midLine && m_shownBytes == 0) {
        const std::size_t length = m_line.text.size();
        show = m_stage->passLine(m_line.text);
        if (m_line.text.size() != length) {
            m_line.spans.clear();
        }
    }
    m_midLine = !endedWithCr && (m_midLine || !m_line.text.empty());
    if (show && endedWithCr && m_shownBytes == 0 && m_ownAnswers != nullptr && m_ownAnswers->waiting() &&
        m_ownAnswers->hides(m_line.text)) {
        m_line.text.clear();
        m_line.spans.clear();
        show = false;
    } else if (show && ((m_session.ListMode == 2 && (m_previous == '\r' || m_previous == '\n')) || m_session.TagMode)) {
        // The classifier judges what came after an open prompt already shown
        // (a marker line may follow a log-in prompt on the same line).
        const std::size_t shown = std::min(m_shownBytes, m_line.text.size());
        if (shown == 0 && m_session.ListMode == 0) {
            // A whole line outside a listing, nearly every line: judged where it is.
            show = m_classifier.ClassifyLine(m_line.text);
            if (!show) {
                m_line.text.clear();
            }
        } else {
            std::string rest = m_line.text.substr(shown);
            const bool listing = m_session.ListMode != 0 && !rest.empty();
            show = m_classifier.ClassifyLine(rest);
            if (!show && listing) {
                // A listing took the line; the session history keeps it anyway.
                TextLine taken;
                taken.text = m_line.text.substr(shown);
                m_output.keepInHistory(taken);
            }
            m_line.text.resize(shown);
            m_line.text += show ? rest : std::string();
        }
        if (!show || m_line.text.empty()) {
            m_line.spans.clear();
        }
    }
    if (endedWithCr && !prompt && !m_line.text.empty()) {
        m_classifier.lineEnded();
    }
    m_txtReceived = m_line.text;
    if (show || m_shownBytes > 0) {
        // A hidden rest still ends the open prompt's line, which is then a line of its own.
        showLine(prompt);
    }
    m_shownBytes = 0;
    m_line.text.clear();
    m_line.spans.clear();
    m_line.complete = true;
    m_spanStart = 0;
    if (endedWithCr) {
        // A shown tail still counts towards the length of its line.
        m_lineCharacters = 0;
    }
}

void LineProcessor::showLine(bool prompt) {
    const std::string& text = m_line.text;
    int look = -1;
    const int slot = text.empty() ? -1 : m_triggers.match(text);
    if (slot >= 0) {
        if (m_triggers.popsUp(slot) && m_hooks.popUp) {
            const std::string shown =
                Utf8Length(text) > kPopUpCharacters ? Utf8Left(text, kPopUpCharacters) + "..." : text;
            m_hooks.popUp(m_session.WorldName + " - " + m_session.CharacterName, shown);
        }
        if (const std::string& sound = m_triggers.soundFile(slot); !sound.empty()) {
            m_sound.playWave(sound);
        }
        int& cached = m_looks[static_cast<std::size_t>(slot)];
        if (cached == kLookUnknown) {
            cached = m_output.addLook(m_triggers.look(slot));
        }
        look = cached;
    }
    const bool shown = m_filter == nullptr || m_filter->offerLine(m_line);
    if (shown) {
        // Nothing of the line shown yet, as for nearly every line: no copy.
        if (m_shownBytes == 0 && m_line.complete) {
            m_output.showLine(m_line, look);
        } else {
            m_output.showLine(unshownPart(), look);
        }
        if (m_hooks.lineShown) {
            m_hooks.lineShown(text);
        }
    }
    if (m_session.LogOpen && m_log != nullptr) {
        m_log->writeLine(text);
    }
    if (m_hooks.lineEnded) {
        m_hooks.lineEnded(text, prompt);
    }
    if (!shown) {
        return;
    }
    if (m_window.isMinimised()) {
        if (m_settings.MinMaximize) {
            if (m_settings.MinBeep) {
                m_sound.beep();
            }
            m_window.restoreFromMinimised();
        } else if (!m_window.activityIcon()) {
            m_window.setActivityIcon(true);
            m_window.setCaption(">>Corvane");
            if (m_settings.MinBeep) {
                m_sound.beep();
            }
        }
    }
}

} // namespace corvane
