#pragma once

namespace corvane {

// The speech keys, anywhere in the main window. Alt+1 ... Alt+9 are the
// User macro buttons', so reading back lives on Ctrl.
enum class SpeechKey {
    // Ctrl pressed alone.
    Silence,
    // F12.
    Toggle,
    // Ctrl+1 ... Ctrl+0, with the line's place (1 ... 10).
    Recent,
    // Ctrl+Shift+Up, Down, Home, End.
    Older,
    Newer,
    Oldest,
    Newest,
};

} // namespace corvane
