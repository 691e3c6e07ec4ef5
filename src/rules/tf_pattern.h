#pragma once

#include "rules/rule.h"

#include <string>

namespace corvane::tf_pattern {

// A TinyFugue trigger's pattern and attributes, as a rule's. False, with
// `why` set, where a part has no counterpart.

// Attributes: g gags, B and h embolden, C colours; others have no
// counterpart and are reported.
bool tfAttributes(const std::string& attributes, Rule& rule, std::string& why);

// The pattern in tf's matching style (glob, simple or regexp) as a regular
// expression.
bool tfPattern(const std::string& pattern, const std::string& matching, Rule& rule, std::string& why);

} // namespace corvane::tf_pattern
