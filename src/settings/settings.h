#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Access to the sectioned key=value settings file. Every operation opens,
// changes and closes the file within the call; writes replace the file
// atomically, so the file on disk is always whole between calls.

inline constexpr std::string_view kSettingsFileName = "CORVANE.INI";
inline constexpr std::size_t kMaxSettingLength = 254;

// The value, at most 254 characters, or empty when the file, section or key is missing.
std::string ReadSetting(std::string_view section, std::string_view key, const std::string& path);
// Replaces the key's value in place, or adds section and key as needed.
bool WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  const std::string& path);
// An empty key removes the whole section.
bool DeleteSetting(std::string_view section, std::string_view key, const std::string& path);
// True exactly when the value is "true" in any case; an empty value is written back as "False".
// Several keys of one section set (a value) or removed (none) in one write,
// so the section is never seen half changed.
struct SettingChange {
    std::string key;
    std::optional<std::string> value;
};
bool ChangeSettings(std::string_view section, const std::vector<SettingChange>& changes, const std::string& path);
bool ReadFlag(std::string_view section, std::string_view key, const std::string& path);
bool WriteFlag(std::string_view section, std::string_view key, bool flag, const std::string& path);
bool FileExists(const std::string& path);

// Cuts the first field off a delimited list; text keeps the rest.
std::string TakeField(std::string& text, char delimiter);
// The larger of two numbers as a 16-bit integer.
std::int16_t MaxOf(double a, double b);

// Called when a settings write fails (read-only folder, full disk); the old
// file is left whole. The shell installs a handler that tells the user.
using SettingsWriteFailureHandler = std::function<void(const std::string& path, const std::string& reason)>;
void SetSettingsWriteFailureHandler(SettingsWriteFailureHandler handler);

// With these installed (the event loop's thread does), a write never waits
// long for another process's lock: after a short wait the change is queued,
// later changes queue behind it in order, reads see the queued values, and
// later() is asked to run the retry from the event loop. busy() is called
// once each time the queue starts.
struct SettingsWaitHooks {
    std::function<void(std::chrono::milliseconds delay, std::function<void()> retry)> later;
    std::function<void()> busy;
};
void SetSettingsWaitHooks(SettingsWaitHooks hooks);
// Writes the queued changes, waiting up to wait for the lock; a failure is
// reported. Answers whether nothing is left queued.
bool FlushQueuedSettings(std::chrono::milliseconds wait);
bool SettingsQueued();

} // namespace corvane
