#pragma once

#include <string>

namespace corvane {

// What the user does in the notice window.
class NoticeEvents {
public:
    virtual ~NoticeEvents() = default;
    // "&OK" clicked or Enter pressed.
    virtual void onOk() = 0;
    virtual void onEscape() = 0;
    // Any other key on the button.
    virtual void onOtherKey() = 0;
    // The button or the window lost the keyboard focus.
    virtual void onFocusLost() = 0;
};

// The about box and notice window (HelpForm). All measures are twips (15 a pixel).
class NoticeView {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };
    virtual ~NoticeView() = default;
    virtual void setEvents(NoticeEvents* events) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // Puts the text into the label and answers its wrapped size when it is at
    // least minWidth wide (it widens for long words, up to the screen).
    virtual Size setText(const std::string& text, int minWidth) = 0;
    // Centred lines for the about box; a notice reads from the left.
    virtual void setTextCentred(bool centred) = 0;
    virtual int buttonHeight() const = 0;
    virtual int buttonWidth() const = 0;
    virtual int creditWidth() const = 0;
    virtual void setWindowSize(int width, int height) = 0;
    virtual void placeLabel(int left, int top, int width, int height) = 0;
    virtual void placeButton(int left, int top) = 0;
    virtual void placeCredit(int left, int top) = 0;
    virtual void setCreditVisible(bool visible) = 0;
    // Modeless: returns at once. Only a window the player asked for takes the
    // keyboard; a notice that comes by itself leaves it with the input line.
    virtual void showWindow(bool takeFocus) = 0;
    virtual void hideWindow() = 0;
    virtual void destroyWindow() = 0;
    virtual bool isShown() const = 0;
};

} // namespace corvane
