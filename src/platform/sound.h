#pragma once

#include <string>

namespace corvane {

// The system bell and fire-and-forget WAV playback.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void beep() = 0;
    // Plays asynchronously. A missing or unplayable file, or no audio device,
    // gives silence and no message.
    virtual void playWave(const std::string& path) = 0;
};

} // namespace corvane
