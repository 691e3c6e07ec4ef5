#pragma once

#include "core/rgb.h"
#include "rules/expansion.h"
#include "rules/pattern_matcher.h"
#include "rules/rule.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What scripts asked to do to the line they ran on.
struct LineEdit {
    bool gag = false;
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;
    std::optional<std::string> replacement;
};

// Where rules hand their Lua over: the rules know nothing of the language,
// only that a rule's script runs with its match and may change the line.
class RuleScripts {
public:
    virtual ~RuleScripts() = default;
    // A trigger's script on the line it fired on (the whole line, as matched).
    virtual void runTrigger(const Rule& rule, std::string_view line, const PatternMatch& match,
                            const PatternMatcher& matcher, LineEdit& edit) = 0;
    // An alias's script: what it sends comes back, in order, as the alias's
    // further commands.
    virtual std::vector<std::string> runAlias(const Rule& rule, const std::string& line,
                                              const AliasArguments& arguments) = 0;
    // Whether scripts listen to every line ("line" and "prompt" events).
    virtual bool wantsLines() const = 0;
    // Each received line after the triggers, and a prompt after quiet.
    virtual void line(std::string_view text, bool prompt, LineEdit& edit) = 0;
};

} // namespace corvane
