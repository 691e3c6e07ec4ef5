#pragma once

#include "platform/sound.h"

#include <memory>

class QSoundEffect;

namespace corvane {

// The bell and WAV playback through Qt Multimedia.
class QtSound : public Sound {
public:
    QtSound();
    ~QtSound() override;
    void beep() override;
    void playWave(const std::string& path) override;

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace corvane
