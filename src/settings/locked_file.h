#pragma once

#include "settings/atomic_file.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace corvane {

// The rule for a file that several Corvane processes change (the settings
// file and the files kept beside it): take the file's lock, read the file as
// it is on disk, change it, replace it atomically, release the lock. Nothing
// that waits for the user happens while the lock is held: the outcome comes
// back after the release, and the caller reports it from there.

// How long the event loop's thread may wait for another process's lock
// before the change is queued and retried later.
inline constexpr std::chrono::milliseconds kInteractiveLockWait{40};

struct LockedChange {
    enum class Outcome { Unchanged, Written, Busy, Failed };
    Outcome outcome = Outcome::Unchanged;
    std::string reason; // for Busy and Failed
};

// edit gets the file's bytes (none for a missing file; it may free them
// once parsed) and answers the new bytes, or nullopt to leave the file alone
// (a missing one stays missing).
LockedChange ChangeFileLocked(const std::string& path, std::chrono::milliseconds wait,
                              const std::function<std::optional<std::string>(std::string& bytes)>& edit);
// The same, with edit answering what makes the new bytes as they are written
// (see WriteFileAtomicallyFrom); what it refers to must outlive the call.
LockedChange ChangeFileLockedFrom(const std::string& path, std::chrono::milliseconds wait,
                                  const std::function<std::optional<BytesProducer>(std::string& bytes)>& edit);

// Removes the temporary files a killed write left beside path (only names
// of the pattern the atomic write makes), when no live Corvane is writing it.
void RemoveStaleTemporaryFiles(const std::string& path);

} // namespace corvane
