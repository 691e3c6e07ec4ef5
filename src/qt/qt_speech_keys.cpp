#include "qt/qt_speech_keys.h"

#include "shell/main_window_events.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWidget>
#include <optional>
#include <utility>

namespace corvane {

namespace {

std::optional<std::pair<SpeechKey, int>> SpeechKeyOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Control && !key.isAutoRepeat()) {
        return std::pair{SpeechKey::Silence, 0};
    }
    if (key.key() == Qt::Key_F12 && modifiers == Qt::NoModifier) {
        return std::pair{SpeechKey::Toggle, 0};
    }
    if (modifiers == Qt::ControlModifier && key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9) {
        const int digit = key.key() - Qt::Key_0;
        return std::pair{SpeechKey::Recent, digit == 0 ? 10 : digit};
    }
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        switch (key.key()) {
        case Qt::Key_Up:
            return std::pair{SpeechKey::Older, 0};
        case Qt::Key_Down:
            return std::pair{SpeechKey::Newer, 0};
        case Qt::Key_Home:
            return std::pair{SpeechKey::Oldest, 0};
        case Qt::Key_End:
            return std::pair{SpeechKey::Newest, 0};
        default:
            break;
        }
    }
    return std::nullopt;
}

} // namespace

QtSpeechKeys::QtSpeechKeys(QObject* parent, std::function<MainWindowEvents*()> eventsOf)
    : QObject(parent)
    , m_events(std::move(eventsOf)) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        app->installEventFilter(this);
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (MainWindowEvents* handler = m_events()) {
                handler->onApplicationActive(state == Qt::ApplicationActive);
            }
        });
    }
}

bool QtSpeechKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return false;
    }
    MainWindowEvents* events = m_events();
    if (events == nullptr) {
        return false;
    }
    const auto speechKey = SpeechKeyOf(*static_cast<QKeyEvent*>(event));
    return speechKey && events->onSpeechKey(speechKey->first, speechKey->second);
}

} // namespace corvane
