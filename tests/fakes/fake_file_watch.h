#pragma once

#include "platform/file_watch.h"

#include <map>
#include <string>

namespace corvane::testing {

// Watches nothing by itself: the test says when a file changed.
class FakeFileWatch : public FileWatch {
public:
    WatchId watch(const std::string& path, std::function<void()> changed) override {
        watched[next] = {path, std::move(changed)};
        return next++;
    }
    void unwatch(WatchId id) override { watched.erase(id); }
    // Another program saved the file: every watch on it is told.
    void change(const std::string& path) {
        std::map<WatchId, Watch> now = watched;
        for (auto& [id, watch] : now) {
            if (watch.path == path && watched.count(id) != 0) {
                watch.changed();
            }
        }
    }
    bool watching(const std::string& path) const {
        for (const auto& [id, watch] : watched) {
            if (watch.path == path) {
                return true;
            }
        }
        return false;
    }

    struct Watch {
        std::string path;
        std::function<void()> changed;
    };
    std::map<WatchId, Watch> watched;
    WatchId next = 1;
};

} // namespace corvane::testing
