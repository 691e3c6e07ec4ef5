#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Numbers in the settings file are decimal text written with a sign position
// and read back leniently, so that hand-edited or foreign values never stop
// the client.

// The numeric prefix of text: leading blanks and tabs skipped, an optional
// sign, digits with an optional decimal point, an optional exponent (E or D).
// Text without such a prefix is 0.
double NumericValue(std::string_view text);

// " 219", " 9.5", "-5": a blank stands where a negative number has its sign.
std::string FormatNumber(double value);

// "219", "9.5", "-5": the same digits without the sign position.
std::string FormatPlain(double value);

} // namespace corvane
