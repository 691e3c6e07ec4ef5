#pragma once

#include "core/rgb.h"
#include "core/text_line.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class MxpLinks;
class SessionHistory;

// The font and colour a matched trigger gives its whole line.
struct TriggerLook {
    std::string fontName;
    float fontSize = 0;
    bool bold = false;
    bool italic = false;
    Rgb colour;
    friend bool operator==(const TriggerLook&, const TriggerLook&) = default;
};

// A styled stretch of a shown line; `look` is an index into the window's
// trigger looks, or -1 for the server's own style.
struct OutputSpan {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    TextStyle style;
    int look = -1;
};

// The output window (Text2) as the rules see it. Changes come in batches:
// the rules work out the end state of a whole chunk of received lines and the
// view applies it in one go.
class OutputView {
public:
    virtual ~OutputView() = default;

    // Drops `lines` whole lines from the top, then `characters` characters
    // (code points) from the start of the line that is then first.
    virtual void trimFront(int lines, int characters) = 0;
    virtual void clearText() = 0;
    // Appends text without line breaks at the end of the last line.
    virtual void appendText(std::string_view utf8, const std::vector<OutputSpan>& spans,
                            const std::vector<TriggerLook>& looks) = 0;
    virtual void appendLineBreak() = 0;
    // The batch is complete: keep the newest text in view and repaint.
    virtual void endUpdate() = 0;
    // True when the view should be cleared and given all kept text again at
    // the next batch (it holds state that only a fresh start lets go of).
    virtual bool wantsRebuild() const { return false; }
    virtual void repaint() = 0;
    // The history a scrollback pane reads back from when the box is scrolled
    // up, or none for a box that scrolls only through what it holds.
    virtual void setScrollback(const SessionHistory*) {}
    // The store the MXP link numbers in the text name: a number it no longer
    // keeps is shown as plain text where the view can tell.
    virtual void setLinks(const MxpLinks*) {}

    // Geometry in twips (15 a pixel): the width lines wrap at, less the margin.
    virtual int outputWidth() const = 0;
    virtual int characterWidth(char32_t character) const = 0;
    // How many rows of text the box shows at once.
    virtual int visibleRows() const = 0;

    virtual bool hasSelection() const = 0;
    virtual std::string selectedText() const = 0;
    virtual void collapseSelection() = 0;
    virtual void selectAll() = 0;
    virtual void focusOutput() = 0;
    // The bar along the bottom of the box that says the output is paused;
    // empty hides it.
    virtual void setPauseBar(const std::string& text) = 0;
    // The text of the line under the caret and the caret's offset in it
    // (code points), for finding the word that was double-clicked.
    virtual std::string caretLine(int& caretOffset) const = 0;
    // Shows the captions as a menu where the pointer is and waits: the index
    // picked, or -1 when the menu was closed without a pick.
    virtual int chooseFromMenu(const std::vector<std::string>& /*captions*/) { return -1; }
};

} // namespace corvane
