#pragma once

#include "speech/speech_settings.h"

#include <string>
#include <vector>

namespace corvane {

class SpeechPageView;
class SpeechPresenter;

// The rules of the Preferences "Speech" page: the choices the running speech
// is set with, handed to it on OK or Apply, and only those changed since the
// page opened written to the settings file.
class SpeechPage {
public:
    // Without speech (a client given no engine) the page says so and is disabled.
    SpeechPage(SpeechPageView& view, SpeechPresenter* speech);
    void load();
    void apply();
    void write(const std::string& settingsPath);

    static constexpr const char* kNoEngine = "This copy of Corvane was built without speech.";

private:
    SpeechPageView& m_view;
    SpeechPresenter* m_speech;
    SpeechSettings m_settings;
    SpeechSettings m_written;
    // The voice ids in the order the page lists them, after the engine's own.
    std::vector<std::string> m_voiceIds;
};

} // namespace corvane
