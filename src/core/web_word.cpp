#include "core/web_word.h"

#include "core/text_codec.h"

#include <array>

namespace corvane {

bool IsUrlChar(char32_t c) {
    return c > 32 && c < 128 && c != U'"';
}

std::string WebWordAt(std::u32string_view line, std::size_t position) {
    const std::size_t length = line.size();
    if (length == 0 || position < 1) {
        return {};
    }
    std::size_t p = std::min(position, length);
    const auto at = [&](std::size_t onePosition) { return line[onePosition - 1]; };
    while (IsUrlChar(at(p)) && p > 1) {
        --p;
    }
    std::size_t e = std::min(position, length);
    while (IsUrlChar(at(e)) && e < length) {
        ++e;
    }
    if (!IsUrlChar(at(p)) && p < length) {
        ++p;
    }
    if (!IsUrlChar(at(e)) && e > 1) {
        --e;
    }
    if (e < p) {
        return {};
    }
    std::string word;
    for (std::size_t i = p; i <= e; ++i) {
        AppendUtf8(word, at(i));
    }
    return word;
}

bool IsWebAddress(std::string_view word) {
    const std::size_t marker = FindNoCase(word, "://");
    if (marker == std::string_view::npos) {
        return false;
    }
    const std::string_view scheme = word.substr(0, marker + 1);
    // https joined the classic list: nearly every address a world prints today uses it.
    static constexpr std::array<std::string_view, 7> schemes = {
        "http:", "https:", "ftp:", "telnet:", "mailto:", "gopher:", "news:"};
    for (std::string_view known : schemes) {
        if (scheme == known) {
            return true;
        }
    }
    return false;
}

} // namespace corvane
