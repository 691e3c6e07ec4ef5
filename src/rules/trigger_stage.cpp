#include "rules/trigger_stage.h"

#include "core/session.h"
#include "core/session_history.h"
#include "core/status_line.h"
#include "core/text_codec.h"
#include "platform/notifier.h"
#include "platform/sound.h"
#include "rules/expansion.h"
#include "rules/line_colour.h"

namespace corvane {

namespace {
constexpr std::size_t kNotificationCharacters = 80;
} // namespace

std::vector<TriggerFiring> FireTriggers(const RuleBook& book, const std::vector<std::size_t>& active,
                                        std::string_view line) {
    std::vector<TriggerFiring> firings;
    const MatchSubject subject(line);
    PatternMatch match;
    for (const std::size_t index : active) {
        const PatternMatcher& matcher = book.matcher(index);
        if (!matcher.match(subject, &match)) {
            continue;
        }
        const Rule& rule = book.rule(index);
        TriggerFiring firing;
        firing.rule = index;
        if (!rule.send.empty()) {
            firing.commands = SplitCommands(FillTriggerText(rule.send, line, match, matcher));
        }
        if (!rule.statusText.empty()) {
            firing.status = FillTriggerText(rule.statusText, line, match, matcher);
        }
        firing.match = std::move(match);
        firings.push_back(std::move(firing));
        if (rule.stopHere) {
            break;
        }
    }
    return firings;
}

namespace {

// A script's colour covers the whole shown line; a replacement takes its
// text and the colour, if any, with it.
void applyEdit(const LineEdit& edit, TextLine& shown) {
    if (edit.replacement) {
        shown.text = *edit.replacement;
        shown.spans.clear();
    }
    if ((edit.foreground || edit.background) && !shown.text.empty()) {
        OverlayStyle(shown, 0, shown.text.size(), TextStyle{edit.foreground, edit.background, false});
    }
}

} // namespace

TriggerStage::TriggerStage(Services services)
    : m_services(std::move(services))
    , m_limiter(m_services.clock) {}

TriggerStage::~TriggerStage() {
    if (m_tailTimer >= 0) {
        m_services.timers.stop(m_tailTimer);
    }
}

bool TriggerStage::sendingStopped() const {
    return m_limiter.stopped(m_services.session.WorldName);
}

const std::vector<std::size_t>& TriggerStage::active() {
    const std::string& world = m_services.session.WorldName;
    if (m_activeRevision != m_services.book.revision() || m_activeWorld != world) {
        m_active = m_services.book.active(Rule::Kind::Trigger, world);
        m_activeRevision = m_services.book.revision();
        m_activeWorld = world;
    }
    return m_active;
}

bool TriggerStage::offerLine(TextLine& line) {
    if (line.complete) {
        m_voicing = {};
    }
    if (active().empty() && !listening()) {
        m_tail.clear();
        return true;
    }
    if (!line.complete) {
        m_tail += line.text;
        return true;
    }
    if (m_tailTimer >= 0) {
        m_services.timers.stop(m_tailTimer);
        m_tailTimer = -1;
    }
    // A line that began as a shown tail is matched whole; only the rest can
    // still be coloured or hidden.
    std::string whole = std::move(m_tail);
    m_tail.clear();
    const std::size_t from = whole.size();
    whole += line.text;
    // A prompt offered after quiet that now ends as it was is not offered twice.
    const bool offered = !m_offeredPrompt.empty() && whole == m_offeredPrompt;
    m_offeredPrompt.clear();
    return act(whole, &line, from, !offered);
}

void TriggerStage::readEnded(std::string_view unshown) {
    if (m_tailTimer >= 0) {
        m_services.timers.stop(m_tailTimer);
        m_tailTimer = -1;
    }
    m_prompt = m_tail;
    m_prompt += unshown;
    if (m_prompt.empty() || m_prompt == m_offeredPrompt || (active().empty() && !listening())) {
        return;
    }
    m_tailTimer = m_services.timers.startSingleShot(kPromptQuiet, [this] {
        m_tailTimer = -1;
        promptQuiet();
    });
}

void TriggerStage::promptQuiet() {
    m_offeredPrompt = m_prompt;
    if (!m_tail.empty() && m_prompt == m_tail) {
        // Shown already: what follows on its line is a line of its own.
        m_tail.clear();
        m_offeredPrompt.clear();
    }
    act(m_prompt, nullptr, 0);
}

bool TriggerStage::act(std::string_view text, TextLine* shown, std::size_t shownFrom, bool actions) {
    const std::vector<TriggerFiring> firings = FireTriggers(m_services.book, active(), text);
    bool gag = false;
    LineEdit edit;
    for (const TriggerFiring& firing : firings) {
        const Rule& rule = m_services.book.rule(firing.rule);
        if (shown != nullptr && rule.colour != Rule::Colour::None &&
            (rule.foreground || rule.background || rule.bold)) {
            std::size_t start = 0;
            std::size_t length = text.size();
            if (rule.colour == Rule::Colour::Match && !firing.match.groups.empty()) {
                start = firing.match.groups[0].first;
                length = firing.match.groups[0].second;
            }
            const std::size_t end = start + length;
            start = std::max(start, shownFrom);
            if (end > start) {
                OverlayStyle(*shown, start - shownFrom, end - start,
                             TextStyle{rule.foreground, rule.background, rule.bold});
            }
        }
        gag = gag || rule.gag;
        if (shown != nullptr && rule.voicing != Rule::Voicing::Usual && m_voicing.voicing == Rule::Voicing::Usual) {
            m_voicing = {rule.voicing, rule.voice};
        }
        if (!actions) {
            continue;
        }
        for (const std::string& command : firing.commands) {
            sendCommand(command);
        }
        if (!rule.soundFile.empty()) {
            m_services.sound.playWave(rule.soundFile);
        }
        if (rule.notify && m_notifier != nullptr) {
            const std::string body = Utf8Length(text) > kNotificationCharacters
                                         ? Utf8Left(text, kNotificationCharacters) + "..."
                                         : std::string(text);
            m_notifier->notify(m_services.session.WorldName, body);
        }
        if (!firing.status.empty()) {
            m_services.status.ShowNotice(firing.status);
        }
        if (!rule.script.empty() && m_scripts != nullptr) {
            m_scripts->runTrigger(rule, text, firing.match, m_services.book.matcher(firing.rule), edit);
        }
    }
    if (actions && listening()) {
        m_scripts->line(text, shown == nullptr, edit);
    }
    gag = gag || edit.gag;
    if (shown != nullptr && !gag) {
        applyEdit(edit, *shown);
    }
    if (gag && shown != nullptr) {
        m_services.history.appendHidden(shown->text, shown->spans);
        return false;
    }
    return true;
}

void TriggerStage::sendCommand(const std::string& command) {
    const std::string& world = m_services.session.WorldName;
    switch (m_limiter.allow(world)) {
    case SendLimiter::Verdict::Send:
        m_services.send(command);
        break;
    case SendLimiter::Verdict::JustStopped:
        m_services.notice(m_limiter.stoppedByMinute(world)
                              ? "*** Triggers stopped sending: more than 200 commands a minute (Edit > "
                                "Triggers and Aliases to resume)"
                              : "*** Triggers stopped sending: more than 20 commands a second (Edit > "
                                "Triggers and Aliases to resume)");
        break;
    case SendLimiter::Verdict::Stopped:
        break;
    }
}

} // namespace corvane
