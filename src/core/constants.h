#pragma once

#include <string_view>

namespace corvane {

#ifndef CORVANE_VERSION_TEXT
#define CORVANE_VERSION_TEXT "2.1"
#endif

inline constexpr std::string_view VersionText = CORVANE_VERSION_TEXT;
// Typed commands, macro lines, the login set-up and the keep-alive end with
// CR LF; the fixed bar and pad commands end with a bare line feed.
inline constexpr std::string_view NewLine = "\r\n";
inline constexpr std::string_view LineFeed = "\n";

} // namespace corvane
