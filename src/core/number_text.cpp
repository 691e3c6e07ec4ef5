#include "core/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace corvane {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

} // namespace

double NumericValue(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    text.remove_prefix(pos);

    // Collect the number in the one spelling from_chars accepts: no "+", "e"
    // for the exponent. from_chars also ignores the locale, unlike strtod.
    std::string number;
    pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-') {
            number += '-';
        }
        ++pos;
    }
    const std::size_t intStart = pos;
    pos = skipDigits(text, pos);
    std::size_t digitCount = pos - intStart;
    number.append(text.substr(intStart, pos - intStart));
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fracStart = pos + 1;
        const std::size_t fracEnd = skipDigits(text, fracStart);
        digitCount += fracEnd - fracStart;
        number += '.';
        number.append(text.substr(fracStart, fracEnd - fracStart));
        pos = fracEnd;
    }
    if (digitCount == 0) {
        return 0.0;
    }
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e' || text[pos] == 'D' || text[pos] == 'd')) {
        std::size_t expPos = pos + 1;
        std::string exponent = "e";
        if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-')) {
            if (text[expPos] == '-') {
                exponent += '-';
            }
            ++expPos;
        }
        const std::size_t expEnd = skipDigits(text, expPos);
        // A letter without digits after it is not part of the number.
        if (expEnd > expPos) {
            exponent.append(text.substr(expPos, expEnd - expPos));
            number += exponent;
        }
    }

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec != std::errc()) {
        // Too large or too small for a double: readers treat it like text
        // that is no number rather than carry an infinity into a conversion.
        return 0.0;
    }
    return value == 0.0 ? 0.0 : value;
}

std::string FormatPlain(double value) {
    if (value == 0.0) {
        return "0"; // never "-0"
    }
    // Fifteen significant digits, as many as a double holds exactly in
    // decimal, so 0.1 prints as "0.1" and not with binary noise.
    std::array<char, 64> buffer{};
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    if (ec != std::errc()) {
        return "0";
    }
    std::string text(buffer.data(), end);
    for (char& c : text) {
        if (c == 'e') {
            c = 'E';
        }
    }
    return text;
}

std::string FormatNumber(double value) {
    std::string text = FormatPlain(value);
    if (text.front() != '-') {
        text.insert(text.begin(), ' ');
    }
    return text;
}

} // namespace corvane
