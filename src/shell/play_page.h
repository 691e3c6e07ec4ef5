#pragma once

#include "settings/play_options.h"

#include <string>
#include <vector>

namespace corvane {

class PlayPageView;
class Spelling;

// The rules of the Preferences "Play" page, the pattern for a page of
// options: it shows the options the client runs with, hands the ticked ones
// back on OK or Apply, and writes them when the change is made permanent.
class PlayPage {
public:
    // Without spelling (a build without the spell checker) the choice is disabled.
    PlayPage(PlayPageView& view, PlayOptions& options, Spelling* spelling = nullptr);
    void load();
    // Returns why the chosen dictionary could not be put in use, or empty.
    std::string apply();
    void write(const std::string& settingsPath) const;

private:
    PlayPageView& m_view;
    PlayOptions& m_options;
    Spelling* m_spelling;
    // The dictionaries listed and the one shown chosen when the page loaded.
    std::vector<std::string> m_dictionaries;
    std::string m_shownDictionary;
};

} // namespace corvane
