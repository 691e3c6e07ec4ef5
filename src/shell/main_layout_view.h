#pragma once

namespace corvane {

// Where the main window's parts go, for ArrangeMainWindow. Measures are
// twips at the screen's logical resolution (15 a pixel at 96 dpi). The
// window's size is that of the whole window, frame included, the way the
// designed numbers count it; the parts are placed inside its frame, left
// edges and the parts' inner layout being the view's own.
class MainLayoutView {
public:
    struct Size {
        int width = 0;
        int height = 0;
        friend bool operator==(const Size&, const Size&) = default;
    };

    virtual ~MainLayoutView() = default;
    virtual Size windowSize() const = 0;
    virtual void setWindowSize(Size size) = 0;
    // The user cannot drag the window smaller than this.
    virtual void setMinimumWindowSize(Size size) = 0;
    // The height a one-line box needs to show the display font's "A".
    virtual int displayTextHeight() const = 0;
    virtual int inputHeight() const = 0;
    virtual void setInputHeight(int height) = 0;
    // The input line; the history button stands right of it and the history
    // list opens just above it.
    virtual void placeInput(int top, int width) = 0;
    // One row of nine buttons.
    virtual void placeBar(bool commandBar, int top, int width) = 0;
    virtual void placeOutput(int top, int width, int height) = 0;
    virtual void placeStatusLabels(int top, int width) = 0;
};

} // namespace corvane
