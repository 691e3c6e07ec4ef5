#include "shell/notice_window.h"

#include "core/constants.h"
#include "core/input_view.h"
#include "core/main_window_view.h"
#include "platform/sound.h"

#include <algorithm>
#include <utility>

namespace corvane {

namespace {

constexpr const char* kAboutCaption = "About Corvane";
constexpr int kMinLabelWidth = 3025;
constexpr int kMinLabelHeight = 480;
constexpr int kSideMargins = 1200;
// Up to this label width the window always fits the label snugly.
constexpr int kSnugLabelWidth = 4225;
// The credit line sits at H + 150, so the label must start above that.
constexpr int kLabelTop = 120;
constexpr int kAboutCreditGap = 150;
constexpr int kAboutButtonGap = 650;
constexpr int kAboutExtraHeight = 1200;
constexpr int kNoticeButtonGap = 350;
constexpr int kNoticeExtraHeight = 900;

// Callers build texts with CR LF, and server text may carry a bare CR or LF;
// every one of them is a single break.
std::string withLineFeeds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

NoticeWindow::NoticeWindow(NoticeView& view, MainWindowView& mainWindow, InputView& input, Sound& sound,
                           std::function<void()> focusMainWindow)
    : m_view(view)
    , m_mainWindow(mainWindow)
    , m_input(input)
    , m_sound(sound)
    , m_focusMainWindow(std::move(focusMainWindow)) {
    m_view.setEvents(this);
}

NoticeWindow::~NoticeWindow() {
    m_view.setEvents(nullptr);
}

void NoticeWindow::ShowNotice(const std::string& title, const std::string& text, bool about) {
    m_view.setCaption(title.empty() ? kAboutCaption : title);
    m_view.setTextCentred(about);
    const NoticeView::Size label = m_view.setText(withLineFeeds(text), kMinLabelWidth);
    const int labelWidth = std::max(label.width, kMinLabelWidth);
    const int width = windowWidthFor(labelWidth);
    const int h = std::max(label.height, kMinLabelHeight);
    const int buttonHeight = m_view.buttonHeight();

    int buttonTop = 0;
    if (about) {
        m_view.setWindowSize(width, buttonHeight + h + kAboutExtraHeight);
        buttonTop = h + kAboutButtonGap;
        m_view.placeCredit((width - m_view.creditWidth()) / 2, h + kAboutCreditGap);
    } else {
        m_view.setWindowSize(width, buttonHeight + h + kNoticeExtraHeight);
        buttonTop = h + kNoticeButtonGap;
    }
    m_view.setCreditVisible(about);
    m_view.placeLabel((width - labelWidth) / 2, kLabelTop, labelWidth, h);
    m_view.placeButton((width - m_view.buttonWidth()) / 2, buttonTop);
}

int NoticeWindow::windowWidthFor(int labelWidth) {
    const int snug = labelWidth + kSideMargins;
    // A label widened past the usual by a long word only ever widens the
    // window; it is not narrowed to the label again.
    if (labelWidth <= kSnugLabelWidth || m_windowWidth < snug) {
        m_windowWidth = snug;
    }
    return m_windowWidth;
}

void NoticeWindow::show() {
    m_view.showWindow(false);
}

void NoticeWindow::About() {
    ShowNotice("", "Corvane ver. " + std::string(VersionText), true);
    m_view.showWindow(true);
}

void NoticeWindow::returnFocus() {
    if (m_mainWindow.isMinimised()) {
        if (m_focusMainWindow) {
            m_focusMainWindow();
        }
    } else {
        m_input.focusInput();
    }
}

void NoticeWindow::onOk() {
    returnFocus();
    // Where the focus change does not reach the window (no window manager),
    // it still goes away.
    onFocusLost();
}

void NoticeWindow::onEscape() {
    if (m_mainWindow.isMinimised()) {
        m_view.destroyWindow();
        m_windowWidth = 0;
        return;
    }
    m_input.focusInput();
    onFocusLost();
}

void NoticeWindow::onOtherKey() {
    m_sound.beep();
}

void NoticeWindow::onFocusLost() {
    if (m_view.isShown()) {
        m_view.hideWindow();
    }
}

} // namespace corvane
