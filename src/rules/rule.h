#pragma once

#include "core/rgb.h"
#include "rules/pattern_matcher.h"

#include <optional>
#include <string>

namespace corvane {

// One trigger, alias or key as the player wrote it: what it matches and what it does.
// A key's pattern is the key's name ("KP8", "Ctrl+F9"); it sends and runs Lua only.
struct Rule {
    enum class Kind { Trigger, Alias, Key };
    enum class Colour { None, Match, Line };
    // What speech does with a line the trigger matched: as the Speech page
    // says, say it, say it at once cutting off what is being said, or not.
    enum class Voicing { Usual, Speak, Interrupt, Silent };

    Kind kind = Kind::Trigger;
    // Empty: every world.
    std::string world;
    std::string name;
    bool enabled = true;
    std::string pattern;
    MatchMode mode = MatchMode::Plain;
    bool caseSensitive = false;
    // Later rules are not tried on a line this one matched.
    bool stopHere = false;

    // Commands sent (a trigger) or the expansion (an alias): lines split at
    // line ends and at ";" ("\;" is a semicolon).
    std::string send;
    Colour colour = Colour::None;
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;
    bool bold = false;
    bool gag = false;
    std::string soundFile;
    bool notify = false;
    std::string statusText;
    Voicing voicing = Voicing::Usual;
    // The voice a spoken line is said in; empty: the one chosen on the Speech page.
    std::string voice;
    // Lua run when the rule fires, after `send`: the match's groups are
    // matches[1]... and named groups by name. Empty: none.
    std::string script;
    // The file an imported rule came from; importing that file again
    // replaces the rules that carry its name. Empty: made by hand.
    std::string source;

    bool appliesTo(const std::string& worldName) const { return world.empty() || world == worldName; }
    friend bool operator==(const Rule&, const Rule&) = default;
};

} // namespace corvane
