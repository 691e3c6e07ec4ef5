#pragma once

#include "spell/word_span.h"

#include <string_view>
#include <vector>

namespace corvane {

// The words of a typed line worth looking up in a dictionary. What players
// type is prose mixed with commands, so a token that starts like a command
// (@desc, +finger, /quit), an address, a file or host name, and a word with
// a digit, an underscore or a capital after its first letter (ROFL, iPhone)
// are left alone; so is a single letter.
std::vector<WordSpan> CheckableWords(std::string_view line);

} // namespace corvane
