#pragma once

#include <functional>
#include <string>

namespace corvane {

struct Session;
struct ClientSettings;
class OutputView;
class OutputBuffer;
class StatusLine;
class InputView;
class Clipboard;
class MainMenu;

// Rules of the output window: received text is held while the window has the
// focus and shown in order when it loses it; a double-clicked web address is
// opened; the Edit and View menu commands that act on the window.
class OutputWindow {
public:
    struct Hooks {
        std::function<void()> processIncoming;
        std::function<void(const std::string& address)> openInBrowser;
    };

    OutputWindow(Session& session, ClientSettings& settings, OutputView& view, OutputBuffer& buffer,
                 StatusLine& status, InputView& input, Clipboard& clipboard, MainMenu& menu, Hooks hooks);

    void onFocusIn();
    void onFocusOut();
    // position: 1-based index of the double-clicked character in its line.
    void onDoubleClick();

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
    Session& m_session;
    ClientSettings& m_settings;
    OutputView& m_view;
    OutputBuffer& m_buffer;
    StatusLine& m_status;
    InputView& m_input;
    Clipboard& m_clipboard;
    MainMenu& m_menu;
    Hooks m_hooks;
};

} // namespace corvane
