#pragma once

#include "core/text_line.h"

namespace corvane {

// Lays a trigger's colours over a stretch of a line: its text colour,
// background and bold replace the server's where set; the server's other
// styles stay.
void OverlayStyle(TextLine& line, std::size_t start, std::size_t length, const TextStyle& over);

} // namespace corvane
