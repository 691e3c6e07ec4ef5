#pragma once

#include "shell/notice_view.h"

#include <functional>
#include <string>

namespace corvane {

class InputView;
class MainWindowView;
class Sound;

// The one shared notice window, also the about box: sizes it around a titled
// text and hides it again as soon as the user is done with it.
class NoticeWindow : public NoticeEvents {
public:
    NoticeWindow(NoticeView& view, MainWindowView& mainWindow, InputView& input, Sound& sound,
                 std::function<void()> focusMainWindow);
    ~NoticeWindow() override;
    NoticeWindow(const NoticeWindow&) = delete;
    NoticeWindow& operator=(const NoticeWindow&) = delete;

    // Fills and sizes the window without showing it. CR, LF and CR LF each
    // break the text into a new line.
    void ShowNotice(const std::string& title, const std::string& text, bool about);
    // Returns at once; the window stays until the user moves on.
    void show();
    // Help -> "&About".
    void About();

    void onOk() override;
    void onEscape() override;
    void onOtherKey() override;
    void onFocusLost() override;

private:
    int windowWidthFor(int labelWidth);
    void returnFocus();

    NoticeView& m_view;
    MainWindowView& m_mainWindow;
    InputView& m_input;
    Sound& m_sound;
    std::function<void()> m_focusMainWindow;
    int m_windowWidth = 0;
};

} // namespace corvane
