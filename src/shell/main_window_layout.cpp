#include "shell/main_window_layout.h"

#include "core/constants.h"
#include "core/display_view.h"
#include "core/main_window_view.h"
#include "core/output_view.h"
#include "settings/client_settings.h"
#include "shell/main_layout_view.h"

#include <algorithm>

namespace corvane {

namespace {

// The designed numbers, in twips of the whole window.
constexpr int kMinimumHeightAboveInput = 1920;
constexpr int kInputWidthMargin = 700;
constexpr int kInputBottomMargin = 810;
constexpr int kBarRow = 360;
constexpr int kOutputWidthMargin = 365;
constexpr int kOutputBottomMargin = 360;
constexpr int kStatusAboveInput = 300;
// The output box's own margin, in twips.
constexpr int kOutputMargin = 375;

const std::string kProgramCaption = "CORVane " + std::string(VersionText);
const std::string kNoticeTitle = "Corvane ver. " + std::string(VersionText);

} // namespace

MainWindowLayout::MainWindowLayout(ClientSettings& settings, MainLayoutView& view, DisplayView& display,
                                   OutputView& output, MainWindowView& window, MainMenu& menu, Hooks hooks)
    : m_settings(settings)
    , m_view(view)
    , m_display(display)
    , m_output(output)
    , m_window(window)
    , m_menu(menu)
    , m_hooks(std::move(hooks)) {}

void MainWindowLayout::onResized() {
    if (m_window.isMinimised()) {
        return;
    }
    // Only the ">>Corvane" of text received while minimised gives way: the
    // world and character stay, so two windows still tell apart.
    if (m_window.activityIcon()) {
        m_window.setActivityIcon(false);
        m_window.setCaption(m_hooks.caption ? m_hooks.caption() : std::string(kProgramCaption));
    }
    ArrangeMainWindow();
}

void MainWindowLayout::ArrangeMainWindow() {
    // A screen smaller than the designed minimum (a small laptop at 200%)
    // gets a window as large as it is, never a larger one.
    const MainLayoutView::Size minimum{
        std::min(kMinimumWidth, m_display.screenWidth()),
        std::min(m_view.inputHeight() + kMinimumHeightAboveInput, m_display.screenHeight())};
    m_view.setMinimumWindowSize(minimum);
    MainLayoutView::Size window = m_view.windowSize();
    const MainLayoutView::Size wanted{std::max(window.width, minimum.width),
                                      std::max(window.height, minimum.height)};
    if (!(wanted == window)) {
        m_view.setWindowSize(wanted);
        window = wanted;
    }

    const int inputTop = window.height - m_view.inputHeight() - kInputBottomMargin;
    m_view.placeInput(inputTop, std::max(window.width - kInputWidthMargin, 0));

    const bool commandBar = m_menu.checked(MenuItem::ViewCommand);
    const bool macroBar = m_menu.checked(MenuItem::ViewMacro);
    const int outputTop = (commandBar ? kBarRow : 0) + (macroBar ? kBarRow : 0);
    m_outputBoxWidth = std::max(window.width - kOutputWidthMargin, 0);
    if (commandBar) {
        m_view.placeBar(true, 0, m_outputBoxWidth);
    }
    if (macroBar) {
        m_view.placeBar(false, commandBar ? kBarRow : 0, m_outputBoxWidth);
    }
    m_view.placeOutput(outputTop, m_outputBoxWidth, std::max(inputTop - outputTop - kOutputBottomMargin, 0));
    m_view.placeStatusLabels(inputTop - kStatusAboveInput, m_outputBoxWidth);

    updateLineLimit();
    // The newest text stays in view however the box changed.
    m_output.endUpdate();
}

int MainWindowLayout::OutputWidth() const {
    const int box = m_outputBoxWidth > 0 ? m_outputBoxWidth : m_view.windowSize().width - kOutputWidthMargin;
    return std::max(box - kOutputMargin, 1);
}

int MainWindowLayout::charsPerLine() const {
    // The display font's "i": the output box shows that font, and in the
    // fixed-pitch fonts it is meant for every letter is as wide.
    const int widthOfI = std::max(m_output.characterWidth(U'i'), 1);
    // A box too narrow for one character still keeps one per row.
    return std::max(OutputWidth() / widthOfI, 1);
}

void MainWindowLayout::updateLineLimit() {
    m_settings.CharsPerLine = charsPerLine();
    m_settings.MaxLinesLimit = std::max(20000 / m_settings.CharsPerLine - 1, 1);
    if (m_settings.MaxLines <= 0) {
        // Not read from the settings yet.
        m_settings.MaxLines = m_settings.MaxLinesLimit;
    } else if (m_settings.MaxLines > m_settings.MaxLinesLimit) {
        m_settings.MaxLines = m_settings.MaxLinesLimit;
        if (m_hooks.showNotice) {
            m_hooks.showNotice(kNoticeTitle,
                               "Maximum lines re-adjusted to " + std::to_string(m_settings.MaxLines));
        }
    }
    const long long product = static_cast<long long>(m_settings.CharsPerLine) * m_settings.MaxLines;
    m_settings.MaxOutputChars = product > 32000 ? 29800 : static_cast<int>(product);
    if (m_hooks.lineLimitsChanged) {
        m_hooks.lineLimitsChanged();
    }
}

void MainWindowLayout::ApplyDisplaySettings() {
    m_display.ApplyDisplaySettings();
    m_view.setInputHeight(m_view.displayTextHeight());
    m_output.endUpdate();
}

void MainWindowLayout::toggleBar(MenuItem item) {
    const bool show = !m_menu.checked(item);
    m_menu.setChecked(item, show);
    m_display.setBarVisible(item == MenuItem::ViewCommand, show);
    ArrangeMainWindow();
}

} // namespace corvane
