#pragma once

#include "core/output_view.h"

#include <string>
#include <string_view>

namespace corvane {

// The watched-for lines as incoming text meets them: which watch a line
// matches and what that watch asks for. The settings keep the watches; the
// line processor only asks.
class LineWatch {
public:
    static constexpr int Slots = 5;

    // The first watch (0 to Slots - 1) the line matches, or -1.
    virtual int match(std::string_view line) const = 0;
    virtual bool popsUp(int slot) const = 0;
    // Empty: no sound.
    virtual const std::string& soundFile(int slot) const = 0;
    virtual TriggerLook look(int slot) const = 0;

protected:
    ~LineWatch() = default;
};

} // namespace corvane
