#pragma once

#include "platform/file_watch.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <map>

namespace corvane {

// Looks at each watched file twice a second: its size, its time of change
// and whether it is there. Polling sees an editor's save however it writes
// (in place or by renaming a new file over the old one), which the system's
// change notices do not follow by path.
class QtFileWatch : public QObject, public FileWatch {
    Q_OBJECT
public:
    explicit QtFileWatch(QObject* parent = nullptr);
    WatchId watch(const std::string& path, std::function<void()> changed) override;
    void unwatch(WatchId id) override;

private:
    struct Seen {
        bool exists = false;
        qint64 size = 0;
        QDateTime modified;
        friend bool operator==(const Seen&, const Seen&) = default;
    };
    struct Watched {
        QString path;
        Seen seen;
        std::function<void()> changed;
    };

    static Seen look(const QString& path);
    void onTick();

    QTimer m_timer;
    std::map<WatchId, Watched> m_watched;
    WatchId m_next = 1;
};

} // namespace corvane
