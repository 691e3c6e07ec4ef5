#include "settings/ini_file.h"

#include "core/text_codec.h"
#include "settings/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <system_error>
#include <unordered_map>

namespace corvane {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::string errorText(int error) {
    return std::generic_category().message(error != 0 ? error : EIO);
}

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The form names are compared in.
std::string folded(std::string_view name) {
    return ToLowerAscii(trim(name));
}

// The name of a section header line, or nullopt for any other line. The name
// runs to the last "]" so that a world name holding "]" still round-trips.
std::optional<std::string_view> headerName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const std::size_t close = line.rfind(']');
    return trim(line.substr(0, close));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> parseEntry(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = trim(line.substr(0, equals));
    if (key.empty()) {
        return std::nullopt;
    }
    return Entry{key, trim(line.substr(equals + 1))};
}

// Each line is decoded on its own, so one line of Windows-1252 left by an
// older program or a hand edit does not turn the UTF-8 of the rest into mojibake.
std::vector<std::string> splitLines(std::string_view bytes) {
    // Every mark goes: a second one would stay on the first line until a
    // save dropped it, and the file would mean one thing before that save and
    // another after.
    while (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(DecodeLegacyText(line));
    }
    return lines;
}

// A value keeps everything up to its first line break: a break would end the
// entry early and turn the rest into lines of their own. A lone CR is no
// break; it reads back as it was written.
std::string_view withoutLineBreak(std::string_view value) {
    const std::size_t lf = value.find('\n');
    if (lf == std::string_view::npos) {
        return value;
    }
    value = value.substr(0, lf);
    if (!value.empty() && value.back() == '\r') {
        value.remove_suffix(1);
    }
    return value;
}

} // namespace

struct IniFile::Index {
    struct Section {
        SectionRange range;
        bool keysIndexed = false;
        std::unordered_map<std::string, std::size_t> keys; // folded key -> line of its first entry
    };
    std::unordered_map<std::string, Section> sections; // folded name -> its first section

    explicit Index(const std::vector<std::string>& lines) {
        Section* last = nullptr;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto name = headerName(lines[i]);
            if (!name) {
                continue;
            }
            if (last != nullptr) {
                last->range.end = i;
            }
            const auto [at, added] =
                sections.try_emplace(folded(*name), Section{{i, lines.size()}, false, {}});
            last = added ? &at->second : nullptr;
        }
    }

    Section* find(std::string_view section) {
        const auto at = sections.find(folded(section));
        return at == sections.end() ? nullptr : &at->second;
    }

    std::optional<std::size_t> findKey(const std::vector<std::string>& lines, Section& section,
                                       std::string_view key) {
        if (!section.keysIndexed) {
            for (std::size_t i = section.range.header + 1; i < section.range.end; ++i) {
                if (const auto entry = parseEntry(lines[i])) {
                    section.keys.try_emplace(folded(entry->key), i);
                }
            }
            section.keysIndexed = true;
        }
        const auto at = section.keys.find(folded(key));
        if (at == section.keys.end()) {
            return std::nullopt;
        }
        return at->second;
    }
};

IniFile::IniFile() = default;
IniFile::IniFile(std::vector<std::string> lines)
    : m_lines(std::move(lines)) {}
IniFile::~IniFile() = default;
IniFile::IniFile(const IniFile& other)
    : m_lines(other.m_lines) {}
IniFile& IniFile::operator=(const IniFile& other) {
    if (this != &other) {
        m_lines = other.m_lines;
        m_index.reset();
    }
    return *this;
}
IniFile::IniFile(IniFile&& other) noexcept = default;
IniFile& IniFile::operator=(IniFile&& other) noexcept = default;

IniFile IniFile::Parse(std::string_view bytes) {
    return IniFile(splitLines(bytes));
}

bool IniFile::ReadBytes(const std::string& path, std::string& bytes, std::string& reason) {
    bytes.clear();
    errno = 0;
    const FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return true;
        }
        reason = errorText(error);
        return false;
    }
    // Sized once: growing by doubling would hold up to twice the file.
    struct stat status {};
    if (::fstat(::fileno(file.get()), &status) == 0 && status.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, count);
    }
    if (std::ferror(file.get()) != 0) {
        reason = errorText(errno);
        return false;
    }
    return true;
}

bool IniFile::load(const std::string& path, std::string& reason) {
    std::string bytes;
    if (!ReadBytes(path, bytes, reason)) {
        *this = IniFile();
        return false;
    }
    *this = Parse(bytes);
    return true;
}

bool IniFile::save(const std::string& path, std::string& reason) const {
    return WriteFileAtomically(path, bytes(), reason);
}

std::string IniFile::bytes() const {
    std::size_t size = 0;
    for (const std::string& line : m_lines) {
        size += line.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (const std::string& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool IniFile::IsStorableSection(std::string_view section) {
    return !trim(section).empty() && section.find('\n') == std::string_view::npos;
}

bool IniFile::IsStorableKey(std::string_view key) {
    const std::string_view name = trim(key);
    return !name.empty() && name.front() != '[' && name.front() != ';' &&
           key.find_first_of("=\n") == std::string_view::npos;
}

IniFile::Index& IniFile::index() const {
    if (!m_index) {
        m_index = std::make_unique<Index>(m_lines);
    }
    return *m_index;
}

void IniFile::linesMoved() {
    m_index.reset();
}

std::optional<IniFile::SectionRange> IniFile::findSection(std::string_view section) const {
    const Index::Section* found = index().find(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    return found->range;
}

std::optional<std::size_t> IniFile::findKey(std::string_view section, std::string_view key) const {
    Index& lookup = index();
    Index::Section* found = lookup.find(section);
    if (found == nullptr) {
        return std::nullopt;
    }
    return lookup.findKey(m_lines, *found, key);
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto line = findKey(section, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(parseEntry(m_lines[*line])->value);
}

bool IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsStorableSection(section) || !IsStorableKey(key)) {
        return false;
    }
    value = withoutLineBreak(value);

    const auto range = findSection(section);
    if (!range) {
        // A blank line between sections keeps the file readable by hand.
        if (!m_lines.empty() && !m_lines.back().empty()) {
            m_lines.emplace_back();
        }
        // Built by appending: "[" + string trips a false -Wrestrict in GCC 12 at -O3.
        std::string header;
        header.reserve(section.size() + 2);
        header.append("[").append(section).append("]");
        m_lines.push_back(std::move(header));
        m_lines.push_back(std::string(key) + "=" + std::string(value));
        linesMoved();
        return true;
    }
    if (const auto line = findKey(section, key)) {
        const Entry entry = *parseEntry(m_lines[*line]);
        if (entry.value == value) {
            return false;
        }
        // Same key on the same line: the index stays right.
        m_lines[*line] = std::string(entry.key) + "=" + std::string(value);
        return true;
    }
    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (parseEntry(m_lines[i])) {
            insertAt = i + 1;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   std::string(key) + "=" + std::string(value));
    linesMoved();
    return true;
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
    if (!findKey(section, key)) {
        return false;
    }
    const SectionRange range = *findSection(section);
    const std::string wanted = folded(key);
    for (std::size_t i = range.end; i-- > range.header + 1;) {
        const auto entry = parseEntry(m_lines[i]);
        if (entry && folded(entry->key) == wanted) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    linesMoved();
    return true;
}

bool IniFile::removeSection(std::string_view section) {
    if (!findSection(section)) {
        return false;
    }
    // Every copy goes: removing only the first would let a later duplicate
    // show through on the next read.
    const std::string wanted = folded(section);
    std::vector<std::string> kept;
    kept.reserve(m_lines.size());
    bool inside = false;
    for (std::string& line : m_lines) {
        if (const auto name = headerName(line)) {
            inside = folded(*name) == wanted;
        }
        if (!inside) {
            kept.push_back(std::move(line));
        }
    }
    m_lines = std::move(kept);
    linesMoved();
    return true;
}

} // namespace corvane
