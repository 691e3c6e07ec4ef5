#include "core/line_processor.h"

#include "core/line_classifier.h"
#include "core/own_command_answers.h"
#include "core/main_window_view.h"
#include "core/output_buffer.h"
#include "core/output_habits.h"
#include "core/session.h"
#include "core/text_codec.h"
#include "platform/sound.h"

#include <algorithm>

namespace corvane {

// Lines in the text stage: an unfinished line shown as an open prompt, and
// each ended line through the out-of-band protocols, the answers to
// Corvane's own commands, the classifier, the triggers and rules, and on to
// the output, the log and the history.

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
