#include "core/line_processor.h"

#include "core/line_classifier.h"
#include "core/own_command_answers.h"
#include "core/main_window_view.h"
#include "core/output_buffer.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "platform/socket.h"
#include "platform/sound.h"
#include "settings/client_settings.h"
#include "settings/trigger_set.h"

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

LineProcessor::LineProcessor(Session& session, const ClientSettings& settings, Socket& socket, Sound& sound,
                             TriggerSet& triggers, LineClassifier& classifier, OutputBuffer& output,
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
}

void LineProcessor::reset() {
    m_reply.clear();
    m_telnet.reset();
    m_ansi.reset();
    m_decoder.reset();
    m_reportedUtf8 = false;
    m_pairedEnd = 0;
    m_previous = '\r';
    m_line.clear();
    m_lineCharacters = 0;
    m_spanStart = 0;
    m_spanStyle = TextStyle{};
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
    completeLine(true);
    // The rest of an over-long line is a continuation, not a new listing row.
    m_previous = 0;
}

void LineProcessor::flushDecoder() {
    m_decoder.flush([this](char32_t character) { putCharacter(character); });
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
    while (!m_session.PendingText.empty() && !m_session.OutputPaused) {
        m_work.clear();
        m_work.swap(m_session.PendingText);
        processBatch(reinterpret_cast<const unsigned char*>(m_work.data()), m_work.size());
        if (!m_reply.empty()) {
            // One send for all the replies a read asked for, in their order: a
            // server that floods requests costs one write per read, not one each.
            m_socket.send(m_reply);
            m_reply.clear();
        }
    }
    if (!m_reportedUtf8 && m_decoder.sawMultibyte()) {
        m_reportedUtf8 = true;
        if (m_utf8Seen) {
            m_utf8Seen();
        }
    }
    if (m_hooks.outputChanged) {
        m_hooks.outputChanged();
    } else {
        m_output.flush();
    }
    m_running = false;
}

void LineProcessor::telnetByte(unsigned char byte) {
    if (m_telnet.feed(byte, m_reply) == TelnetFilter::Result::DataByte) {
        if (m_ansi.inSequence()) {
            m_ansi.feed(byte);
        } else {
            m_pairedEnd = 0;
            feedDecoder(byte, [this](char32_t character) { putCharacter(character); });
        }
    }
}

void LineProcessor::processBatch(const unsigned char* bytes, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = bytes[i];
        bool lineEnd = false;
        if (m_telnet.inSequence() || c == TelnetFilter::IAC) {
            telnetByte(c);
            ++i;
        } else if ((m_ansi.inSequence() && c != '\r' && c != '\n') || c == AnsiParser::ESC) {
            if (c == AnsiParser::ESC && m_decoder.pending()) {
                flushDecoder();
            }
            m_ansi.feed(c);
            if (!m_ansi.inSequence() && !(m_ansi.style() == m_spanStyle)) {
                closeSpan();
                m_spanStyle = m_ansi.style();
            }
            ++i;
        } else if (kPlainText.plain[c]) {
            // A run of ordinary text, up to what one line may hold.
            m_pairedEnd = 0;
            if (m_lineCharacters >= kMaxLineCharacters) {
                cutLine();
            }
            const std::size_t room = kMaxLineCharacters - m_lineCharacters;
            const std::size_t limit = std::min(n, i + room);
            unsigned char high = 0;
            const std::size_t end = i + plainRun(bytes + i, bytes + limit, high);
            if ((high & 0x80) == 0 && !m_decoder.pending()) {
                m_line.text.append(reinterpret_cast<const char*>(bytes + i), end - i);
                m_lineCharacters += end - i;
            } else {
                decodeText(bytes + i, bytes + end);
            }
            i = end;
        } else {
            if (m_decoder.pending()) {
                flushDecoder();
            }
            if (c == '\r' || c == '\n') {
                if (m_ansi.inSequence()) {
                    m_ansi.cancelSequence();
                }
                // CR LF and LF CR end one line; a second CR or LF of its own kind
                // is an empty line.
                if (m_pairedEnd == c) {
                    m_pairedEnd = 0;
                } else {
                    m_pairedEnd = c == '\r' ? '\n' : '\r';
                    lineEnd = true;
                }
            } else {
                m_pairedEnd = 0;
                if (c == '\t') {
                    if (m_lineCharacters + 8 <= kMaxLineCharacters) {
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
            completeLine(true);
            m_previous = c;
        } else if (i == n && showsUnfinishedTail()) {
            // Login prompts have no line end: show the tail at once. The
            // tail is not a line end, so a read that stopped after text or a
            // telnet command leaves the next listing row to be read as one.
            completeLine(false);
        }
    }
}

bool LineProcessor::showsUnfinishedTail() const {
    // While a WHO listing is captured a row must arrive whole, or its two
    // halves would be read as two rows.
    return !m_session.TagMode && m_session.ListMode != 2;
}

void LineProcessor::completeLine(bool endedWithCr) {
    closeSpan();
    m_line.complete = endedWithCr;
    bool show = true;
    if (endedWithCr && m_ownAnswers != nullptr && m_ownAnswers->waiting() && m_ownAnswers->hides(m_line.text)) {
        m_line.text.clear();
        m_line.spans.clear();
        show = false;
    } else if ((m_session.ListMode == 2 && (m_previous == '\r' || m_previous == '\n')) || m_session.TagMode) {
        show = m_classifier.ClassifyLine(m_line.text);
        if (m_line.text.empty()) {
            m_line.spans.clear();
        }
    }
    m_txtReceived = m_line.text;
    if (show) {
        showLine();
    }
    m_line.text.clear();
    m_line.spans.clear();
    m_line.complete = true;
    m_spanStart = 0;
    if (endedWithCr) {
        // A shown tail still counts towards the length of its line.
        m_lineCharacters = 0;
    }
}

void LineProcessor::showLine() {
    const std::string& text = m_line.text;
    if (!m_line.complete && text.empty()) {
        return;
    }
    int look = -1;
    const int slot = text.empty() ? -1 : m_triggers.match(text);
    if (slot >= 0) {
        const TriggerDef& trigger = m_triggers.ActiveTriggers[static_cast<std::size_t>(slot)];
        if (trigger.popUp && m_hooks.popUp) {
            const std::string shown =
                Utf8Length(text) > kPopUpCharacters ? Utf8Left(text, kPopUpCharacters) + "..." : text;
            m_hooks.popUp(m_session.WorldName + " - " + m_session.CharacterName, shown);
        }
        if (!trigger.soundFile.empty()) {
            m_sound.playWave(trigger.soundFile);
        }
        int& cached = m_looks[static_cast<std::size_t>(slot)];
        if (cached == kLookUnknown) {
            cached = m_output.addLook(TriggerLook{trigger.fontName, trigger.fontSize, trigger.bold,
                                                  trigger.italic, Rgb::fromColourValue(trigger.colour)});
        }
        look = cached;
    }
    m_output.showLine(m_line, look);
    if (m_hooks.lineShown) {
        m_hooks.lineShown(text);
    }
    if (m_session.LogOpen && m_log != nullptr) {
        m_log->writeLine(text);
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
