#pragma once

#include "platform/speech.h"

#include <cstddef>
#include <deque>
#include <string>

namespace corvane {

// Everything Corvane says goes through here, in order, one utterance at a
// time: a flood is never read for minutes on end. Once more than about
// kBacklogSeconds of speech waits, further lines are only counted and said
// as "42 more lines" when the queue has run dry. Urgent text cuts in; text
// with priority goes before the lines that wait. Scripts call say().
class SpeechQueue : public SpeechEvents {
public:
    static constexpr double kBacklogSeconds = 5;
    // At usual rate; the engine's rate scales it.
    static constexpr double kCharactersPerSecond = 15;
    // Priority text is not summarised, but a world cannot make it wait without end.
    static constexpr std::size_t kMaxPriority = 20;

    enum class Urgency { Normal, Priority, Interrupt };

    explicit SpeechQueue(Speech& engine);
    ~SpeechQueue() override;
    SpeechQueue(const SpeechQueue&) = delete;
    SpeechQueue& operator=(const SpeechQueue&) = delete;

    // Says the text after what waits, or at once cutting everything off
    // (interrupt), in the given voice (empty: the chosen one).
    void say(const std::string& text, bool interrupt = false, const std::string& voice = {}) {
        add(text, interrupt ? Urgency::Interrupt : Urgency::Normal, voice);
    }
    void add(const std::string& text, Urgency urgency, const std::string& voice = {});
    // Stops what is being said and drops what waits, the summary too.
    void silence();
    // The rate, to judge how long the waiting text takes to say.
    void setRate(double rate);

    bool speaking() const { return m_speaking; }
    std::size_t waiting() const { return m_waiting.size(); }
    // Lines counted for the summary and not said.
    std::size_t summarised() const { return m_skipped; }
    double waitingSeconds() const { return m_waitingSeconds; }

    void onSpeechFinished() override;

private:
    struct Utterance {
        std::string text;
        std::string voice;
        bool priority = false;
        double seconds = 0;
    };
    double secondsFor(const std::string& text) const;
    void next();

    Speech& m_engine;
    std::deque<Utterance> m_waiting;
    std::size_t m_priorityWaiting = 0;
    double m_waitingSeconds = 0;
    double m_charactersPerSecond = kCharactersPerSecond;
    std::size_t m_skipped = 0;
    bool m_speaking = false;
};

// "1 more line", "42 more lines".
std::string SummaryText(std::size_t lines);

} // namespace corvane
