#include "settings/ini_file.h"

#include "core/text_codec.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define CORVANE_HAVE_FSYNC 1
#elif defined(_WIN32)
#include <io.h>
#endif

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
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
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

std::string uniqueSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::uint64_t number = generator();
    std::string suffix = ".tmp";
    for (int i = 0; i < 12; ++i) {
        suffix += kDigits[number & 0xF];
        number >>= 4;
    }
    return suffix;
}

int syncToDisk(std::FILE* file) {
#if defined(CORVANE_HAVE_FSYNC)
    return ::fsync(::fileno(file));
#elif defined(_WIN32)
    return ::_commit(::_fileno(file));
#else
    (void)file;
    return 0;
#endif
}

// Writes bytes to a new file beside the target and renames it over the
// target, so a reader (or a crash) sees either the old file or the new one,
// never a half-written one.
bool writeAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::path target(path);
    if (fs::is_symlink(target, ignored)) {
        // Replace the file the link points at, not the link.
        std::error_code error;
        fs::path resolved = fs::canonical(target, error);
        if (!error) {
            target = std::move(resolved);
        }
    }

    const bool targetExists = fs::exists(target, ignored);
    if (targetExists) {
        // A file made read-only keeps its content, although renaming over it
        // would succeed.
        errno = 0;
        if (!FileHandle(std::fopen(target.string().c_str(), "r+b"))) {
            reason = errorText(errno);
            return false;
        }
    }

    fs::path temp;
    FileHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temp = target.parent_path() / (target.filename().string() + uniqueSuffix());
        errno = 0;
        file.reset(std::fopen(temp.string().c_str(), "wbx"));
        if (!file && errno != EEXIST) {
            reason = errorText(errno);
            return false;
        }
    }
    if (!file) {
        reason = errorText(EEXIST);
        return false;
    }

    int error = 0;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0 || syncToDisk(file.get()) != 0) {
        error = errno != 0 ? errno : EIO;
    }
    errno = 0;
    if (std::fclose(file.release()) != 0 && error == 0) {
        error = errno != 0 ? errno : EIO;
    }
    if (error == 0) {
        if (targetExists) {
            fs::permissions(temp, fs::status(target, ignored).permissions(), ignored);
        }
        std::error_code renameError;
        fs::rename(temp, target, renameError);
        if (!renameError) {
            return true;
        }
        reason = renameError.message();
    } else {
        reason = errorText(error);
    }
    fs::remove(temp, ignored);
    return false;
}

} // namespace

IniFile::IniFile(std::vector<std::string> lines)
    : m_lines(std::move(lines)) {}

bool IniFile::load(const std::string& path, std::string& reason) {
    m_lines.clear();
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
    std::string bytes;
    char buffer[8192];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, count);
    }
    if (std::ferror(file.get()) != 0) {
        reason = errorText(errno);
        return false;
    }
    m_lines = splitLines(bytes);
    return true;
}

bool IniFile::save(const std::string& path, std::string& reason) const {
    return writeAtomically(path, bytes(), reason);
}

std::string IniFile::bytes() const {
    std::string out;
    for (const std::string& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<IniFile::SectionRange> IniFile::findSection(std::string_view section, std::size_t from) const {
    for (std::size_t i = from; i < m_lines.size(); ++i) {
        const auto name = headerName(m_lines[i]);
        if (!name || !EqualsNoCase(*name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < m_lines.size() && !headerName(m_lines[end])) {
            ++end;
        }
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto range = findSection(section);
    if (!range) {
        return std::nullopt;
    }
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const auto entry = parseEntry(m_lines[i]);
        if (entry && EqualsNoCase(entry->key, key)) {
            return std::string(entry->value);
        }
    }
    return std::nullopt;
}

bool IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    // A line break would end the entry early and turn the rest into lines of
    // their own; a reader sees only the first line anyway.
    value = value.substr(0, value.find_first_of("\r\n"));

    const auto range = findSection(section);
    if (!range) {
        // A blank line between sections keeps the file readable by hand.
        if (!m_lines.empty() && !m_lines.back().empty()) {
            m_lines.emplace_back();
        }
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(std::string(key) + "=" + std::string(value));
        return true;
    }
    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        const auto entry = parseEntry(m_lines[i]);
        if (!entry) {
            continue;
        }
        if (EqualsNoCase(entry->key, key)) {
            if (entry->value == value) {
                return false;
            }
            std::string line = std::string(entry->key) + "=" + std::string(value);
            m_lines[i] = std::move(line);
            return true;
        }
        insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   std::string(key) + "=" + std::string(value));
    return true;
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
    const auto range = findSection(section);
    if (!range) {
        return false;
    }
    bool changed = false;
    for (std::size_t i = range->end; i-- > range->header + 1;) {
        const auto entry = parseEntry(m_lines[i]);
        if (entry && EqualsNoCase(entry->key, key)) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            changed = true;
        }
    }
    return changed;
}

bool IniFile::removeSection(std::string_view section) {
    // Every copy goes: removing only the first would let a later duplicate
    // show through on the next read.
    bool changed = false;
    while (const auto range = findSection(section)) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(range->end));
        changed = true;
    }
    return changed;
}

} // namespace corvane
