#include "text_format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>

namespace practice_world {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string toLower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lowerAscii);
    return result;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string joinWithAnd(const std::vector<std::string>& names) {
    std::string result;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            result += i + 1 == names.size() ? ", and " : ", ";
        result += names[i];
    }
    return result;
}

std::string formatIdle(std::chrono::seconds idle) {
    const long long s = std::max<long long>(0, idle.count());
    if (s < 60)
        return std::to_string(s) + "s";
    if (s < 3600)
        return std::to_string(s / 60) + "m";
    if (s < 86400)
        return std::to_string(s / 3600) + "h";
    return std::to_string(s / 86400) + "d";
}

std::string formatOnFor(std::chrono::seconds online) {
    const long long s = std::max<long long>(0, online.count());
    const long long days = s / 86400;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02lld:%02lld", s % 86400 / 3600, s % 3600 / 60);
    return days > 0 ? std::to_string(days) + "d " + clock : std::string(clock);
}

std::string formatDate(WallTime when) {
    const std::time_t t = WallClock::to_time_t(when);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y", &parts);
    return text;
}

std::string padRight(std::string_view text, std::size_t width) {
    std::string result(text);
    if (result.size() < width)
        result.append(width - result.size(), ' ');
    return result;
}

std::string padLeft(std::string_view text, std::size_t width) {
    std::string result(text);
    if (result.size() < width)
        result.insert(0, width - result.size(), ' ');
    return result;
}

} // namespace practice_world
