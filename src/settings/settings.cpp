#include "settings/settings.h"

#include "core/text_codec.h"
#include "settings/atomic_file.h"
#include "settings/file_lock.h"
#include "settings/file_stamp.h"
#include "settings/ini_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <utility>

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
        const std::size_t hash = hashOf(bytes);
        if (holds(path) && m_hash == hash) {
            m_stamp = *stamp;
            m_trusted = settled;
            return &*m_file;
        }
        remember(path, IniFile::Parse(bytes), *stamp, hash, settled);
        return &*m_file;
    }

    // A file this process has just written holding the lock is trusted at
    // once: no other Corvane can have written it since. (A program writing it
    // in place, at the same size, within the same clock tick would go unseen.)
    void remember(const std::string& path, IniFile file, const FileStamp& stamp, std::size_t hash,
                  bool trusted = true) {
        m_path = path;
        m_file = std::move(file);
        m_stamp = stamp;
        m_hash = hash;
        m_trusted = trusted;
    }

    void forget() { m_file.reset(); }

    static std::size_t hashOf(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }

private:
    bool holds(const std::string& path) const { return m_file && m_path == path; }

    std::string m_path;
    std::optional<IniFile> m_file;
    FileStamp m_stamp;
    std::size_t m_hash = 0;
    bool m_trusted = false;
    const IniFile m_empty;
};

ParsedFileCache& parsedFile() {
    static ParsedFileCache cache;
    return cache;
}

// Loads, changes and saves the file in one call, holding the lock so that a
// change made by another process in the meantime is kept: the edit applies to
// the file as it is on disk at that moment. An edit that changes nothing
// leaves the file alone (and does not create a missing one).
template <typename Edit> bool changeFile(const std::string& path, Edit edit) {
    std::string reason;
    FileLock lock;
    if (!lock.acquire(path, reason)) {
        return reportFailure(path, reason);
    }
    IniFile file;
    if (!file.load(path, reason)) {
        // Saving now would replace a file we could not read with an empty one.
        return reportFailure(path, reason);
    }
    if (!edit(file)) {
        return true;
    }
    const std::string bytes = file.bytes();
    if (!WriteFileAtomically(path, bytes, reason)) {
        return reportFailure(path, reason);
    }
    if (const auto stamp = StampOfFile(path)) {
        parsedFile().remember(path, std::move(file), *stamp, ParsedFileCache::hashOf(bytes));
    }
    return true;
}

} // namespace

std::string ReadSetting(std::string_view section, std::string_view key, const std::string& path) {
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
    return changeFile(path, [&](IniFile& file) { return file.setValue(section, key, value); });
}

bool DeleteSetting(std::string_view section, std::string_view key, const std::string& path) {
    if (!IniFile::IsStorableSection(section) || (!key.empty() && !IniFile::IsStorableKey(key))) {
        return false;
    }
    if (key.empty()) {
        return changeFile(path, [&](IniFile& file) { return file.removeSection(section); });
    }
    return changeFile(path, [&](IniFile& file) { return file.removeKey(section, key); });
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

} // namespace corvane
