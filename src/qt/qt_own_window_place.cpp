#include "qt/qt_own_window_place.h"

#include "qt/qt_main_window.h"
#include "qt/qt_output_box.h"
#include "shell/window_placement.h"
#include "shell/window_places.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <optional>

namespace corvane {

namespace {

constexpr const char* kOwnWindowProperty = "corvaneOwnWindow";

PlaceRect ToPlace(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

PlaceRect OnScreen(const QWidget* part) {
    if (part == nullptr || !part->isVisible()) {
        return {};
    }
    return ToPlace(QRect(part->mapToGlobal(QPoint(0, 0)), part->size()));
}

int OwnWindowsShown(const QWidget* besides) {
    int shown = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != besides && widget->isVisible() && widget->property(kOwnWindowProperty).toBool()) {
            ++shown;
        }
    }
    return shown;
}

class OwnWindowPlacer : public QObject {
public:
    OwnWindowPlacer(QWidget* window, std::string kind, WindowPlaces* places)
        : QObject(window)
        , m_window(window)
        , m_kind(std::move(kind))
        , m_places(places) {
        window->setProperty(kOwnWindowProperty, true);
        window->installEventFilter(this);
    }
    ~OwnWindowPlacer() override { keep(); }
    OwnWindowPlacer(const OwnWindowPlacer&) = delete;
    OwnWindowPlacer& operator=(const OwnWindowPlacer&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A conversation's page while it is a tab of the Conversations window is no window.
        if (watched == m_window && m_window->isWindow()) {
            switch (event->type()) {
            case QEvent::Show:
                if (!m_placed) {
                    m_placed = true;
                    place();
                }
                break;
            case QEvent::Move:
            case QEvent::Resize:
                // Only what the player does to a window on screen counts.
                if (m_window->testAttribute(Qt::WA_Mapped) && m_window->isVisible()) {
                    m_last = ToPlace(m_window->frameGeometry());
                }
                break;
            case QEvent::Hide:
                keep();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void keep() {
        if (m_places != nullptr && m_last) {
            m_places->remember(m_kind, *m_last);
            m_last.reset();
        }
    }

    void place() {
        auto* main = qobject_cast<QtMainWindow*>(m_window->parentWidget());
        if (main == nullptr || !main->isVisible()) {
            return;
        }
        const QScreen* screen = QGuiApplication::screenAt(main->frameGeometry().center());
        if (screen == nullptr) {
            screen = main->screen();
        }
        if (screen == nullptr) {
            return;
        }
        const QRect frame = main->frameGeometry();
        const QRect inside = main->geometry();
        const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(),
                               frame.right() - inside.right(), frame.bottom() - inside.bottom());
        PlacementScene scene;
        scene.screen = ToPlace(screen->availableGeometry());
        scene.main = ToPlace(frame);
        scene.menuBar = OnScreen(main->menuWidget());
        scene.output = OnScreen(main->outputBox());
        scene.inputLine = OnScreen(main->inputLine());
        const QSize wanted = m_window->size().grownBy(margins);
        const QSize least = m_window->minimumSizeHint().expandedTo(m_window->minimumSize()).grownBy(margins);
        const std::optional<PlaceRect> remembered =
            m_places != nullptr ? m_places->last(m_kind) : std::optional<PlaceRect>();
        const PlaceRect placed = PlaceOwnWindow(scene, wanted.width(), wanted.height(), least.width(),
                                                least.height(), OwnWindowsShown(m_window), remembered);
        m_window->resize(QSize(placed.width, placed.height).shrunkBy(margins).expandedTo(QSize(1, 1)));
        // A window's position is its frame's.
        m_window->move(placed.x, placed.y);
    }

    QWidget* m_window;
    std::string m_kind;
    WindowPlaces* m_places;
    bool m_placed = false;
    std::optional<PlaceRect> m_last;
};

} // namespace

void PlaceOwnWindowWhenShown(QWidget* window, std::string kind, WindowPlaces* places) {
    new OwnWindowPlacer(window, std::move(kind), places);
}

} // namespace corvane
