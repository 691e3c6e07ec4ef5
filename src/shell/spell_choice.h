#pragma once

#include <string>
#include <vector>

namespace corvane {

class Spelling;
struct PlayOptions;

// What "Check spelling in:" says when the list would be empty.
inline constexpr const char* kNoDictionaryInstalled =
    "No spelling dictionary is installed. To check spelling, install one, for English with "
    "\"sudo apt install hunspell-en-us\", then open Preferences again.";

// The dictionary the input lines are checked in ("" for none), from the
// SpellCheck setting: "Off"; a dictionary's name, when it is installed; or,
// never chosen, the one of the system's language (de_DE.UTF-8 takes de_DE,
// else another de_*), else en_US, else the first English one, else the
// first installed, so checking is on wherever a dictionary is installed.
std::string ChosenDictionary(const std::string& setting, const std::vector<std::string>& installed,
                             const std::string& systemLanguage);

// Puts the chosen dictionary in use; returns why it could not be, or empty.
std::string ApplySpellChoice(const PlayOptions& options, Spelling& spelling);

} // namespace corvane
