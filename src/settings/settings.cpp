#include "settings/settings.h"

#include "core/text_codec.h"
#include "settings/ini_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
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

// Loads, changes and saves the file in one call; an edit that changes
// nothing leaves the file alone (and does not create a missing one).
template <typename Edit> bool changeFile(const std::string& path, Edit edit) {
    IniFile file;
    std::string reason;
    if (!file.load(path, reason)) {
        // Saving now would replace a file we could not read with an empty one.
        return reportFailure(path, reason);
    }
    if (!edit(file)) {
        return true;
    }
    if (!file.save(path, reason)) {
        return reportFailure(path, reason);
    }
    return true;
}

} // namespace

std::string ReadSetting(std::string_view section, std::string_view key, const std::string& path) {
    IniFile file;
    std::string reason;
    if (!file.load(path, reason)) {
        return {};
    }
    const auto value = file.value(section, key);
    return value ? Utf8Left(*value, kMaxSettingLength) : std::string();
}

bool WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  const std::string& path) {
    // An unnamed section or key cannot be read back; it is a caller's slip,
    // not a disk problem to put before the user.
    if (section.empty() || key.empty()) {
        return false;
    }
    return changeFile(path, [&](IniFile& file) { return file.setValue(section, key, value); });
}

bool DeleteSetting(std::string_view section, std::string_view key, const std::string& path) {
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
