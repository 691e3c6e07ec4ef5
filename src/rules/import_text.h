#pragma once

#include "rules/rule.h"

#include <optional>
#include <string>

namespace corvane::import_text {

// Small text helpers the importers of other clients' files share.
std::string lower(std::string text);
std::string trim(const std::string& text);
bool startsWith(const std::string& text, const std::string& prefix);
// One character as a regular expression matches it.
std::string escapeRegex(char c);
// The command as a report names it: its first 60 characters.
std::string shortened(const std::string& command);
// One of the 256 colours of xterm: 16 named, a 6x6x6 cube, 24 greys.
Rgb xtermColour(int index);
// A colour by the name both clients use ("light red", "grey").
std::optional<Rgb> namedColour(const std::string& name);

} // namespace corvane::import_text
