#pragma once

#include "platform/clock.h"

#include <QObject>
#include <map>

class QTimer;

namespace corvane {

class QtClock : public Clock {
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

// Timers on Qt's event loop.
class QtTimers : public QObject, public Timers {
public:
    explicit QtTimers(QObject* parent = nullptr);
    TimerId startRepeating(std::chrono::milliseconds interval, std::function<void()> callback) override;
    TimerId startSingleShot(std::chrono::milliseconds delay, std::function<void()> callback) override;
    void stop(TimerId id) override;

private:
    TimerId start(std::chrono::milliseconds interval, bool singleShot, std::function<void()> callback);
    std::map<TimerId, QTimer*> m_timers;
    TimerId m_nextId = 1;
};

} // namespace corvane
