#include "settings/ini_file.h"

#include "core/text_codec.h"
#include "settings/atomic_file.h"

#include <algorithm>
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

// The hash of a key as names compare: trimmed, ASCII case ignored.
std::uint64_t keyHash(std::string_view key) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : trim(key)) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        hash = (hash ^ static_cast<unsigned char>(lower)) * 1099511628211ull;
    }
    return hash;
}

// Past this the bookkeeping's 32-bit offsets would not reach.
constexpr std::size_t kLargestText = 0x7FFFFFFFu;

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
        // Open addressing by key hash: line number + 1 of each key's first
        // entry, 0 for a free slot. Four bytes a slot, where a map of strings
        // cost a hundred.
        std::vector<std::uint32_t> slots;
    };
    std::unordered_map<std::string, Section> sections; // folded name -> its first section

    explicit Index(const IniFile& file) {
        Section* last = nullptr;
        const std::size_t count = file.lineCount();
        for (std::size_t i = 0; i < count; ++i) {
            const auto name = headerName(file.line(i));
            if (!name) {
                continue;
            }
            if (last != nullptr) {
                last->range.end = i;
            }
            const auto [at, added] = sections.try_emplace(folded(*name), Section{{i, count}, false, {}});
            last = added ? &at->second : nullptr;
        }
    }

    Section* find(std::string_view section) {
        const auto at = sections.find(folded(section));
        return at == sections.end() ? nullptr : &at->second;
    }

    // The slot holding key, or the free slot where it would go.
    static std::size_t slotOf(const IniFile& file, const Section& section, std::string_view key) {
        const std::size_t mask = section.slots.size() - 1;
        const std::string_view wanted = trim(key);
        for (std::size_t slot = keyHash(wanted) & mask;; slot = (slot + 1) & mask) {
            const std::uint32_t held = section.slots[slot];
            if (held == 0 || EqualsNoCase(parseEntry(file.line(held - 1))->key, wanted)) {
                return slot;
            }
        }
    }

    static void indexKeys(const IniFile& file, Section& section) {
        std::size_t entries = 0;
        for (std::size_t i = section.range.header + 1; i < section.range.end; ++i) {
            entries += parseEntry(file.line(i)) ? 1 : 0;
        }
        // At most 70% full keeps the probes short.
        std::size_t size = 8;
        while (size * 7 < entries * 10) {
            size *= 2;
        }
        section.slots.assign(size, 0);
        for (std::size_t i = section.range.header + 1; i < section.range.end; ++i) {
            if (const auto entry = parseEntry(file.line(i))) {
                std::uint32_t& slot = section.slots[slotOf(file, section, entry->key)];
                if (slot == 0) {
                    slot = static_cast<std::uint32_t>(i + 1);
                }
            }
        }
        section.keysIndexed = true;
    }

    std::optional<std::size_t> findKey(const IniFile& file, Section& section, std::string_view key) {
        if (!section.keysIndexed) {
            indexKeys(file, section);
        }
        const std::uint32_t held = section.slots[slotOf(file, section, key)];
        if (held == 0) {
            return std::nullopt;
        }
        return held - 1;
    }
};

IniFile::IniFile() = default;
IniFile::~IniFile() = default;
IniFile::IniFile(const IniFile& other)
    : m_text(other.m_text)
    , m_extra(other.m_extra)
    , m_extraUnused(other.m_extraUnused)
    , m_lines(other.m_lines) {}
IniFile& IniFile::operator=(const IniFile& other) {
    if (this != &other) {
        m_text = other.m_text;
        m_extra = other.m_extra;
        m_extraUnused = other.m_extraUnused;
        m_lines = other.m_lines;
        m_index.reset();
    }
    return *this;
}
IniFile::IniFile(IniFile&& other) noexcept = default;
IniFile& IniFile::operator=(IniFile&& other) noexcept = default;

IniFile IniFile::Parse(std::string_view bytes) {
    return ParseOwned(std::string(bytes.substr(0, kLargestText)));
}

// Each line is decoded on its own, so one line of Windows-1252 left by an
// older program or a hand edit does not turn the UTF-8 of the rest into mojibake.
IniFile IniFile::ParseOwned(std::string&& bytes) {
    IniFile file;
    if (bytes.size() > kLargestText) {
        bytes.resize(kLargestText);
    }
    file.m_text = std::move(bytes);
    const std::string_view all(file.m_text);
    // Every mark goes: a second one would stay on the first line until a
    // save dropped it, and the file would mean one thing before that save and
    // another after.
    std::size_t at = 0;
    while (all.substr(at, kUtf8Bom.size()) == kUtf8Bom) {
        at += kUtf8Bom.size();
    }
    // Counted first: a growing list would hold up to twice its lines.
    std::size_t count = 0;
    for (std::size_t from = at; from < all.size(); ++count) {
        const std::size_t end = all.find('\n', from);
        from = end == std::string_view::npos ? all.size() : end + 1;
    }
    file.m_lines.reserve(count);
    while (at < all.size()) {
        const std::size_t end = all.find('\n', at);
        std::size_t stop = end == std::string_view::npos ? all.size() : end;
        const std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
        if (stop > at && all[stop - 1] == '\r') {
            --stop;
        }
        const std::string_view text = all.substr(at, stop - at);
        if (IsValidUtf8(text)) {
            file.m_lines.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(text.size())});
        } else {
            file.m_lines.push_back(file.stored(Cp1252ToUtf8(text)));
        }
        at = next;
    }
    return file;
}

std::string_view IniFile::line(std::size_t index) const {
    const Line at = m_lines[index];
    const std::string& buffer = (at.size & kInExtra) != 0 ? m_extra : m_text;
    return std::string_view(buffer).substr(at.offset, at.size & ~kInExtra);
}

std::vector<std::string> IniFile::lines() const {
    std::vector<std::string> copy;
    copy.reserve(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        copy.emplace_back(line(i));
    }
    return copy;
}

IniFile::Line IniFile::stored(std::string_view text) {
    // Callers hand in text of their own, never a view into m_extra, which
    // this append may move.
    text = text.substr(0, kLargestText - std::min(kLargestText, m_extra.size()));
    const Line at{static_cast<std::uint32_t>(m_extra.size()), static_cast<std::uint32_t>(text.size()) | kInExtra};
    m_extra.append(text);
    return at;
}

void IniFile::forget(Line line) {
    if ((line.size & kInExtra) != 0) {
        m_extraUnused += line.size & ~kInExtra;
    }
}

void IniFile::replaceLine(std::size_t index, std::string_view text) {
    forget(m_lines[index]);
    m_lines[index] = stored(text);
    compactExtra();
}

void IniFile::insertLine(std::size_t index, std::string_view text) {
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), stored(text));
}

void IniFile::eraseLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        forget(m_lines[i]);
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(from),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(to));
    compactExtra();
}

// Changed lines leave their old text behind; once that is most of the second
// buffer, the live lines move to a fresh one.
void IniFile::compactExtra() {
    if (m_extraUnused < 4096 || m_extraUnused * 2 < m_extra.size()) {
        return;
    }
    std::string fresh;
    fresh.reserve(m_extra.size() - m_extraUnused);
    for (Line& at : m_lines) {
        if ((at.size & kInExtra) != 0) {
            const std::size_t size = at.size & ~kInExtra;
            const std::uint32_t offset = static_cast<std::uint32_t>(fresh.size());
            fresh.append(m_extra, at.offset, size);
            at.offset = offset;
        }
    }
    m_extra = std::move(fresh);
    m_extraUnused = 0;
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
    *this = ParseOwned(std::move(bytes));
    return true;
}

bool IniFile::save(const std::string& path, std::string& reason) const {
    return WriteFileAtomically(path, bytes(), reason);
}

std::string IniFile::bytes() const {
    std::size_t size = 0;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        size += line(i).size() + 2;
    }
    std::string out;
    out.reserve(size);
    writeTo([&out](std::string_view piece) {
        out += piece;
        return true;
    });
    return out;
}

void IniFile::writeTo(const std::function<bool(std::string_view)>& put) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (!put(line(i)) || !put("\r\n")) {
            return;
        }
    }
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
        m_index = std::make_unique<Index>(*this);
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
    return lookup.findKey(*this, *found, key);
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto line = findKey(section, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(parseEntry(this->line(*line))->value);
}

bool IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsStorableSection(section) || !IsStorableKey(key)) {
        return false;
    }
    value = withoutLineBreak(value);

    const auto range = findSection(section);
    if (!range) {
        // A blank line between sections keeps the file readable by hand.
        if (!m_lines.empty() && !line(m_lines.size() - 1).empty()) {
            insertLine(m_lines.size(), {});
        }
        // Built by appending: "[" + string trips a false -Wrestrict in GCC 12 at -O3.
        std::string header;
        header.reserve(section.size() + 2);
        header.append("[").append(section).append("]");
        insertLine(m_lines.size(), header);
        insertLine(m_lines.size(), std::string(key) + "=" + std::string(value));
        linesMoved();
        return true;
    }
    if (const auto at = findKey(section, key)) {
        const Entry entry = *parseEntry(line(*at));
        if (entry.value == value) {
            return false;
        }
        // Same key on the same line: the index stays right.
        replaceLine(*at, std::string(entry.key) + "=" + std::string(value));
        return true;
    }
    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (parseEntry(line(i))) {
            insertAt = i + 1;
        }
    }
    insertLine(insertAt, std::string(key) + "=" + std::string(value));
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
        const auto entry = parseEntry(line(i));
        if (entry && folded(entry->key) == wanted) {
            eraseLines(i, i + 1);
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
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    bool inside = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (const auto name = headerName(line(i))) {
            inside = folded(*name) == wanted;
        }
        if (inside) {
            forget(m_lines[i]);
        } else {
            kept.push_back(m_lines[i]);
        }
    }
    m_lines = std::move(kept);
    compactExtra();
    linesMoved();
    return true;
}

} // namespace corvane
