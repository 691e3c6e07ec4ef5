#pragma once

#include "core/shown_line_filter.h"
#include "platform/clock.h"
#include "rules/rule_book.h"
#include "rules/rule_scripts.h"
#include "rules/send_limiter.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

struct Session;
class Sound;
class Notifier;
class StatusLine;
class SessionHistory;

// One trigger that matched a line, and what it does there with the match
// filled in. The editor's Test box shows the same.
struct TriggerFiring {
    std::size_t rule = 0;
    PatternMatch match;
    std::vector<std::string> commands;
    std::string status;
};

// The triggers of `active` (indexes into the book, in order) tried on one
// line, up to the first that stops there.
std::vector<TriggerFiring> FireTriggers(const RuleBook& book, const std::vector<std::size_t>& active,
                                        std::string_view line);

// Triggers in the path of received lines: sees each line once, after the
// client's own handling, colours or hides it and runs its actions. A prompt
// without a line end is offered when its line ends or after kPromptQuiet
// without more text; it has been shown by then, so only its actions run.
class TriggerStage : public ShownLineFilter {
public:
    static constexpr std::chrono::milliseconds kPromptQuiet{500};

    struct Services {
        RuleBook& book;
        const Session& session;
        Sound& sound;
        StatusLine& status;
        SessionHistory& history;
        Timers& timers;
        const Clock& clock;
        // A command for the world, without its line end.
        std::function<void(const std::string&)> send;
        // A line of the client's own in the output.
        std::function<void(const std::string&)> notice;
    };

    explicit TriggerStage(Services services);
    ~TriggerStage() override;
    TriggerStage(const TriggerStage&) = delete;
    TriggerStage& operator=(const TriggerStage&) = delete;

    void setNotifier(Notifier* notifier) { m_notifier = notifier; }
    // Runs rules' Lua and the scripts' line events; none: scripts are skipped.
    void setScripts(RuleScripts* scripts) { m_scripts = scripts; }
    // How the last whole line offered is to be spoken: the first rule that says so decides.
    struct LineVoicing {
        Rule::Voicing voicing = Rule::Voicing::Usual;
        std::string voice;
    };
    const LineVoicing& lastVoicing() const { return m_voicing; }
    bool offerLine(TextLine& line) override;
    void readEnded(std::string_view unshown) override;
    // Triggers send again after the runaway limit stopped them.
    void resumeSending() { m_limiter.resumeAll(); }
    bool sendingStopped() const;
    // A command sent as a trigger sends it: counted against the runaway limit.
    void sendCommand(const std::string& command);

private:
    // Colours and hides `shown`, the stretch [shownFrom, end) of the matched
    // text, and runs the firings' other actions unless told not to.
    bool act(std::string_view text, TextLine* shown, std::size_t shownFrom, bool actions = true);
    void promptQuiet();
    bool listening() const { return m_scripts != nullptr && m_scripts->wantsLines(); }
    const std::vector<std::size_t>& active();

    Services m_services;
    Notifier* m_notifier = nullptr;
    RuleScripts* m_scripts = nullptr;
    SendLimiter m_limiter;
    std::vector<std::size_t> m_active;
    std::uint64_t m_activeRevision = 0;
    std::string m_activeWorld;
    // An unfinished tail shown but not yet offered.
    std::string m_tail;
    // The open line as the last read left it, and the prompt offered after quiet.
    std::string m_prompt;
    std::string m_offeredPrompt;
    Timers::TimerId m_tailTimer = -1;
    LineVoicing m_voicing;
};

} // namespace corvane
