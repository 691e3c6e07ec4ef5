#pragma once

#include "core/shown_line_filter.h"
#include "platform/clock.h"
#include "rules/rule.h"
#include "speech/speech_queue.h"
#include "speech/speech_settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace corvane {

class Clipboard;
class SessionHistory;

// What Corvane says by itself: received lines as the Speech page and the
// triggers' speech actions choose, what the player sends, and the review
// keys that read the session back. It sits first in the path of shown
// lines and hands each line on before deciding, so it hears the triggers'
// and the conversations' verdict on it.
class SpeechPresenter : public ShownLineFilter {
public:
    // Twice the same review key within this copies the line.
    static constexpr std::chrono::milliseconds kDoublePress{600};

    struct Services {
        Speech& engine;
        const SessionHistory& history;
        Clipboard& clipboard;
        const Clock& clock;
    };
    // What the other stages decided about the line just handed on.
    struct Hooks {
        std::function<Rule::Voicing()> voicing = {};
        std::function<std::string()> voice = {};
        // The conversation a line from someone else went to, or empty.
        std::function<std::string()> conversation = {};
        std::function<bool(std::string_view)> mentionsPlayer = {};
    };
    enum class ReviewMove { Older, Newer, Oldest, Newest };

    SpeechPresenter(Services services, ShownLineFilter* next);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    void apply(const SpeechSettings& settings);
    const SpeechSettings& settings() const { return m_settings; }
    // Empty when an engine answers; otherwise why nothing is said.
    std::string unavailableReason() const { return m_services.engine.unavailableReason(); }
    std::vector<SpeechVoice> voices() const { return m_services.engine.voices(); }

    bool offerLine(TextLine& line) override;
    void readEnded(std::string_view unshown) override;
    // A line the player sent.
    void lineSent(const std::string& line);
    // Whether another program has the keyboard.
    void setForeground(bool foreground) { m_foreground = foreground; }

    // Ctrl alone: quiet now, and nothing that waited.
    void silence() { m_queue.silence(); }
    // F12: all speech off and on for this run.
    void toggle();
    bool on() const { return m_on; }
    // Ctrl+1 ... Ctrl+0: the nth most recent line (1 the newest); twice quickly copies it.
    void reviewRecent(int nth);
    // Ctrl+Shift+Up/Down/Home/End: the review cursor through the session history.
    void reviewMove(ReviewMove move);

    // For scripts: says the text unless speech was turned off with F12.
    void say(const std::string& text, bool interrupt = false, const std::string& voice = {});
    SpeechQueue& queue() { return m_queue; }

private:
    bool reviewable(std::uint64_t serial) const;
    std::string lineText(std::uint64_t serial) const;
    // The reviewable line from `from` on, stepping by `step`, or none.
    std::optional<std::uint64_t> seek(std::uint64_t from, int step) const;
    void speakNow(const std::string& text);

    Services m_services;
    ShownLineFilter* m_next;
    Hooks m_hooks;
    SpeechQueue m_queue;
    SpeechSettings m_settings;
    // F12 turns all speech off for this run, and on again.
    bool m_on = true;
    bool m_foreground = true;
    std::optional<std::uint64_t> m_cursor;
    int m_lastReview = 0;
    TimePoint m_lastReviewAt{};
};

} // namespace corvane
