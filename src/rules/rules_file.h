#pragma once

#include "platform/clock.h"
#include "rules/rule.h"

#include <cstdint>
#include <iosfwd>
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
    // Far past any set a player keeps by hand or imports; a file over them
    // is refused before it is read whole, and left as it is. An import at
    // its own limit (8 MB of long regular expressions) is about 12 MB here,
    // every field named, and must load at the next start.
    static constexpr std::uintmax_t kMaxFileBytes = 32 * 1024 * 1024;
    static constexpr std::size_t kMaxRules = 10000;
    static constexpr std::size_t kMaxPatternBytes = 4096;

    explicit RulesFile(std::string path)
        : m_path(std::move(path)) {}
    // The file beside a settings file.
    static std::string PathBeside(const std::string& settingsPath);

    const std::string& path() const { return m_path; }

    // The rules in the file; none when there is no file. A file that cannot
    // be read is renamed to "<path>.bad-<date>" and `problem` says why and
    // where it went; one over the limits stays where it is, and `problem`
    // says which.
    std::vector<Rule> load(std::string& problem, TimePoint now) const;
    // Writes `rules` whole.
    bool save(const std::vector<Rule>& rules, std::string& reason) const;
    // Under the lock: reads the file as it is now, applies this window's
    // change (from `base` to `mine`), writes the outcome and returns it in
    // `merged`, so another Corvane's change to the file is kept.
    // `made`, when given, is ToJson(mine), made beforehand: written as it is
    // unless another Corvane changed the file.
    bool saveMerged(const std::vector<Rule>& base, const std::vector<Rule>& mine, std::vector<Rule>& merged,
                    std::string& reason, std::string made = {}) const;

    static std::string ToJson(const std::vector<Rule>& rules);
    // ToJson a share at a time: appends the text of rules [from, to) to
    // `text`, with the file's head when `from` is 0 and its end when `to`
    // is the last.
    static void AppendJson(const std::vector<Rule>& rules, std::size_t from, std::size_t to, std::string& text);
    static std::optional<std::vector<Rule>> FromJson(const std::string& text, std::string& error);
    // As FromJson, from a stream read only as far as it makes sense; `tooBig`
    // tells a file over the limits from one that is not a rules file.
    static std::optional<std::vector<Rule>> FromStream(std::istream& in, std::string& error, bool& tooBig);

private:
    std::string m_path;
    // The hash of the file's bytes as this window last read or wrote them.
    mutable std::optional<std::size_t> m_known;
};

} // namespace corvane
