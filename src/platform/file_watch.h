#pragma once

#include <functional>
#include <string>

namespace corvane {

// Tells when another program has changed a file: written it again, or put a
// new file in its place (as editors that save safely do). Callbacks run on
// the UI thread's event loop, never inside watch() or unwatch().
class FileWatch {
public:
    using WatchId = int;
    virtual ~FileWatch() = default;
    // The file as it is now is the starting point: only later changes count.
    virtual WatchId watch(const std::string& path, std::function<void()> changed) = 0;
    virtual void unwatch(WatchId id) = 0;
};

} // namespace corvane
