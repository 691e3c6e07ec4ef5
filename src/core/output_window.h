#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

struct Session;
struct OutputHabits;
class OutputView;
class OutputBuffer;
class StatusLine;
class InputView;
class Clipboard;
class MainMenu;

// Rules of the output window: received text is held while the window has the
// focus (or, as the player may choose, while text is selected in it) and
// shown in order when it loses it, with a bar in the box saying so; a double-clicked web address is
// opened; the Edit and View menu commands that act on the window.
class OutputWindow {
public:
    struct Hooks {
        // The output goes on: what was held is read.
        std::function<void()> processIncoming;
        std::function<void(const std::string& address)> openInBrowser;
        // Only a selection, not a click, pauses the text.
        std::function<bool()> pauseOnlySelecting;
        // Lines held since the output was paused.
        std::function<std::size_t()> heldLines = {};
    };

    OutputWindow(Session& session, const OutputHabits& settings, OutputView& view, OutputBuffer& buffer,
                 StatusLine& status, InputView& input, Clipboard& clipboard, MainMenu& menu, Hooks hooks);

    void onFocusIn();
    void onFocusOut();
    // Text was selected in the box, or the selection went.
    void onSelectionChanged(bool selected);
    // Received text was held because the output is paused.
    void textHeld(std::string_view bytes);
    // The bar's words for `lines` held lines.
    static std::string PauseBarText(std::size_t lines);
    // position: 1-based index of the double-clicked character in its line.
    void onDoubleClick();
    // An MXP link was clicked: like a double-clicked address, the click that
    // paused the output is over and the keyboard goes back to the input line.
    void onLinkClicked();

    void onEditMenuAboutToShow();
    void EditCopy();
    void EditPaste();
    void EditClear();
    void EditSelectAll();
    void ViewClear();
    void ViewRefresh();

    // Hands the line limits (CharsPerLine, MaxOutputChars, worked out by the
    // window's layout) and the usable output width to the trimming.
    void updateGeometry(int outputWidth);

private:
    bool pauseOnlySelecting() const { return m_hooks.pauseOnlySelecting && m_hooks.pauseOnlySelecting(); }
    void pause();
    void resume();
    std::size_t heldLines() const;

    bool m_focused = false;
    // Lines held since the pause began (counted as they come, not re-read).
    std::size_t m_heldLines = 0;
    Session& m_session;
    const OutputHabits& m_settings;
    OutputView& m_view;
    OutputBuffer& m_buffer;
    StatusLine& m_status;
    InputView& m_input;
    Clipboard& m_clipboard;
    MainMenu& m_menu;
    Hooks m_hooks;
};

} // namespace corvane
