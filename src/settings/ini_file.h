#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// A sectioned key=value file held as its lines, so that a change touches only
// the lines it must and everything else (comments, unknown lines, blank lines,
// the spelling of keys) is written back as it was read. Lookups go through an
// index built on first use, so reading every key of a big file stays linear.
class IniFile {
public:
    IniFile();
    explicit IniFile(std::vector<std::string> lines);
    ~IniFile();
    IniFile(const IniFile& other);
    IniFile& operator=(const IniFile& other);
    IniFile(IniFile&& other) noexcept;
    IniFile& operator=(IniFile&& other) noexcept;

    // Lines end at LF (a CR before it belongs to the line end); byte-order
    // marks at the start are dropped. Each line is decoded as UTF-8 when
    // valid, else as Windows-1252.
    static IniFile Parse(std::string_view bytes);

    // A missing file loads as an empty one; any other failure to read leaves
    // the lines empty and gives the reason.
    bool load(const std::string& path, std::string& reason);
    // The file's bytes as load reads them (none for a missing file).
    static bool ReadBytes(const std::string& path, std::string& bytes, std::string& reason);
    // Writes every line followed by CR LF, encoded UTF-8, by replacing the
    // file whole: on failure the file at path is left as it was.
    bool save(const std::string& path, std::string& reason) const;

    // Names that a line of the file can hold and give back: not empty once
    // trimmed, no line feed; a key also holds no "=" and does not start like
    // a section header or a comment.
    static bool IsStorableSection(std::string_view section);
    static bool IsStorableKey(std::string_view key);

    // The trimmed value of the first matching key in the first matching
    // section; names are trimmed and compare without regard to ASCII case.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Each of these answers whether the lines changed. A value keeps every
    // character up to its first line break; a name that is not storable
    // changes nothing.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);

    const std::vector<std::string>& lines() const { return m_lines; }
    // The lines as they are written to disk.
    std::string bytes() const;

private:
    struct Index;
    struct SectionRange {
        std::size_t header;
        std::size_t end; // one past the last line before the next header
    };
    std::optional<SectionRange> findSection(std::string_view section) const;
    // The line of the first matching key in the first matching section.
    std::optional<std::size_t> findKey(std::string_view section, std::string_view key) const;
    Index& index() const;
    void linesMoved();

    std::vector<std::string> m_lines;
    mutable std::unique_ptr<Index> m_index;
};

} // namespace corvane
