#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class Prompts;

// A settings file larger than this is no settings file Corvane wrote.
inline constexpr std::uint64_t kMaxSettingsFileBytes = 16 * 1024 * 1024;

// Counts lines of a file as they stream past, so that a file can be judged
// without holding it whole.
class SettingsLineCounter {
public:
    void feed(std::string_view bytes);
    void finish();
    // Fewer than half of the lines are sections, keys or comments.
    bool mostlyNotSettings() const { return m_settingsLines * 2 < m_lines; }

private:
    enum class Line { Start, Key, Settled };
    void endLine();

    Line m_line = Line::Start;
    bool m_isSetting = false;
    bool m_pending = false; // a line has begun
    bool m_keySeen = false;
    std::uint64_t m_lines = 0;
    std::uint64_t m_settingsLines = 0;
};

// At start-up: a settings file over 16 MB, or mostly not settings, is renamed
// to "<name>.bad-<date>" (nothing is deleted) and one box says so; Corvane
// then starts from its defaults. Answers the name it was given, if any.
std::optional<std::string> SetAsideUnusableSettings(const std::string& path, std::chrono::system_clock::time_point now,
                                                    Prompts& prompts);

} // namespace corvane
