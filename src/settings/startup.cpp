#include "settings/startup.h"

#include "core/display_view.h"
#include "core/number_text.h"
#include "core/text_codec.h"
#include "settings/client_settings.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace corvane {

namespace {

constexpr const char* kMain = "Corvane";
constexpr const char* kMain2 = "Corvane2";
constexpr const char* kFont = "Font";

// Window measures are whole twips; anything else in the file is read as 0.
int twips(double value) {
    if (!std::isfinite(value) || std::abs(value) > 1e9) {
        return 0;
    }
    return static_cast<int>(std::lround(value));
}

// Colours are 32-bit values; system colours are negative.
std::int32_t colourValue(double value) {
    if (!std::isfinite(value) || value < -2147483648.0 || value > 2147483647.0) {
        return 0;
    }
    return static_cast<std::int32_t>(std::llround(value));
}

std::string withSeparator(std::string directory) {
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (directory.empty() || directory.back() != separator) {
        directory += separator;
    }
    return directory;
}

} // namespace

Startup::Startup(ClientSettings& settings, DisplayView& display)
    : m_settings(settings)
    , m_display(display) {}

std::string Startup::path() const {
    return m_settings.SettingsPath;
}

void Startup::readGlobals(const std::string& currentDirectory, const std::string& helpAddress) {
    const auto directory = [&](const char* key) {
        std::string value = ReadSetting(kMain, key, path());
        if (value.empty()) {
            value = currentDirectory;
            WriteSetting(kMain, key, value, path());
        }
        return withSeparator(value);
    };
    m_settings.ProgramDir = directory("ProgramPath");
    m_settings.PictureDir = directory("PicturePath");
    m_settings.BrowserPath = ReadSetting(kMain, "Browser", path());
    std::string help = ReadSetting(kMain2, "HelpURL", path());
    if (help.empty() || help == kFormerHelpAddress) {
        help = helpAddress;
        WriteSetting(kMain2, "HelpURL", help, path());
    }
    m_settings.HelpAddress = help;
    m_settings.AutoPictureLoad = ReadFlag(kMain, "AutoPictureLoad", path());
    m_settings.NewBrowser = ReadFlag(kMain, "NewBrowser", path());
    m_settings.Play = ReadPlayOptions(path());
    m_settings.MinBeep = ReadFlag(kMain, "MinBeep", path());
    m_settings.MinMaximize = ReadFlag(kMain, "MinMaximize", path());
    m_settings.RememberWinPos = ReadFlag(kMain, "RememberWinPos", path());
}

Startup::HiddenBars Startup::restoreWindow() {
    if (!m_settings.RememberWinPos) {
        return {};
    }
    const auto value = [&](const char* key) { return ToLowerAscii(ReadSetting(kMain, key, path())); };
    // Positions are kept in plain integers: a wide screen runs past what a
    // 16-bit number holds.
    if (const std::string top = value("Top"); !top.empty()) {
        int t = std::max(twips(NumericValue(top)), 1);
        if (t > m_display.screenHeight()) {
            t = 1;
        }
        m_display.setWindowTop(t);
    }
    if (const std::string left = value("Left"); !left.empty()) {
        int l = std::max(twips(NumericValue(left)), 1);
        if (l > m_display.screenWidth()) {
            l = 1;
        }
        m_display.setWindowLeft(l);
    }
    if (const std::string height = value("Height"); !height.empty()) {
        m_display.setWindowHeight(std::min(twips(NumericValue(height)), m_display.screenHeight()));
    }
    if (const std::string width = value("Width"); !width.empty()) {
        m_display.setWindowWidth(std::min(twips(NumericValue(width)), m_display.screenWidth()));
    }
    fitOntoScreen();
    return HiddenBars{value("ViewCommand") == "false", value("ViewMacro") == "false"};
}

void Startup::fitOntoScreen() {
    // A position kept from a screen that is gone (a monitor unplugged, a
    // smaller resolution) would open the window where nobody sees it: the
    // whole window comes back onto the screen, as near as it can. A pixel
    // over the edge is left alone: the clamps above leave a window one twip
    // below the top.
    constexpr int kSlack = 15;
    const DisplayView::Geometry area = m_display.screenArea();
    if (area.width <= 0 || area.height <= 0) {
        return;
    }
    const DisplayView::Geometry window = m_display.windowGeometry();
    const auto fit = [&](int start, int size, int areaStart, int areaSize) {
        if (start + size > areaStart + areaSize + kSlack) {
            start = areaStart + areaSize - size;
        }
        return start < areaStart - kSlack ? areaStart : start;
    };
    const int width = std::min(window.width, area.width);
    const int height = std::min(window.height, area.height);
    const int left = fit(window.left, width, area.left, area.width);
    const int top = fit(window.top, height, area.top, area.height);
    if (width != window.width) {
        m_display.setWindowWidth(width);
    }
    if (height != window.height) {
        m_display.setWindowHeight(height);
    }
    if (left != window.left) {
        m_display.setWindowLeft(left);
    }
    if (top != window.top) {
        m_display.setWindowTop(top);
    }
}

void Startup::readFont() {
    const DisplayView::Font current = m_display.inputFont();
    const std::string name = ReadSetting(kFont, "FontName", path());
    if (!m_display.setInputFontName(name)) {
        WriteSetting(kFont, "FontName", current.name, path());
    }
    const double size = NumericValue(ReadSetting(kFont, "FontSize", path()));
    if (size > 0) {
        m_display.setInputFontSize(static_cast<float>(size));
    } else {
        WriteSetting(kFont, "FontSize", FormatNumber(current.size), path());
    }
    const bool bold = ReadFlag(kFont, "FontBold", path());
    const bool italic = ReadFlag(kFont, "FontItalic", path());
    m_display.setInputFontStyle(bold, italic);
}

void Startup::readMaxLines() {
    const double stored = NumericValue(ReadSetting(kFont, "MaxLines", path()));
    int lines = std::isfinite(stored) && std::abs(stored) < 1e9 ? static_cast<int>(stored) : 0;
    if (lines < 16 || lines > m_settings.MaxLinesLimit) {
        lines = m_settings.MaxLinesLimit;
        WriteSetting(kFont, "MaxLines", FormatNumber(lines), path());
    }
    m_settings.MaxLines = lines;
}

void Startup::readColours() {
    const std::string fore = ReadSetting(kFont, "ForeColor", path());
    if (!fore.empty()) {
        m_display.setDisplayTextColour(colourValue(NumericValue(fore)));
    } else {
        WriteSetting(kFont, "ForeColor", FormatNumber(m_display.inputTextColour()), path());
    }
    const std::string back = ReadSetting(kFont, "BackColor", path());
    if (!back.empty()) {
        m_display.setDisplayBackColour(colourValue(NumericValue(back)));
    } else {
        WriteSetting(kFont, "BackColor", FormatNumber(m_display.inputBackColour()), path());
    }
}

void Startup::saveOnShutdown(bool minimised, bool commandBarShown, bool macroBarShown) {
    if (m_settings.RememberWinPos && !minimised) {
        const DisplayView::Geometry geometry = m_display.windowGeometry();
        WriteSetting(kMain, "Top", FormatNumber(geometry.top), path());
        WriteSetting(kMain, "Left", FormatNumber(geometry.left), path());
        WriteSetting(kMain, "Height", FormatNumber(geometry.height), path());
        WriteSetting(kMain, "Width", FormatNumber(geometry.width), path());
    }
    WriteSetting(kMain, "ViewCommand", commandBarShown ? "True" : "False", path());
    WriteSetting(kMain, "ViewMacro", macroBarShown ? "True" : "False", path());
}

} // namespace corvane
