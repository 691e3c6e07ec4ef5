#pragma once

#include <string>
#include <vector>

namespace corvane {

// Turns the line the player typed into the lines that are sent, before any
// of them is sent, recorded or logged.
class TypedLineExpander {
public:
    virtual ~TypedLineExpander() = default;
    virtual std::vector<std::string> expand(const std::string& typed) = 0;
};

} // namespace corvane
