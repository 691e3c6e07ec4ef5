#include "settings/settings.h"

#include "core/text_codec.h"
#include "settings/atomic_file.h"
#include "settings/file_lock.h"
#include "settings/file_stamp.h"
#include "settings/ini_file.h"
#include "settings/locked_file.h"
#include "settings/unusable_settings.h"

#include <cstdint>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

namespace corvane {

namespace {

SettingsWriteFailureHandler& writeFailureHandler() {
    static SettingsWriteFailureHandler handler;
    return handler;
}

bool reportFailure(const std::string& path, const std::string& reason) {
    if (const auto& handler = writeFailureHandler()) {
        handler(path, reason);
    }
    return false;
}

// The settings file as last read or written, so that start-up does not parse
// the whole file again for each of its many reads. Another process's writes
// are still seen: the file is looked at again when its stamp on disk changes,
// and parsed again when its bytes did.
class ParsedFileCache {
public:
    // The file as it is on disk now; nullptr when it cannot be read.
    const IniFile* current(const std::string& path) {
        const auto stamp = StampOfFile(path);
        if (!stamp) {
            // No file reads as an empty one.
            forget();
            return &m_empty;
        }
        if (holds(path) && m_stamp == *stamp && m_trusted) {
            return &*m_file;
        }
        if (stamp->size > kMaxSettingsFileBytes) {
            // Not parsed: it would cost many times its size. Start-up sets
            // such a file aside; one that stays reads as empty.
            forget();
            return nullptr;
        }
        const std::int64_t readAt = FileClockNowNs();
        std::string bytes;
        std::string reason;
        if (!IniFile::ReadBytes(path, bytes, reason)) {
            forget();
            return nullptr;
        }
        // A file written in place again within one tick of the file clock
        // keeps its stamp. Until its time of change lies well before our read
        // the stamp cannot tell such a write apart, so the bytes are read (but
        // parsed only when they differ) each time.
        constexpr std::int64_t kClockTick = 2'000'000'000; // covers file systems with 2 s times
        const bool settled = readAt - stamp->modifiedNs > kClockTick && StampOfFile(path) == stamp;
        const std::uint64_t hash = hashOf(bytes);
        if (holds(path) && m_hash == hash) {
            m_stamp = *stamp;
            m_trusted = settled;
            return &*m_file;
        }
        // Parsed in place: a copy would hold the file twice at the peak.
        remember(path, IniFile::ParseOwned(std::move(bytes)), *stamp, hash, settled);
        return &*m_file;
    }

    // A file this process has just written holding the lock is trusted at
    // once: no other Corvane can have written it since. (A program writing it
    // in place, at the same size, within the same clock tick would go unseen.)
    void remember(const std::string& path, IniFile file, const FileStamp& stamp, std::uint64_t hash,
                  bool trusted = true) {
        m_path = path;
        m_file = std::move(file);
        m_stamp = stamp;
        m_hash = hash;
        m_trusted = trusted;
    }

    void forget() { m_file.reset(); }

    // FNV-1a, so that bytes written a line at a time hash as they are read back whole.
    static constexpr std::uint64_t kHashStart = 14695981039346656037ull;
    static std::uint64_t hashOf(std::string_view bytes, std::uint64_t hash = kHashStart) {
        for (const char c : bytes) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        return hash;
    }

private:
    bool holds(const std::string& path) const { return m_file && m_path == path; }

    std::string m_path;
    std::optional<IniFile> m_file;
    FileStamp m_stamp;
    std::uint64_t m_hash = 0;
    bool m_trusted = false;
    const IniFile m_empty;
};

ParsedFileCache& parsedFile() {
    static ParsedFileCache cache;
    return cache;
}

// One change as the file's callers asked for it, so that it can wait in the
// queue and be looked at by reads meanwhile.
struct Change {
    enum class Kind { Set, RemoveKey, RemoveSection };
    Kind kind;
    std::string path;
    std::string section;
    std::string key;
    std::string value;

    bool applyTo(IniFile& file) const {
        switch (kind) {
        case Kind::Set:
            return file.setValue(section, key, value);
        case Kind::RemoveKey:
            return file.removeKey(section, key);
        case Kind::RemoveSection:
            return file.removeSection(section);
        }
        return false;
    }
};

bool sameName(std::string_view a, std::string_view b) {
    const auto trimmed = [](std::string_view text) {
        const std::size_t first = text.find_first_not_of(" \t");
        return first == std::string_view::npos ? std::string_view()
                                                : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    };
    return ToLowerAscii(trimmed(a)) == ToLowerAscii(trimmed(b));
}

struct WriteQueue {
    SettingsWaitHooks hooks;
    std::deque<Change> changes;
    bool retryScheduled = false;
};

WriteQueue& writeQueue() {
    static WriteQueue queue;
    return queue;
}

// Loads, changes and saves the file in one locked step, so that a change made
// by another process in the meantime is kept: the changes apply to the file as
// it is on disk at that moment. Changes that change nothing leave the file
// alone (and do not create a missing one).
LockedChange writeChanges(const std::string& path, const std::vector<Change>& changes,
                          std::chrono::milliseconds wait) {
    if (const auto stamp = StampOfFile(path); stamp && stamp->size > kMaxSettingsFileBytes) {
        return {LockedChange::Outcome::Failed, "The file is larger than 16 MB"};
    }
    std::optional<IniFile> written;
    std::uint64_t writtenHash = ParsedFileCache::kHashStart;
    // One parsed copy at a time: the cached one is parsed anew under the lock.
    parsedFile().forget();
    LockedChange result = ChangeFileLockedFrom(path, wait, [&](std::string& bytes) -> std::optional<BytesProducer> {
        IniFile file = IniFile::ParseOwned(std::move(bytes));
        bool changed = false;
        for (const Change& change : changes) {
            changed = change.applyTo(file) || changed;
        }
        if (!changed) {
            return std::nullopt;
        }
        written = std::move(file);
        // Written a line at a time: the parsed file is the peak, never a
        // second copy of its bytes.
        return BytesProducer([&](const BytesSink& put) {
            written->writeTo([&](std::string_view piece) {
                writtenHash = ParsedFileCache::hashOf(piece, writtenHash);
                return put(piece);
            });
        });
    });
    if (result.outcome == LockedChange::Outcome::Written) {
        if (const auto stamp = StampOfFile(path)) {
            parsedFile().remember(path, std::move(*written), *stamp, writtenHash);
        }
    }
    return result;
}

void scheduleRetry();

// Writes what waits, oldest first, as long as the lock is free; answers
// whether the queue is empty now.
bool writeQueued(std::chrono::milliseconds wait) {
    WriteQueue& queue = writeQueue();
    while (!queue.changes.empty()) {
        const std::string path = queue.changes.front().path;
        std::vector<Change> run;
        for (const Change& change : queue.changes) {
            if (change.path != path) {
                break;
            }
            run.push_back(change);
        }
        const LockedChange result = writeChanges(path, run, wait);
        if (result.outcome == LockedChange::Outcome::Busy) {
            return false;
        }
        queue.changes.erase(queue.changes.begin(), queue.changes.begin() + static_cast<std::ptrdiff_t>(run.size()));
        if (result.outcome == LockedChange::Outcome::Failed) {
            reportFailure(path, result.reason);
        }
    }
    return true;
}

void scheduleRetry() {
    WriteQueue& queue = writeQueue();
    if (queue.retryScheduled || !queue.hooks.later) {
        return;
    }
    queue.retryScheduled = true;
    constexpr std::chrono::milliseconds kRetryDelay{200};
    queue.hooks.later(kRetryDelay, [] {
        writeQueue().retryScheduled = false;
        if (!writeQueued(kInteractiveLockWait)) {
            scheduleRetry();
        }
    });
}

bool changeFile(std::vector<Change> changes) {
    if (changes.empty()) {
        return true;
    }
    WriteQueue& queue = writeQueue();
    if (!queue.changes.empty()) {
        // Behind what already waits, so the file sees the changes in order.
        std::move(changes.begin(), changes.end(), std::back_inserter(queue.changes));
        return true;
    }
    const bool canQueue = static_cast<bool>(queue.hooks.later);
    const std::string path = changes.front().path;
    const LockedChange result = writeChanges(path, changes, canQueue ? kInteractiveLockWait : FileLock::kDefaultWait);
    switch (result.outcome) {
    case LockedChange::Outcome::Unchanged:
    case LockedChange::Outcome::Written:
        return true;
    case LockedChange::Outcome::Busy:
        if (canQueue) {
            std::move(changes.begin(), changes.end(), std::back_inserter(queue.changes));
            if (queue.hooks.busy) {
                queue.hooks.busy();
            }
            scheduleRetry();
            return true;
        }
        break;
    case LockedChange::Outcome::Failed:
        break;
    }
    // Only now, with the lock released: the report may wait for the user.
    return reportFailure(path, result.reason);
}

bool changeFile(Change change) {
    std::vector<Change> changes;
    changes.push_back(std::move(change));
    return changeFile(std::move(changes));
}

// The value a queued change gives the key, if one does.
std::optional<std::string> queuedValue(std::string_view section, std::string_view key, const std::string& path) {
    const auto& changes = writeQueue().changes;
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        if (it->path != path || !sameName(it->section, section)) {
            continue;
        }
        if (it->kind == Change::Kind::RemoveSection) {
            return std::string();
        }
        if (sameName(it->key, key)) {
            return it->kind == Change::Kind::Set ? it->value : std::string();
        }
    }
    return std::nullopt;
}

} // namespace

std::string ReadSetting(std::string_view section, std::string_view key, const std::string& path) {
    if (auto queued = queuedValue(section, key, path)) {
        return Utf8Left(*queued, kMaxSettingLength);
    }
    const IniFile* file = parsedFile().current(path);
    if (file == nullptr) {
        return {};
    }
    const auto value = file->value(section, key);
    return value ? Utf8Left(*value, kMaxSettingLength) : std::string();
}

bool WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  const std::string& path) {
    // A name the file cannot hold would not read back; it is a caller's
    // slip, not a disk problem to put before the user.
    if (!IniFile::IsStorableSection(section) || !IniFile::IsStorableKey(key)) {
        return false;
    }
    return changeFile({Change::Kind::Set, path, std::string(section), std::string(key), std::string(value)});
}

bool DeleteSetting(std::string_view section, std::string_view key, const std::string& path) {
    if (!IniFile::IsStorableSection(section) || (!key.empty() && !IniFile::IsStorableKey(key))) {
        return false;
    }
    if (key.empty()) {
        return changeFile({Change::Kind::RemoveSection, path, std::string(section), {}, {}});
    }
    return changeFile({Change::Kind::RemoveKey, path, std::string(section), std::string(key), {}});
}

bool ChangeSettings(std::string_view section, const std::vector<SettingChange>& changes, const std::string& path) {
    if (!IniFile::IsStorableSection(section)) {
        return false;
    }
    std::vector<Change> batch;
    for (const SettingChange& change : changes) {
        if (!IniFile::IsStorableKey(change.key)) {
            return false;
        }
        batch.push_back(change.value ? Change{Change::Kind::Set, path, std::string(section), change.key, *change.value}
                                     : Change{Change::Kind::RemoveKey, path, std::string(section), change.key, {}});
    }
    return changeFile(std::move(batch));
}

bool ReadFlag(std::string_view section, std::string_view key, const std::string& path) {
    const std::string value = ToLowerAscii(ReadSetting(section, key, path));
    if (value.empty()) {
        // This is how a fresh file gains its flag keys.
        WriteSetting(section, key, "False", path);
        return false;
    }
    return value == "true";
}

bool WriteFlag(std::string_view section, std::string_view key, bool flag, const std::string& path) {
    return WriteSetting(section, key, flag ? "True" : "False", path);
}

bool FileExists(const std::string& path) {
    std::error_code ignored;
    // Opening a folder for reading succeeds on some systems; it is no file.
    if (std::filesystem::is_directory(path, ignored)) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

std::string TakeField(std::string& text, char delimiter) {
    const std::size_t at = text.find(delimiter);
    if (at == std::string::npos) {
        return std::exchange(text, std::string());
    }
    std::string field = text.substr(0, at);
    text.erase(0, at + 1);
    return field;
}

std::int16_t MaxOf(double a, double b) {
    if (std::isnan(a)) {
        a = b;
    }
    if (std::isnan(b)) {
        b = a;
    }
    const double larger = std::max(a, b);
    if (std::isnan(larger)) {
        return 0;
    }
    // Halves round to the even neighbour (the default rounding mode), the way
    // a conversion to a 16-bit integer has always rounded here.
    const double rounded = std::nearbyint(larger);
    constexpr double kLow = std::numeric_limits<std::int16_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(rounded, kLow, kHigh));
}

void SetSettingsWriteFailureHandler(SettingsWriteFailureHandler handler) {
    writeFailureHandler() = std::move(handler);
}

void SetSettingsWaitHooks(SettingsWaitHooks hooks) {
    WriteQueue& queue = writeQueue();
    queue.hooks = std::move(hooks);
    // A retry scheduled on a loop that is gone would never come.
    queue.retryScheduled = false;
}

bool FlushQueuedSettings(std::chrono::milliseconds wait) {
    WriteQueue& queue = writeQueue();
    if (writeQueued(wait)) {
        return true;
    }
    const std::string path = queue.changes.front().path;
    queue.changes.clear();
    reportFailure(path, FileLock::kBusyReason);
    return false;
}

bool SettingsQueued() {
    return !writeQueue().changes.empty();
}

} // namespace corvane
