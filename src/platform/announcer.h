#pragma once

#include <string>

namespace corvane {

// Tells a screen reader a short message without moving the keyboard focus,
// for players who read Corvane with one rather than with its own speech.
class Announcer {
public:
    virtual ~Announcer() = default;
    virtual void announce(const std::string& text) = 0;
};

} // namespace corvane
