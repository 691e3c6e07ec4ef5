#include "core/line_processor.h"

#include "core/line_classifier.h"
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
    m_telnet.reset();
    m_ansi.reset();
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

void LineProcessor::appendByte(unsigned char byte) {
    AppendCp1252AsUtf8(m_line.text, byte);
    ++m_lineCharacters;
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
        const auto* bytes = reinterpret_cast<const unsigned char*>(m_work.data());
        const std::size_t n = m_work.size();
        std::size_t i = 0;
        while (i < n) {
            const unsigned char c = bytes[i];
            bool lineEnd = false;
            if (m_telnet.inSequence() || c == TelnetFilter::IAC) {
                m_reply.clear();
                if (m_telnet.feed(c, m_reply) == TelnetFilter::Result::DataByte) {
                    if (m_ansi.inSequence()) {
                        m_ansi.feed(c);
                    } else {
                        appendByte(c);
                    }
                }
                if (!m_reply.empty()) {
                    // Replies go straight out, in stream order with the text around them.
                    m_socket.send(m_reply);
                }
                ++i;
            } else if ((m_ansi.inSequence() && c != '\r') || c == AnsiParser::ESC) {
                m_ansi.feed(c);
                if (!m_ansi.inSequence() && !(m_ansi.style() == m_spanStyle)) {
                    closeSpan();
                    m_spanStyle = m_ansi.style();
                }
                ++i;
            } else if (kPlainText.plain[c]) {
                // A run of ordinary text, up to what one line may hold.
                const std::size_t room = kMaxLineCharacters - std::min(m_lineCharacters, kMaxLineCharacters);
                const std::size_t limit = std::min(n, i + std::max<std::size_t>(room, 1));
                unsigned char high = 0;
                const std::size_t end = i + plainRun(bytes + i, bytes + limit, high);
                if ((high & 0x80) == 0) {
                    m_line.text.append(reinterpret_cast<const char*>(bytes + i), end - i);
                } else {
                    for (std::size_t k = i; k < end; ++k) {
                        AppendCp1252AsUtf8(m_line.text, bytes[k]);
                    }
                }
                m_lineCharacters += end - i;
                i = end;
                if (m_lineCharacters >= kMaxLineCharacters) {
                    lineEnd = true;
                }
            } else {
                if (c == '\r') {
                    m_ansi.cancelSequence();
                    lineEnd = true;
                } else if (c == '\t') {
                    m_line.text.append(8, ' ');
                    m_lineCharacters += 8;
                } else if (c == 7) {
                    m_sound.beep();
                }
                ++i;
            }
            if (lineEnd) {
                completeLine(true);
                m_previous = c;
            } else if (i == n && !m_session.TagMode) {
                // Login prompts have no line end: show the tail at once.
                completeLine(false);
                m_previous = c;
            }
        }
    }
    if (m_hooks.outputChanged) {
        m_hooks.outputChanged();
    } else {
        m_output.flush();
    }
    m_running = false;
}

void LineProcessor::completeLine(bool endedWithCr) {
    closeSpan();
    m_line.complete = endedWithCr;
    bool show = true;
    if ((m_session.ListMode == 2 && (m_previous == '\r' || m_previous == '\n')) || m_session.TagMode) {
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
    m_lineCharacters = 0;
    m_spanStart = 0;
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
