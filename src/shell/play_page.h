#pragma once

#include "settings/play_options.h"

#include <string>

namespace corvane {

class PlayPageView;

// The rules of the Preferences "Play" page, the pattern for a page of
// options: it shows the options the client runs with, hands the ticked ones
// back on OK or Apply, and writes them when the change is made permanent.
class PlayPage {
public:
    PlayPage(PlayPageView& view, PlayOptions& options);
    void load();
    void apply();
    void write(const std::string& settingsPath) const;

private:
    PlayPageView& m_view;
    PlayOptions& m_options;
};

} // namespace corvane
