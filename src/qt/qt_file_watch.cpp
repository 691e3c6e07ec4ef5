#include "qt/qt_file_watch.h"

#include "qt/qt_text.h"

#include <QFileInfo>
#include <vector>

namespace corvane {

QtFileWatch::QtFileWatch(QObject* parent)
    : QObject(parent) {
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, &QtFileWatch::onTick);
}

QtFileWatch::Seen QtFileWatch::look(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    return Seen{true, info.size(), info.lastModified()};
}

FileWatch::WatchId QtFileWatch::watch(const std::string& path, std::function<void()> changed) {
    const WatchId id = m_next++;
    const QString file = toQt(path);
    m_watched[id] = Watched{file, look(file), std::move(changed)};
    if (!m_timer.isActive()) {
        m_timer.start();
    }
    return id;
}

void QtFileWatch::unwatch(WatchId id) {
    m_watched.erase(id);
    if (m_watched.empty()) {
        m_timer.stop();
    }
}

void QtFileWatch::onTick() {
    // A callback may unwatch any file, its own included.
    std::vector<WatchId> changed;
    for (auto& [id, watched] : m_watched) {
        const Seen now = look(watched.path);
        if (!(now == watched.seen)) {
            watched.seen = now;
            // A file taken away in the middle of a save is not a change yet.
            if (now.exists) {
                changed.push_back(id);
            }
        }
    }
    for (const WatchId id : changed) {
        const auto found = m_watched.find(id);
        if (found != m_watched.end()) {
            const std::function<void()> callback = found->second.changed;
            callback();
        }
    }
}

} // namespace corvane
