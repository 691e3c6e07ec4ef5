#pragma once

#include <string>

namespace corvane {

// Character passwords are kept in the settings file in a reversible scrambled
// form so that they are not readable at a glance; it is no protection.

inline constexpr int kUnscramble = 0;
inline constexpr int kScramble = 1;

// Mode 1 scrambles a password for storing, mode 0 unscrambles a stored one
// (any other mode unscrambles). Works on Windows-1252 codes; a character
// without one counts as "?".
std::string ScrambleText(int mode, const std::string& text);

// True when the password comes back unchanged from scrambling and
// unscrambling, which clears the top bit of every code.
bool CanStorePassword(const std::string& password);

} // namespace corvane
