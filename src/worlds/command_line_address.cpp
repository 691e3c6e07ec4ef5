#include "worlds/command_line_address.h"

namespace corvane {

namespace {

std::string trimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::optional<WorldAddress> ParseCommandLineAddress(const std::string& commandLine) {
    std::string text = trimBlanks(commandLine);
    if (text.empty()) {
        return std::nullopt;
    }
    static const std::string scheme = "telnet://";
    static const std::string secureScheme = "telnets://";
    bool secure = false;
    auto at = text.find(scheme);
    if (const auto secureAt = text.find(secureScheme); secureAt != std::string::npos) {
        secure = true;
        text.replace(secureAt, secureScheme.size(), scheme);
        at = secureAt;
    }
    if (at != std::string::npos) {
        text = text.substr(at + scheme.size());
        // Browsers hand over "telnet://host:port/".
        while (!text.empty() && text.back() == '/') {
            text.pop_back();
        }
    }
    WorldAddress address;
    address.secure = secure;
    std::string rest;
    if (!text.empty() && text.front() == '[') {
        // An IPv6 literal keeps its colons: "[::1]:4201".
        const auto close = text.find(']');
        if (close == std::string::npos) {
            return std::nullopt;
        }
        address.host = text.substr(1, close - 1);
        rest = text.substr(close + 1);
        if (!rest.empty() && rest.front() == ':') {
            rest.front() = ' ';
        }
    } else {
        if (const auto colon = text.find(':'); colon != std::string::npos) {
            text[colon] = ' ';
        }
        const auto blank = text.find(' ');
        address.host = text.substr(0, blank);
        rest = blank == std::string::npos ? std::string() : text.substr(blank);
    }
    rest = trimBlanks(rest);
    address.port = rest.empty() ? (secure ? "992" : "23") : rest.substr(0, rest.find(' '));
    if (address.host.empty()) {
        return std::nullopt;
    }
    return address;
}

} // namespace corvane
