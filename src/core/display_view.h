#pragma once

#include <cstdint>
#include <string>

namespace corvane {

class MainLayoutView;

// The display font (the input box's font, which the output box and the
// history list share), the display colours, and the main window's place on
// the screen. Measures are twips at the screen's logical resolution (15 a
// pixel at 96 dpi). The window's geometry is the whole window, frame included.
class DisplayView {
public:
    struct Font {
        std::string name;
        float size = 9;
        bool bold = false;
        bool italic = false;
    };
    struct Geometry {
        int top = 0;
        int left = 0;
        int height = 0;
        int width = 0;
    };

    virtual ~DisplayView() = default;

    virtual Font inputFont() const = 0;
    // False when no such font can be shown; the font is then unchanged.
    virtual bool setInputFontName(const std::string& name) = 0;
    virtual void setInputFontSize(float size) = 0;
    virtual void setInputFontStyle(bool bold, bool italic) = 0;
    // Colours as stored: 0x00BBGGRR, negative values name system colours.
    virtual std::int32_t inputTextColour() const = 0;
    virtual std::int32_t inputBackColour() const = 0;
    virtual void setDisplayTextColour(std::int32_t colour) = 0;
    virtual void setDisplayBackColour(std::int32_t colour) = 0;
    // The output box and the history list take the input box's font.
    virtual void ApplyDisplaySettings() = 0;

    virtual Geometry windowGeometry() const = 0;
    virtual void setWindowTop(int top) = 0;
    virtual void setWindowLeft(int left) = 0;
    virtual void setWindowHeight(int height) = 0;
    virtual void setWindowWidth(int width) = 0;
    // The size of the screen's area that windows may use.
    virtual int screenHeight() const = 0;
    virtual int screenWidth() const = 0;
    // That area with its place on the desktop, for the screen the window is on.
    virtual Geometry screenArea() const = 0;
    virtual void setBarVisible(bool commandBar, bool visible) = 0;
    // Where the window's parts go.
    virtual MainLayoutView& layoutView() = 0;
};

} // namespace corvane
