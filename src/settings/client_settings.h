#pragma once

#include "core/output_habits.h"
#include "settings/play_options.h"

#include <string>

namespace corvane {

// The global settings read at start-up and changed by the preferences dialog.
struct ClientSettings : OutputHabits {
    std::string SettingsPath;
    std::string ProgramDir;
    std::string PictureDir;
    std::string BrowserPath;
    std::string HelpAddress;
    bool AutoPictureLoad = true;
    bool NewBrowser = false;
    bool RememberWinPos = false;
    // Scrolling the output box up reads back the session history in a pane above the live lines.
    int MaxLines = 0;
    int MaxLinesLimit = 249;
    PlayOptions Play;
};

} // namespace corvane
