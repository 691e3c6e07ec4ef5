#pragma once

#include <string>

namespace corvane {

struct ClientSettings;
class DisplayView;

// Reads the global settings at start-up and applies them to the main window,
// writing defaults back where a value is missing; saves the window's state
// at shut-down.
class Startup {
public:
    // The help page that ships with Corvane, and the address older settings
    // files may still name.
    static constexpr const char* kFormerHelpAddress = "http://www.corvane.net/help.html";

    Startup(ClientSettings& settings, DisplayView& display);

    // Directories, browser, help address and flags.
    void readGlobals(const std::string& currentDirectory, const std::string& helpAddress);
    struct HiddenBars {
        bool commandBar = false;
        bool macroBar = false;
    };
    // Window position, only when RememberWinPos is set; answers which button
    // bars were stored as hidden.
    HiddenBars restoreWindow();
    // The display font from section "Font".
    void readFont();
    // MaxLines against MaxLinesLimit (which must be worked out first).
    void readMaxLines();
    void readColours();

    void saveOnShutdown(bool minimised, bool commandBarShown, bool macroBarShown);

private:
    std::string path() const;
    void fitOntoScreen();

    ClientSettings& m_settings;
    DisplayView& m_display;
};

} // namespace corvane
