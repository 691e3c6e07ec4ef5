#include "speech/speech_presenter.h"

#include "core/session_history.h"
#include "platform/clipboard.h"

namespace corvane {

SpeechPresenter::SpeechPresenter(Services services, ShownLineFilter* next)
    : m_services(services)
    , m_next(next)
    , m_queue(services.engine) {}

void SpeechPresenter::apply(const SpeechSettings& settings) {
    m_settings = settings;
    Speech& engine = m_services.engine;
    engine.setVoice(settings.voice);
    engine.setRate(settings.rate);
    engine.setPitch(settings.pitch);
    engine.setVolume(settings.volume);
    m_queue.setRate(settings.rate);
    if (!settings.speakIncoming) {
        m_queue.silence();
    }
}

bool SpeechPresenter::offerLine(TextLine& line) {
    const bool shown = m_next == nullptr || m_next->offerLine(line);
    if (!line.complete || !m_on || (m_settings.onlyInBackground && m_foreground)) {
        return shown;
    }
    const Rule::Voicing voicing = m_hooks.voicing ? m_hooks.voicing() : Rule::Voicing::Usual;
    const std::string conversation = m_hooks.conversation ? m_hooks.conversation() : std::string();
    // A trigger's "Speak" is heard even with incoming text not spoken; "Don't speak" never is.
    const bool spoken = voicing == Rule::Voicing::Speak || voicing == Rule::Voicing::Interrupt ||
                        (voicing == Rule::Voicing::Usual && m_settings.speakIncoming);
    // A page taken out of the main window is still said; a line hidden by a trigger is not.
    if (!spoken || (!shown && conversation.empty())) {
        return shown;
    }
    const std::string voice = m_hooks.voice ? m_hooks.voice() : std::string();
    if (voicing == Rule::Voicing::Interrupt) {
        m_queue.add(line.text, SpeechQueue::Urgency::Interrupt, voice);
        return shown;
    }
    if (m_settings.speakConversations && !conversation.empty()) {
        // Said with who it is from, unless the line starts with the name already.
        const bool named = line.text.compare(0, conversation.size(), conversation) == 0;
        m_queue.add(named ? line.text : conversation + ": " + line.text, SpeechQueue::Urgency::Priority, voice);
        return shown;
    }
    const bool mentioned =
        m_settings.speakConversations && m_hooks.mentionsPlayer && m_hooks.mentionsPlayer(line.text);
    m_queue.add(line.text, mentioned ? SpeechQueue::Urgency::Priority : SpeechQueue::Urgency::Normal, voice);
    return shown;
}

void SpeechPresenter::readEnded(std::string_view unshown) {
    if (m_next != nullptr) {
        m_next->readEnded(unshown);
    }
}

void SpeechPresenter::lineSent(const std::string& line) {
    if (m_on && m_settings.speakIncoming && m_settings.speakSent) {
        m_queue.add(line, SpeechQueue::Urgency::Normal);
    }
}

void SpeechPresenter::toggle() {
    m_on = !m_on;
    m_queue.silence();
    speakNow(m_on ? "Speech on" : "Speech off");
}

void SpeechPresenter::say(const std::string& text, bool interrupt, const std::string& voice) {
    if (m_on) {
        m_queue.say(text, interrupt, voice);
    }
}

void SpeechPresenter::speakNow(const std::string& text) {
    m_queue.add(text, SpeechQueue::Urgency::Interrupt);
}

bool SpeechPresenter::reviewable(std::uint64_t serial) const {
    const SessionHistory& history = m_services.history;
    switch (history.mark(serial)) {
    case HistoryMark::Traffic:
        return false;
    case HistoryMark::Hidden:
        // A page moved to its window is still the player's to read back.
        if (history.tag(serial).empty()) {
            return false;
        }
        break;
    case HistoryMark::None:
        break;
    }
    return history.line(serial).text.find_first_not_of(" \t") != std::string_view::npos;
}

std::string SpeechPresenter::lineText(std::uint64_t serial) const {
    return std::string(m_services.history.line(serial).text);
}

std::optional<std::uint64_t> SpeechPresenter::seek(std::uint64_t from, int step) const {
    const SessionHistory& history = m_services.history;
    for (std::uint64_t serial = from; serial >= history.firstLine() && serial < history.endLine();) {
        if (reviewable(serial)) {
            return serial;
        }
        if (step < 0 && serial == 0) {
            break;
        }
        serial = step < 0 ? serial - 1 : serial + 1;
    }
    return std::nullopt;
}

void SpeechPresenter::reviewRecent(int nth) {
    const SessionHistory& history = m_services.history;
    std::optional<std::uint64_t> found;
    for (int i = 0; i < nth; ++i) {
        const std::uint64_t from = found ? *found : history.endLine();
        found = from == 0 ? std::nullopt : seek(from - 1, -1);
        if (!found) {
            break;
        }
    }
    const TimePoint now = m_services.clock.now();
    const bool again = nth == m_lastReview && now - m_lastReviewAt <= kDoublePress;
    m_lastReview = again ? 0 : nth;
    m_lastReviewAt = now;
    if (!found) {
        speakNow("No line " + std::to_string(nth));
        return;
    }
    if (again) {
        m_services.clipboard.setText(lineText(*found));
        speakNow("Copied");
        return;
    }
    m_cursor = found;
    speakNow(lineText(*found));
}

void SpeechPresenter::reviewMove(ReviewMove move) {
    const SessionHistory& history = m_services.history;
    if (history.empty()) {
        speakNow("No lines");
        return;
    }
    const std::uint64_t newest = history.endLine() - 1;
    std::optional<std::uint64_t> found;
    bool atEdge = false;
    if (m_cursor && (*m_cursor < history.firstLine() || *m_cursor > newest)) {
        m_cursor.reset();
    }
    switch (move) {
    case ReviewMove::Oldest:
        found = seek(history.firstLine(), 1);
        break;
    case ReviewMove::Newest:
        found = seek(newest, -1);
        break;
    case ReviewMove::Older:
        found = !m_cursor ? seek(newest, -1) : *m_cursor > history.firstLine() ? seek(*m_cursor - 1, -1) : std::nullopt;
        atEdge = m_cursor && !found;
        break;
    case ReviewMove::Newer:
        found = !m_cursor ? seek(newest, -1) : seek(*m_cursor + 1, 1);
        atEdge = m_cursor && !found;
        break;
    }
    if (atEdge) {
        // The edge is said before the line the cursor stays on.
        found = m_cursor;
        speakNow(move == ReviewMove::Older ? "Top" : "Bottom");
        m_queue.add(lineText(*found), SpeechQueue::Urgency::Priority);
        return;
    }
    if (!found) {
        speakNow("No lines");
        return;
    }
    m_cursor = found;
    speakNow(lineText(*found));
}

} // namespace corvane
