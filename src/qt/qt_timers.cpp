#include "qt/qt_timers.h"

#include <QTimer>

namespace corvane {

QtTimers::QtTimers(QObject* parent)
    : QObject(parent) {}

Timers::TimerId QtTimers::startRepeating(std::chrono::milliseconds interval, std::function<void()> callback) {
    return start(interval, false, std::move(callback));
}

Timers::TimerId QtTimers::startSingleShot(std::chrono::milliseconds delay, std::function<void()> callback) {
    return start(delay, true, std::move(callback));
}

Timers::TimerId QtTimers::start(std::chrono::milliseconds interval, bool singleShot,
                                std::function<void()> callback) {
    const TimerId id = m_nextId++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(singleShot);
    timer->setInterval(interval);
    m_timers[id] = timer;
    connect(timer, &QTimer::timeout, this, [this, id, singleShot, callback = std::move(callback)] {
        if (singleShot) {
            stop(id);
        }
        callback();
    });
    timer->start();
    return id;
}

void QtTimers::stop(TimerId id) {
    const auto it = m_timers.find(id);
    if (it == m_timers.end()) {
        return;
    }
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
}

} // namespace corvane
