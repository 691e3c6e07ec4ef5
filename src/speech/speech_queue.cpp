#include "speech/speech_queue.h"

#include <algorithm>
#include <cmath>

namespace corvane {

std::string SummaryText(std::size_t lines) {
    return std::to_string(lines) + (lines == 1 ? " more line" : " more lines");
}

SpeechQueue::SpeechQueue(Speech& engine)
    : m_engine(engine) {
    m_engine.setEvents(this);
}

SpeechQueue::~SpeechQueue() {
    m_engine.setEvents(nullptr);
}

void SpeechQueue::setRate(double rate) {
    // The engines double their speed over the range's upper half.
    m_charactersPerSecond = kCharactersPerSecond * std::pow(2.0, std::clamp(rate, -1.0, 1.0));
}

double SpeechQueue::secondsFor(const std::string& text) const {
    return static_cast<double>(text.size()) / m_charactersPerSecond;
}

void SpeechQueue::add(const std::string& text, Urgency urgency, const std::string& voice) {
    if (text.find_first_not_of(" \t") == std::string::npos) {
        return;
    }
    Utterance utterance{text, voice, urgency != Urgency::Normal, secondsFor(text)};
    if (urgency == Urgency::Interrupt) {
        // What waited is not read after the urgent line, only counted.
        m_skipped += m_waiting.size();
        m_waiting.clear();
        m_priorityWaiting = 0;
        m_waitingSeconds = 0;
        m_speaking = true;
        m_engine.stop();
        m_engine.say(utterance.text, utterance.voice);
        return;
    }
    if (urgency == Urgency::Priority) {
        if (m_priorityWaiting >= kMaxPriority) {
            ++m_skipped;
            return;
        }
        m_waiting.insert(m_waiting.begin() + static_cast<std::ptrdiff_t>(m_priorityWaiting), std::move(utterance));
        ++m_priorityWaiting;
    } else {
        if (m_skipped > 0 || m_waitingSeconds > kBacklogSeconds) {
            ++m_skipped;
            return;
        }
        m_waitingSeconds += utterance.seconds;
        m_waiting.push_back(std::move(utterance));
    }
    if (!m_speaking) {
        next();
    }
}

void SpeechQueue::silence() {
    m_waiting.clear();
    m_priorityWaiting = 0;
    m_waitingSeconds = 0;
    m_skipped = 0;
    if (m_speaking) {
        m_speaking = false;
        m_engine.stop();
    }
}

void SpeechQueue::onSpeechFinished() {
    m_speaking = false;
    next();
}

void SpeechQueue::next() {
    if (m_waiting.empty()) {
        if (m_skipped == 0) {
            return;
        }
        const std::string summary = SummaryText(m_skipped);
        m_skipped = 0;
        m_speaking = true;
        m_engine.say(summary, {});
        return;
    }
    Utterance utterance = std::move(m_waiting.front());
    m_waiting.pop_front();
    if (utterance.priority) {
        --m_priorityWaiting;
    } else {
        m_waitingSeconds = std::max(0.0, m_waitingSeconds - utterance.seconds);
    }
    m_speaking = true;
    m_engine.say(utterance.text, utterance.voice);
}

} // namespace corvane
