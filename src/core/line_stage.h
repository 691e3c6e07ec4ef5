#pragma once

#include <string>
#include <string_view>

namespace corvane {

// A stage that sees each complete received line before the classifier, the
// triggers, the log and the output do, and may take it out of the stream.
class LineStage {
public:
    virtual ~LineStage() = default;
    // A complete line; false when it goes no further. The stage may rewrite it.
    virtual bool passLine(std::string& text) = 0;
    // An unfinished line the stage wants whole before anything shows it.
    virtual bool holdsTail(std::string_view text) const = 0;
    // A piece cut from an over-long line: true when the stage keeps it, to be
    // joined to the rest when the line ends.
    virtual bool keepsPiece(std::string_view piece) = 0;
};

} // namespace corvane
