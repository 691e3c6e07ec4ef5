#pragma once

#include <string>
#include <vector>

namespace corvane {

// The Preferences "Speech" page. A click, a choice or a moved slider is
// reported as the dialog's onOptionChanged.
class SpeechPageView {
public:
    enum Box {
        SpeakIncoming,
        // Of the pair "Only while Corvane is in the background" / "Always".
        OnlyInBackground,
        SpeakSent,
        SpeakConversations,
        BoxCount
    };
    // Rate and pitch from -1 through 0 (the engine's usual) to 1; volume 0 to 1.
    enum Level { Rate, Pitch, Volume, LevelCount };

    virtual ~SpeechPageView() = default;
    virtual void setChecked(Box box, bool checked) = 0;
    virtual bool checked(Box box) const = 0;
    // The engine's own voice first, then those it offers.
    virtual void setVoices(const std::vector<std::string>& names, int selected) = 0;
    virtual int voiceChoice() const = 0;
    virtual void setLevel(Level level, double value) = 0;
    virtual double level(Level level) const = 0;
    // Empty: the page can be used. Otherwise every control on it is disabled
    // and this one line says why.
    virtual void setUnavailable(const std::string& reason) = 0;
};

} // namespace corvane
