#pragma once

#include "platform/clock.h"
#include "rules/rule.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane {

// "#rrggbb" and back; nothing for text that is not one.
std::string ColourText(Rgb colour);
std::optional<Rgb> ParseColour(const std::string& text);

// The triggers and aliases file: JSON beside the settings file, meant to be
// readable and editable by hand, with a format version. It is written whole
// and atomically under the settings file's lock rule, readable by its owner
// only. A file that cannot be read is moved aside, never overwritten.
class RulesFile {
public:
    static constexpr int kFormat = 1;
    static constexpr const char* kFileName = "corvane-rules.json";

    explicit RulesFile(std::string path)
        : m_path(std::move(path)) {}
    // The file beside a settings file.
    static std::string PathBeside(const std::string& settingsPath);

    const std::string& path() const { return m_path; }

    // The rules in the file; none when there is no file. A file that cannot
    // be read is renamed to "<path>.bad-<date>" and `problem` says why and
    // where it went.
    std::vector<Rule> load(std::string& problem, TimePoint now) const;
    bool save(const std::vector<Rule>& rules, std::string& reason) const;

    static std::string ToJson(const std::vector<Rule>& rules);
    static std::optional<std::vector<Rule>> FromJson(const std::string& text, std::string& error);

private:
    std::string m_path;
};

} // namespace corvane
