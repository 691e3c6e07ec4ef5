#include "settings/file_lock.h"

#include "settings/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace corvane {

namespace {

bool sameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// A file system that cannot lock (some network mounts) still gets atomic
// writes; refusing every change there would be worse than the race.
bool lockingUnsupported(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS;
}

} // namespace

std::string FileLock::LockPathFor(const std::string& path) {
    // Beside the file a write replaces, so a link and its target share one lock.
    return WriteTarget(path) + ".lock";
}

FileLock::Outcome FileLock::take(const std::string& path, std::string& reason, std::chrono::milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    release();
    const std::string lockPath = LockPathFor(path);
    const auto deadline = Clock::now() + wait;
    std::chrono::milliseconds pause{1};
    for (;;) {
        const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            reason = std::generic_category().message(errno);
            return Outcome::Failed;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || lockingUnsupported(errno)) {
            // The holder before us removed the file it locked; a lock on a
            // file no longer at the path guards nothing, so start again.
            if (sameFile(fd, lockPath)) {
                m_fd = fd;
                m_lockPath = lockPath;
                return Outcome::Held;
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) {
            reason = std::generic_category().message(error);
            return Outcome::Failed;
        }
        if (Clock::now() >= deadline) {
            reason = kBusyReason;
            return Outcome::Busy;
        }
        // Never past the deadline: the event loop's callers count on it.
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - Clock::now()));
        pause = std::min(pause * 2, std::chrono::milliseconds{20});
    }
}

void FileLock::release() {
    if (m_fd < 0) {
        return;
    }
    // Removed while still held, so that no one locks it after us and then
    // loses it to a new file made by a third process.
    ::unlink(m_lockPath.c_str());
    ::close(m_fd);
    m_fd = -1;
}

} // namespace corvane
