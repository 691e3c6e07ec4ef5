#pragma once

#include "settings/play_options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// The Preferences "Play" page: one check box per play option, and "Check
// spelling in:" with its choices. A click or a choice is reported as the
// dialog's onOptionChanged.
class PlayPageView {
public:
    virtual ~PlayPageView() = default;
    virtual void setOptionCaption(PlayOption option, const std::string& caption) = 0;
    virtual bool isOptionChecked(PlayOption option) const = 0;
    virtual void setOptionChecked(PlayOption option, bool checked) = 0;
    // The swatch of "Colour..." beside "Show what I send in its own colour"
    // (0x00BBGGRR); its press is the dialog's onChangeColour(SentColour).
    virtual void setSentColour(std::int32_t colour) = 0;

    // "Client commands start with:": 0 none, 1 "/", 2 "#".
    virtual void setCommandPrefixChoice(int choice) = 0;
    virtual int commandPrefixChoice() const = 0;

    // "Off" first, then the dictionaries installed.
    virtual void setSpellChoices(const std::vector<std::string>& choices, int selected) = 0;
    virtual int spellChoice() const = 0;
    // Empty: the choice can be used. Otherwise it is disabled and this line says why.
    virtual void setSpellUnavailable(const std::string& reason) = 0;
};

} // namespace corvane
