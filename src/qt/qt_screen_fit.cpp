#include "qt/qt_screen_fit.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

namespace {

// Set on a window once its content sits in a scroll area.
constexpr const char* kScrolledProperty = "corvaneScrolled";

const QScreen* ScreenFor(const QWidget* window) {
    const QWidget* parent = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    if (window->testAttribute(Qt::WA_Mapped) && window->screen() != nullptr) {
        return window->screen();
    }
    if (parent != nullptr && parent->isVisible()) {
        if (const QScreen* screen = QGuiApplication::screenAt(parent->frameGeometry().center())) {
            return screen;
        }
        return parent->screen();
    }
    return window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
}

// The frame a window manager puts around a window is known only once the
// window is on screen; the main window's frame is the best guess for another.
QMargins FrameOf(const QWidget* window) {
    const QWidget* shown = window->testAttribute(Qt::WA_Mapped) ? window : nullptr;
    if (shown == nullptr && window->parentWidget() != nullptr) {
        shown = window->parentWidget()->window();
    }
    if (shown == nullptr || !shown->isVisible()) {
        return {};
    }
    const QRect frame = shown->frameGeometry();
    const QRect inside = shown->geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
            frame.bottom() - inside.bottom()};
}

// QScrollArea asks for no more than a few dozen lines of room, which would
// give a form scroll bars on a screen that has room for all of it.
class WholeScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const QWidget* part = widget();
        if (part == nullptr) {
            return QScrollArea::sizeHint();
        }
        const int edge = 2 * frameWidth();
        return part->sizeHint().expandedTo(part->minimumSizeHint()) + QSize(edge, edge);
    }
};

// Moves the window's layout into a scroll area that becomes its content,
// leaving a button box at the layout's foot below the scroll area.
void ScrollContent(QWidget* window) {
    QLayout* layout = window->layout();
    if (layout == nullptr) {
        return;
    }
    window->setProperty(kScrolledProperty, true);
    std::vector<std::pair<QWidget*, bool>> children;
    for (QObject* child : window->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget != nullptr && !widget->isWindow()) {
            children.emplace_back(widget, !widget->isHidden());
        }
    }
    QWidget* buttons = nullptr;
    if (auto* box = qobject_cast<QBoxLayout*>(layout); box != nullptr && box->count() > 0) {
        QWidget* last = box->itemAt(box->count() - 1)->widget();
        if (qobject_cast<QDialogButtonBox*>(last) != nullptr) {
            buttons = last;
            box->removeWidget(last);
        }
    }
    const QMargins margins = layout->contentsMargins();
    auto* scroll = new WholeScrollArea;
    scroll->setObjectName("WindowScroll");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget;
    // Takes the layout, and the widgets in it, from the window.
    content->setLayout(layout);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, buttons != nullptr ? margins.bottom() : 0);
    outer->addWidget(scroll, 1);
    if (buttons != nullptr) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(margins.left(), 0, margins.right(), 0);
        row->addWidget(buttons);
        outer->addLayout(row);
        layout->setContentsMargins(margins.left(), margins.top(), margins.right(), 0);
    }
    scroll->setWidget(content);
    for (auto& [widget, shown] : children) {
        if (shown) {
            widget->show();
        }
    }
    scroll->show();
}

class ScreenKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            const Qt::WindowType type = widget->windowType();
            if (widget->isWindow() && qobject_cast<QMainWindow*>(widget) == nullptr &&
                (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool || type == Qt::Sheet)) {
                FitWindowOnScreen(widget);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QWidget* ScrollingPart(QWidget* part) {
    auto* scroll = new WholeScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    // Tab goes straight to the fields, and the area scrolls to the one it
    // reaches; a stop on the nameless area itself would read as nothing.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(part);
    return scroll;
}

QRect RoomForWindow(const QWidget* window) {
    const QScreen* screen = ScreenFor(window);
    if (screen == nullptr) {
        return {};
    }
    return screen->availableGeometry().marginsRemoved(FrameOf(window));
}

void FitWindowOnScreen(QWidget* window) {
    const QScreen* screen = ScreenFor(window);
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QMargins frame = FrameOf(window);
    const QRect room = area.marginsRemoved(frame);
    const QSize wanted = window->size();
    const QSize least = window->minimumSizeHint();
    // Qt's own dialogs (message boxes, file and font choosers) lay
    // themselves out as they show; only Corvane's windows are rebuilt.
    const bool ours = std::string_view(window->metaObject()->className()).starts_with("corvane::");
    if (ours && !window->property(kScrolledProperty).toBool() &&
        (least.width() > room.width() || least.height() > room.height())) {
        ScrollContent(window);
    }
    // Set by hand, a minimum larger than the screen would keep the window
    // from shrinking; the content scrolls instead.
    window->setMinimumSize(window->minimumSize().boundedTo(room.size()));
    const QSize size = wanted.boundedTo(room.size()).expandedTo(window->minimumSize());
    if (size != window->size()) {
        window->resize(size);
    }
    // A window nobody placed is left to the window manager to place. The
    // position of a window is its frame's.
    if (window->testAttribute(Qt::WA_Moved) || window->testAttribute(Qt::WA_Mapped)) {
        const QSize outer = size.grownBy(frame);
        const QPoint at(
            std::clamp(window->x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())),
            std::clamp(window->y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
        if (at != window->pos()) {
            window->move(at);
        }
    }
}

void KeepWindowsOnScreen() {
    static ScreenKeeper* keeper = nullptr;
    if (keeper == nullptr && qApp != nullptr) {
        keeper = new ScreenKeeper(qApp);
        qApp->installEventFilter(keeper);
    }
}

} // namespace corvane
