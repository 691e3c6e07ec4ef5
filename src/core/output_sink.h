#pragma once

#include <string>

namespace corvane {

// Where the client's own notices go: appended at the end of the output window.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Appends the text as it stands; a CR LF inside it starts a new line.
    virtual void ShowOutput(const std::string& text) = 0;
};

} // namespace corvane
