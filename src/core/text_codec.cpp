#include "core/text_codec.h"

#include <array>

namespace corvane {

namespace {

constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// UTF-8 of every Windows-1252 byte, built once: the line processor appends
// these in its inner loop.
struct Utf8Table {
    std::array<std::array<char, 4>, 256> bytes{};
    std::array<unsigned char, 256> length{};
    Utf8Table() {
        for (int b = 0; b < 256; ++b) {
            std::string s;
            AppendUtf8(s, Cp1252ToCodePoint(static_cast<unsigned char>(b)));
            length[b] = static_cast<unsigned char>(s.size());
            for (std::size_t i = 0; i < s.size(); ++i) {
                bytes[b][i] = s[i];
            }
        }
    }
};

const Utf8Table& utf8Table() {
    static const Utf8Table table;
    return table;
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

int CodePointToCp1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<int>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendCp1252AsUtf8(std::string& out, unsigned char byte) {
    const auto& table = utf8Table();
    out.append(table.bytes[byte].data(), table.length[byte]);
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        AppendCp1252AsUtf8(out, static_cast<unsigned char>(c));
    }
    return out;
}

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    constexpr char32_t kReplacement = 0xFFFD;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kReplacement;
    }
    if (pos + static_cast<std::size_t>(extra) >= s.size()) {
        ++pos;
        return kReplacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const unsigned char b = byte(pos + static_cast<std::size_t>(i));
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return cp;
}

bool IsValidUtf8(std::string_view s) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(s, pos);
        if (cp == 0xFFFD && !(pos - start == 3 && s.substr(start, 3) == "\xEF\xBF\xBD")) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(utf8, pos);
        if (cp == 0xFFFD && utf8.substr(start, pos - start) != "\xEF\xBF\xBD") {
            return std::nullopt;
        }
        const int b = CodePointToCp1252(cp);
        if (b < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(b));
    }
    return out;
}

std::string Utf8ToCp1252KeepingOthers(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const int b = CodePointToCp1252(NextCodePoint(utf8, pos));
        if (b >= 0) {
            out.push_back(static_cast<char>(b));
        } else {
            out.append(utf8.substr(start, pos - start));
        }
    }
    return out;
}

std::string DecodeLegacyText(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = 0;
    std::size_t pos = 0;
    while (pos < s.size()) {
        NextCodePoint(s, pos);
        ++n;
    }
    return n;
}

std::string Utf8Left(std::string_view s, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n && pos < s.size(); ++i) {
        NextCodePoint(s, pos);
    }
    return std::string(s.substr(0, pos));
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = asciiLower(c);
    }
    return out;
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    if (needle.size() > haystack.size()) {
        return std::string_view::npos;
    }
    const char first = asciiLower(needle[0]);
    const std::size_t last = haystack.size() - needle.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (asciiLower(haystack[i]) != first) {
            continue;
        }
        std::size_t j = 1;
        while (j < needle.size() && asciiLower(haystack[i + j]) == asciiLower(needle[j])) {
            ++j;
        }
        if (j == needle.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace corvane
