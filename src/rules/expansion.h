#pragma once

#include "rules/pattern_matcher.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// A trigger's text with the match filled in: $0 the whole match, $1..$9 its
// groups, ${name} a named group, $$ a dollar sign.
std::string FillTriggerText(std::string_view text, std::string_view subject, const PatternMatch& match,
                            const PatternMatcher& matcher);

// What an alias received: the words after its name, or a regular
// expression's groups, and the rest of the line.
struct AliasArguments {
    std::vector<std::string> numbered; // %1..%9
    std::string rest;                  // %*
};
// An alias's expansion filled in: %1..%9 (or $1..$9), %-1..%-9 the words
// after the first N, %* and %% a percent sign ($$ a dollar sign). An
// expansion that uses none of them gets the rest of the line after its last
// command, so "k" -> "kill" still takes a target.
std::string FillAliasText(std::string_view text, const AliasArguments& arguments);

// Commands of a send box: split at line ends and semicolons ("\;" is a
// semicolon); a final empty piece is dropped.
std::vector<std::string> SplitCommands(std::string_view text);

} // namespace corvane
