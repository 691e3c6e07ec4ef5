#pragma once

#include <chrono>
#include <string>

namespace corvane {

// The advisory lock Corvane processes hold while they change a file, so that
// two of them on one settings file do not undo each other's changes: a lock
// file beside it (path + ".lock"), locked while held and removed on release.
// The system drops the lock of a process that dies, so none is left stale.
class FileLock {
public:
    static constexpr const char* kBusyReason = "Another Corvane is still writing it";

    // Long enough for a write on a busy disk; a holder that takes longer has
    // most likely been stopped.
    static constexpr std::chrono::milliseconds kDefaultWait{10000};

    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Outcome { Held, Busy, Failed };
    // Waits up to wait while another process holds the lock: Busy when the
    // wait ran out, Failed (with the reason) when the lock file cannot be made.
    Outcome take(const std::string& path, std::string& reason, std::chrono::milliseconds wait = kDefaultWait);
    bool acquire(const std::string& path, std::string& reason, std::chrono::milliseconds wait = kDefaultWait) {
        return take(path, reason, wait) == Outcome::Held;
    }
    bool held() const { return m_fd >= 0; }
    void release();

    static std::string LockPathFor(const std::string& path);

private:
    int m_fd = -1;
    std::string m_lockPath;
};

} // namespace corvane
