#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// A sectioned key=value file held as its lines, so that a change touches only
// the lines it must and everything else (comments, unknown lines, blank lines,
// the spelling of keys) is written back as it was read.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::vector<std::string> lines);

    // A missing file loads as an empty one; any other failure to read leaves
    // the lines empty and gives the reason. Lines are decoded as UTF-8 when
    // valid, else as Windows-1252.
    bool load(const std::string& path, std::string& reason);
    // Writes every line followed by CR LF, encoded UTF-8, by replacing the
    // file whole: on failure the file at path is left as it was.
    bool save(const std::string& path, std::string& reason) const;

    // The trimmed value of the first matching key in the first matching
    // section; names compare without regard to ASCII case.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Each of these answers whether the lines changed.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

    const std::vector<std::string>& lines() const { return m_lines; }
    // The lines as they are written to disk.
    std::string bytes() const;

private:
    struct SectionRange {
        std::size_t header;
        std::size_t end; // one past the last line before the next header
    };
    std::optional<SectionRange> findSection(std::string_view section, std::size_t from = 0) const;

    std::vector<std::string> m_lines;
};

} // namespace corvane
