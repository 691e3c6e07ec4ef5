#pragma once

#include <cstdint>
#include <functional>
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
// The lines stay in the file's own bytes (8 bytes of bookkeeping each), so a
// big file costs little more than its size; a line that had to be decoded or
// was changed lives in a second buffer.
class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile& other);
    IniFile& operator=(const IniFile& other);
    IniFile(IniFile&& other) noexcept;
    IniFile& operator=(IniFile&& other) noexcept;

    // Lines end at LF (a CR before it belongs to the line end); byte-order
    // marks at the start are dropped. Each line is decoded as UTF-8 when
    // valid, else as Windows-1252.
    static IniFile Parse(std::string_view bytes);
    // The same, keeping the bytes themselves instead of a copy. Input past
    // 4 GiB is not read: settings files that big are set aside long before.
    static IniFile ParseOwned(std::string&& bytes);

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

    std::size_t lineCount() const { return m_lines.size(); }
    std::string_view line(std::size_t index) const;
    // A copy of every line, for checks; the program itself reads by key.
    std::vector<std::string> lines() const;
    // The lines as they are written to disk.
    std::string bytes() const;
    // The same bytes handed to put a line at a time, until it answers false.
    void writeTo(const std::function<bool(std::string_view)>& put) const;

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

    // Where a line's text is: in m_text, or in m_extra when kInExtra is set.
    struct Line {
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };
    static constexpr std::uint32_t kInExtra = 0x80000000u;
    Line stored(std::string_view text);
    void replaceLine(std::size_t index, std::string_view text);
    void insertLine(std::size_t index, std::string_view text);
    void eraseLines(std::size_t from, std::size_t to);
    void forget(Line line);
    void compactExtra();

    std::string m_text;
    std::string m_extra;
    std::size_t m_extraUnused = 0;
    std::vector<Line> m_lines;
    mutable std::unique_ptr<Index> m_index;
};

} // namespace corvane
