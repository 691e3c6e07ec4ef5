#pragma once

#include "core/main_menu.h"

#include <functional>
#include <string>

namespace corvane {

struct ClientSettings;
class DisplayView;
class MainLayoutView;
class MainWindowView;
class OutputView;

// Lays out the main window: the button bars, the output box, the status
// labels and the input line, above a minimum size; gives the output box and
// the history list the input line's font; keeps the output's line limit
// within what the box can hold.
class MainWindowLayout {
public:
    static constexpr int kMinimumWidth = 9140;

    struct Hooks {
        // Shows the notice window without blocking.
        std::function<void(const std::string& title, const std::string& text)> showNotice;
        // The caption the window shows when nothing asks for attention.
        std::function<std::string()> caption;
        // CharsPerLine, MaxOutputChars or the output width changed.
        std::function<void()> lineLimitsChanged;
    };

    MainWindowLayout(ClientSettings& settings, MainLayoutView& view, DisplayView& display, OutputView& output,
                     MainWindowView& window, MainMenu& menu, Hooks hooks);

    void ArrangeMainWindow();
    void ApplyDisplaySettings();
    // The main window was resized by the user or the system.
    void onResized();
    // View -> "&Command buttons" (ViewCommand) and "&Macro Buttons" (ViewMacro).
    void toggleBar(MenuItem item);
    // Line-limit step of ArrangeMainWindow alone: CharsPerLine, MaxLinesLimit,
    // MaxLines and MaxOutputChars from the output width and the font.
    void updateLineLimit();

    // The output box's width less its margin, as last laid out.
    int OutputWidth() const;
    // Whole characters of the display font that fit OutputWidth.
    int charsPerLine() const;

private:
    ClientSettings& m_settings;
    MainLayoutView& m_view;
    DisplayView& m_display;
    OutputView& m_output;
    MainWindowView& m_window;
    MainMenu& m_menu;
    Hooks m_hooks;
    int m_outputBoxWidth = 0;
};

} // namespace corvane
