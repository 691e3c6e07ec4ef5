#pragma once

#include "core/input_line.h"
#include "core/main_menu.h"
#include "speech/speech_key.h"

#include <string>

namespace corvane {

// What the user does in the main window; the window forwards each to the rules.
class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void onMenuTriggered(MenuItem item) = 0;
    // Only items without a shortcut may be set here: a shortcut works while
    // its menu is closed.
    virtual void onEditMenuAboutToShow() = 0;
    virtual void onCommandButton(int index) = 0;
    virtual void onMacroButton(int index) = 0;
    // True when the key is consumed.
    virtual bool onInputKey(InputLine::Key key) = 0;
    // A key that can be bound ("KP8", "Ctrl+F9"), pressed in the input line
    // or the output; true when a binding took it.
    virtual bool onBoundKey(const std::string& /*key*/) { return false; }
    virtual void onHistoryToggle() = 0;
    virtual void onHistoryFocusIn() = 0;
    virtual void onHistoryFocusOut() = 0;
    virtual void onHistoryEscape() = 0;
    virtual void onOutputFocusIn() = 0;
    virtual void onOutputFocusOut() = 0;
    virtual void onOutputDoubleClick() = 0;
    // A click on an MXP link in the output: its number in the link store.
    virtual void onOutputLinkClicked(std::uint32_t /*link*/) {}
    // Text became selected in the output box, or the selection went.
    virtual void onOutputSelectionChanged(bool selected) = 0;
    // The output box changed size or font.
    virtual void onOutputGeometryChanged() = 0;
    // A click or double-click on one of the four status labels.
    virtual void onStatusLabelClicked(int label) = 0;
    virtual void onStatusLabelDoubleClicked(int label) = 0;
    // The main window changed size (not by being minimised).
    virtual void onWindowResized() = 0;
    // The main window became the active window.
    virtual void onActivated() = 0;
    // The main window is back from being minimised.
    virtual void onRestored() = 0;
    // The user closes the window; shut-down runs before it goes. False: the
    // player chose to stay (an editor's text was not sent).
    virtual bool onCloseRequested() = 0;
    // A speech key (nth: the line's place for SpeechKey::Recent); true when consumed.
    virtual bool onSpeechKey(SpeechKey /*key*/, int /*nth*/) { return false; }
    // Corvane came to the front, or another program took the keyboard.
    virtual void onApplicationActive(bool /*active*/) {}
};

} // namespace corvane
