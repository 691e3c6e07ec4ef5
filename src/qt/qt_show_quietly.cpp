#include "qt/qt_show_quietly.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace corvane {

namespace {

// The activation a platform hands a newly shown window arrives a little
// after the show; past this the window is the player's to activate.
constexpr int kActivationWindowMs = 500;

// Gives the activation back once, then goes away; a click into the window
// is the player's own choice and ends it at once.
class ActivationReturner : public QObject {
public:
    ActivationReturner(QWidget* shown, QWidget* previous)
        : QObject(shown)
        , m_previous(previous) {
        shown->installEventFilter(this);
        QTimer::singleShot(kActivationWindowMs, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            watched->removeEventFilter(this);
            deleteLater();
            break;
        case QEvent::WindowActivate:
            watched->removeEventFilter(this);
            if (m_previous != nullptr && m_previous->isVisible()) {
                m_previous->activateWindow();
            }
            deleteLater();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QPointer<QWidget> m_previous;
};

} // namespace

void ShowQuietly(QWidget* window) {
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    QWidget* previous = QApplication::activeWindow();
    const bool wasShown = window->isVisible();
    window->show();
    window->raise();
    if (!wasShown && previous != nullptr && previous != window) {
        new ActivationReturner(window, previous);
    }
}

} // namespace corvane
