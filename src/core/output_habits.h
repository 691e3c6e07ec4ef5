#pragma once

namespace corvane {

// The preferences the output side reads as lines arrive. The settings keep
// them with the rest of the preferences; the core sees only these.
struct OutputHabits {
    bool MinBeep = false;
    bool MinMaximize = false;
    int CharsPerLine = 80;
    int MaxOutputChars = 29800;
};

} // namespace corvane
