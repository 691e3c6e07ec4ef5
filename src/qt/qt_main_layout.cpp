#include "qt/qt_main_layout.h"

#include "qt/qt_twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace corvane {

namespace {

// The classic window's frame around its client area, in twips.
constexpr int kFrameWidth = 120;
constexpr int kFrameHeight = 690;
// Left edge of the parts; with the frame it leaves the same margin on the right.
constexpr int kLeft = 120;
constexpr int kBarHeight = 345;
constexpr int kStatusHeight = 285;
constexpr int kScrollButtonGap = 75;
// Where the output box (365 twips narrower than the window) ends, from the
// right edge of the client area.
constexpr int kRightMargin = 365 - kFrameWidth - kLeft;
constexpr int kButtonGapPixels = 2;
constexpr int kDesignedWidth = 12900;
constexpr int kDesignedHeight = 9000;

} // namespace

QtMainLayout::QtMainLayout(Parts parts)
    : m_parts(parts) {
    m_parts.window->installEventFilter(this);
}

bool QtMainLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_parts.window && event->type() == QEvent::Show) {
        QTimer::singleShot(0, this, [this] { fitFrameOnScreen(); });
    }
    return QObject::eventFilter(watched, event);
}

void QtMainLayout::fitFrameOnScreen() {
    QMainWindow* window = m_parts.window;
    const QScreen* screen = QGuiApplication::screenAt(window->frameGeometry().center());
    if (screen == nullptr || window->isMaximized() || window->isFullScreen()) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (area.contains(frame)) {
        return;
    }
    const QSize around = decoration();
    const int width = std::min(frame.width(), area.width());
    const int height = std::min(frame.height(), area.height());
    window->resize(width - around.width(), height - around.height());
    window->move(std::clamp(frame.x(), area.x(), area.x() + area.width() - width),
                 std::clamp(frame.y(), area.y(), area.y() + area.height() - height));
}

int QtMainLayout::px(int twips) const {
    return ToPixels(twips, m_parts.window);
}

int QtMainLayout::tw(int pixels) const {
    return ToTwips(pixels, m_parts.window);
}

int QtMainLayout::menuHeight() const {
    const QWidget* menu = m_parts.window->menuWidget();
    return menu != nullptr && !menu->isHidden() ? menu->sizeHint().height() : 0;
}

QSize QtMainLayout::decoration() const {
    if (!m_parts.window->isVisible()) {
        return {0, 0};
    }
    return m_parts.window->frameGeometry().size() - m_parts.window->geometry().size();
}

MainLayoutView::Size QtMainLayout::windowSize() const {
    return {tw(m_parts.window->width()) + kFrameWidth,
            tw(m_parts.window->height() - menuHeight()) + kFrameHeight};
}

void QtMainLayout::setWindowSize(Size size) {
    m_parts.window->resize(std::max(px(size.width - kFrameWidth), 1),
                           std::max(px(size.height - kFrameHeight), 1) + menuHeight());
}

void QtMainLayout::setMinimumWindowSize(Size size) {
    m_parts.window->setMinimumSize(std::max(px(size.width - kFrameWidth), 1),
                                   std::max(px(size.height - kFrameHeight), 1) + menuHeight());
}

int QtMainLayout::displayTextHeight() const {
    // The display font's line and the box's frame around it.
    return tw(m_parts.input->sizeHint().height());
}

int QtMainLayout::inputHeight() const {
    return m_inputHeight > 0 ? m_inputHeight : displayTextHeight();
}

void QtMainLayout::setInputHeight(int height) {
    m_inputHeight = height;
    m_parts.input->resize(m_parts.input->width(), px(height));
}

void QtMainLayout::placeInput(int top, int width) {
    const QRect input(px(kLeft), px(top), std::max(px(width), 1), px(inputHeight()));
    m_parts.input->setGeometry(input);
    // The history button fills the room up to the output box's right edge.
    const int left = input.right() + 1 + px(kScrollButtonGap);
    const int outputRight = m_parts.window->width() - px(kRightMargin);
    const int buttonWidth = std::max(outputRight - left, input.height() * 2 / 3);
    m_parts.scrollButton->setGeometry(left, input.top(), buttonWidth, input.height());
}

void QtMainLayout::placeBar(bool commandBar, int top, int width) {
    QWidget* row = commandBar ? m_parts.commandBar : m_parts.macroBar;
    const auto& buttons = commandBar ? m_parts.commandButtons : m_parts.macroButtons;
    row->setGeometry(px(kLeft), px(top), std::max(px(width), 1), px(kBarHeight));
    const int count = static_cast<int>(buttons.size());
    const int buttonWidth = std::max((row->width() - (count - 1) * kButtonGapPixels) / count, 1);
    for (int i = 0; i < count; ++i) {
        // The last button takes what the division left over.
        const int left = i * (buttonWidth + kButtonGapPixels);
        const int widthHere = i == count - 1 ? std::max(row->width() - left, 1) : buttonWidth;
        buttons[static_cast<std::size_t>(i)]->setGeometry(left, 0, widthHere, row->height());
    }
}

void QtMainLayout::placeOutput(int top, int width, int height) {
    m_parts.output->setGeometry(px(kLeft), px(top), std::max(px(width), 1), std::max(px(height), 1));
}

void QtMainLayout::placeStatusLabels(int top, int width) {
    m_parts.statusRow->setGeometry(px(kLeft), px(top), std::max(px(width), 1), px(kStatusHeight));
}

DisplayView::Geometry QtMainLayout::geometry() const {
    // The position is the client area's: where the window system puts the
    // frame around it varies between window managers, and a position kept
    // as the frame's would drift by the caption's height at every restart.
    const QPoint at = m_parts.window->geometry().topLeft();
    const Size size = windowSize();
    return {tw(at.y()), tw(at.x()), size.height, size.width};
}

void QtMainLayout::setTop(int top) {
    QRect client = m_parts.window->geometry();
    client.moveTop(px(top));
    m_parts.window->setGeometry(client);
}

void QtMainLayout::setLeft(int left) {
    QRect client = m_parts.window->geometry();
    client.moveLeft(px(left));
    m_parts.window->setGeometry(client);
}

void QtMainLayout::setHeight(int height) {
    setWindowSize({windowSize().width, height});
}

void QtMainLayout::setWidth(int width) {
    setWindowSize({width, windowSize().height});
}

DisplayView::Geometry QtMainLayout::screenArea() const {
    const QScreen* screen = QGuiApplication::screenAt(m_parts.window->frameGeometry().center());
    if (screen == nullptr) {
        screen = m_parts.window->screen();
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return {0, 0, kDesignedHeight, kDesignedWidth};
    }
    const QRect area = screen->availableGeometry();
    const QSize around = decoration();
    // Positions are the client area's, which starts inside the frame.
    const QPoint inset = m_parts.window->isVisible() ? m_parts.window->geometry().topLeft() -
                                                           m_parts.window->frameGeometry().topLeft()
                                                     : QPoint(0, 0);
    return {tw(area.y() + inset.y()), tw(area.x() + inset.x()),
            tw(area.height() - around.height() - menuHeight()) + kFrameHeight,
            tw(area.width() - around.width()) + kFrameWidth};
}

void QtMainLayout::setDesignedSize() {
    const DisplayView::Geometry area = screenArea();
    setWindowSize({std::min(kDesignedWidth, area.width), std::min(kDesignedHeight, area.height)});
}

} // namespace corvane
