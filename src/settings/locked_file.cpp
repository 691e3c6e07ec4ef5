#include "settings/locked_file.h"

#include "settings/atomic_file.h"
#include "settings/file_lock.h"
#include "settings/ini_file.h"

namespace corvane {

LockedChange ChangeFileLocked(const std::string& path, std::chrono::milliseconds wait,
                              const std::function<std::optional<std::string>(std::string& bytes)>& edit) {
    std::string changed;
    return ChangeFileLockedFrom(path, wait, [&](std::string& bytes) -> std::optional<BytesProducer> {
        std::optional<std::string> made = edit(bytes);
        if (!made) {
            return std::nullopt;
        }
        changed = std::move(*made);
        return BytesProducer([&changed](const BytesSink& put) { put(changed); });
    });
}

LockedChange ChangeFileLockedFrom(const std::string& path, std::chrono::milliseconds wait,
                                  const std::function<std::optional<BytesProducer>(std::string& bytes)>& edit) {
    LockedChange result;
    FileLock lock;
    switch (lock.take(path, result.reason, wait)) {
    case FileLock::Outcome::Held:
        break;
    case FileLock::Outcome::Busy:
        result.outcome = LockedChange::Outcome::Busy;
        return result;
    case FileLock::Outcome::Failed:
        result.outcome = LockedChange::Outcome::Failed;
        return result;
    }
    std::string bytes;
    if (!IniFile::ReadBytes(path, bytes, result.reason)) {
        // Saving now would replace a file we could not read with an empty one.
        result.outcome = LockedChange::Outcome::Failed;
        return result;
    }
    const std::optional<BytesProducer> changed = edit(bytes);
    if (!changed) {
        return result;
    }
    result.outcome = WriteFileAtomicallyFrom(path, *changed, result.reason) ? LockedChange::Outcome::Written
                                                                             : LockedChange::Outcome::Failed;
    return result;
}

void RemoveStaleTemporaryFiles(const std::string& path) {
    FileLock lock;
    std::string reason;
    // A live writer holds the lock for as long as its temporary file exists.
    if (lock.take(path, reason, std::chrono::milliseconds(0)) == FileLock::Outcome::Held) {
        RemoveTemporaryFilesOf(path);
    }
}

} // namespace corvane
