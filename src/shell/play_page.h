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
    // The colour of what is sent, as the page shows it until applied.
    std::int32_t sentColour() const { return m_sentColour; }
    void setSentColour(std::int32_t colour);
    // Writes the options changed since the page was loaded or last written.
    void write(const std::string& settingsPath);

private:
    PlayPageView& m_view;
    PlayOptions& m_options;
    Spelling* m_spelling;
    PlayOptions m_written;
    std::int32_t m_sentColour = PlayOptions::kDefaultSentColour;
    // The dictionaries listed and the one shown chosen when the page loaded.
    std::vector<std::string> m_dictionaries;
    std::string m_shownDictionary;
};

} // namespace corvane
