#include "settings/unusable_settings.h"

#include "platform/prompts.h"
#include "settings/atomic_file.h"
#include "settings/file_lock.h"
#include "settings/locked_file.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace corvane {

namespace {

namespace fs = std::filesystem;

std::string dateText(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// Read in pieces: a huge file is judged without being held whole.
bool mostlyNotSettings(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    SettingsLineCounter counter;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        counter.feed({buffer, count});
    }
    std::fclose(file);
    counter.finish();
    return counter.mostlyNotSettings();
}

// A date already used that day gets a number.
std::string freeName(const std::string& base) {
    std::error_code ignored;
    std::string name = base;
    for (int n = 2; fs::exists(fs::symlink_status(name, ignored)); ++n) {
        name = base + "-" + std::to_string(n);
    }
    return name;
}

} // namespace

void SettingsLineCounter::feed(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\n') {
            endLine();
            continue;
        }
        m_pending = true;
        switch (m_line) {
        case Line::Start:
            if (c == ' ' || c == '\t' || c == '\r') {
                break;
            }
            if (c == '[' || c == ';') {
                m_isSetting = true;
                m_line = Line::Settled;
            } else if (c == '=') {
                m_line = Line::Settled; // no key before it
            } else {
                m_line = Line::Key;
            }
            break;
        case Line::Key:
            if (c == '=') {
                m_isSetting = true;
                m_line = Line::Settled;
            }
            break;
        case Line::Settled:
            break;
        }
    }
}

void SettingsLineCounter::endLine() {
    ++m_lines;
    if (m_isSetting) {
        ++m_settingsLines;
    }
    m_line = Line::Start;
    m_isSetting = false;
    m_pending = false;
}

void SettingsLineCounter::finish() {
    if (m_pending) {
        endLine();
    }
}

std::optional<std::string> SetAsideUnusableSettings(const std::string& path, std::chrono::system_clock::time_point now,
                                                    Prompts& prompts) {
    const std::string target = WriteTarget(path);
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const bool tooLarge = static_cast<std::uint64_t>(status.st_size) > kMaxSettingsFileBytes;
    if (!tooLarge && !mostlyNotSettings(target)) {
        return std::nullopt;
    }
    // Not from under another Corvane writing it; it will meet the file on
    // its own next start.
    FileLock lock;
    std::string reason;
    if (lock.take(path, reason, kInteractiveLockWait) != FileLock::Outcome::Held) {
        return std::nullopt;
    }
    const std::string aside = freeName(target + ".bad-" + dateText(now));
    std::error_code error;
    fs::rename(target, aside, error);
    lock.release();
    if (error) {
        return std::nullopt;
    }
    prompts.message("The settings file\r" + path + "\r" +
                        (tooLarge ? "is larger than 16 MB" : "holds mostly lines that are not settings") +
                        ", so Corvane set it aside as\r" + aside + "\rand starts with its default settings.",
                    "Corvane Error", PromptIcon::Exclamation);
    return aside;
}

} // namespace corvane
