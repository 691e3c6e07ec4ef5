#pragma once

#include "settings/play_options.h"

#include <string>

namespace corvane {

// The global settings read at start-up and changed by the preferences dialog.
struct ClientSettings {
    std::string SettingsPath;
    std::string ProgramDir;
    std::string PictureDir;
    std::string BrowserPath;
    std::string HelpAddress;
    bool AutoPictureLoad = true;
    bool NewBrowser = false;
    bool MinBeep = false;
    bool MinMaximize = false;
    bool RememberWinPos = false;
    // Scrolling the output box up reads back the session history in a pane above the live lines.
    int MaxLines = 0;
    int CharsPerLine = 80;
    int MaxLinesLimit = 249;
    int MaxOutputChars = 29800;
    PlayOptions Play;
};

} // namespace corvane
