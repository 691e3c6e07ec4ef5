#pragma once

#include "core/text_line.h"

#include <string_view>

namespace corvane {

// Sees each received line on its way to the output window, after the
// client's own handling of markers and listings: it may restyle the line, or
// keep it from the window by answering false. An unfinished tail (a prompt
// without its line end) comes with line.complete false.
class ShownLineFilter {
public:
    virtual ~ShownLineFilter() = default;
    virtual bool offerLine(TextLine& line) = 0;
    // The end of each read, with the text of the line still open that has
    // not been shown (a prompt waiting for its line end).
    virtual void readEnded(std::string_view unshown) = 0;
};

} // namespace corvane
