#pragma once

#include <string>
#include <string_view>

namespace corvane {

// A character that may be part of a web address: codes 33 to 127 except the
// double quote, in the Windows-1252 reading (anything above is not).
bool IsUrlChar(char32_t character);

// The word around the character at `position` (1-based) of a line, grown in
// both directions over address characters; empty when there is none.
std::string WebWordAt(std::u32string_view line, std::size_t position);

// True when the word names an address with one of the schemes a browser
// opens ("http:", "https:", "ftp:", "telnet:", "mailto:", "gopher:", "news:") before "://".
bool IsWebAddress(std::string_view word);

} // namespace corvane
