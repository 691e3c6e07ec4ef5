#include "conversations/conversation_settings.h"

#include "core/text_codec.h"
#include "settings/settings.h"


namespace corvane {

namespace {

constexpr const char* kSection = "Conversations";
// Far more than anyone keeps; the reading stops at the first gap anyway.
constexpr int kMaxNumbered = 100;

bool applySwitch(ConversationRoute& route, const std::string& text, ConversationSettings& settings) {
    const std::optional<RouteLines> lines = ReadRouteLines(text);
    if (!lines) {
        settings.problems.push_back(route.key + "=" + text + ": expected on, instead or off");
        return false;
    }
    route.instead = *lines == RouteLines::Instead;
    route.enabled = *lines != RouteLines::Off;
    return true;
}

bool readKind(const std::string& text, ConversationKind& kind) {
    const std::string lower = ToLowerAscii(text);
    if (lower == "page") {
        kind = ConversationKind::Page;
    } else if (lower == "whisper") {
        kind = ConversationKind::Whisper;
    } else {
        return false;
    }
    return true;
}

bool readMode(const std::string& text, MatchMode& mode) {
    const std::string lower = ToLowerAscii(text);
    if (lower == "plain") {
        mode = MatchMode::Plain;
    } else if (lower == "words") {
        mode = MatchMode::Words;
    } else if (lower == "regex") {
        mode = MatchMode::Regex;
    } else {
        return false;
    }
    return true;
}

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::vector<std::string> SplitConversationFields(const std::string& value, std::size_t maxFields) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at <= value.size() && fields.size() + 1 < maxFields) {
        while (at < value.size() && value[at] == ' ') {
            ++at;
        }
        if (at < value.size() && value[at] == '"') {
            const std::size_t close = value.find('"', at + 1);
            if (close != std::string::npos) {
                fields.push_back(value.substr(at + 1, close - at - 1));
                const std::size_t comma = value.find(',', close);
                at = comma == std::string::npos ? value.size() + 1 : comma + 1;
                continue;
            }
        }
        const std::size_t comma = value.find(',', at);
        if (comma == std::string::npos) {
            fields.push_back(trimmed(std::string_view(value).substr(std::min(at, value.size()))));
            return fields;
        }
        fields.push_back(trimmed(std::string_view(value).substr(at, comma - at)));
        at = comma + 1;
    }
    if (at <= value.size()) {
        // The last field is the rest of the line, commas and all.
        std::string rest = value.substr(std::min(at, value.size()));
        const std::size_t first = rest.find_first_not_of(' ');
        fields.push_back(first == std::string::npos ? std::string() : rest.substr(first));
    }
    return fields;
}

std::optional<RouteLines> ReadRouteLines(const std::string& text) {
    const std::string word = ToLowerAscii(text);
    if (word.empty() || word == "on" || word == "true") {
        return RouteLines::On;
    }
    if (word == "instead") {
        return RouteLines::Instead;
    }
    if (word == "off" || word == "false") {
        return RouteLines::Off;
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> ReadNumberedRoutes(const std::string& name,
                                                                    const std::string& path) {
    std::vector<std::pair<std::string, std::string>> numbered;
    for (int i = 1; i <= kMaxNumbered; ++i) {
        std::string key = name + " " + std::to_string(i);
        std::string value = ReadSetting(kSection, key, path);
        if (value.empty()) {
            break;
        }
        numbered.emplace_back(std::move(key), std::move(value));
    }
    return numbered;
}

bool ReadRouteOpens(const std::string& key, const std::string& path) {
    const std::string value = ToLowerAscii(ReadSetting(kSection, key + " Opens", path));
    return !(value == "false" || value == "no" || value == "off" || value == "0");
}

ConversationSettings ReadConversationSettings(const std::string& path) {
    ConversationSettings settings;
    for (ConversationRoute route : BuiltInConversationRoutes()) {
        applySwitch(route, ReadSetting(kSection, route.key, path), settings);
        route.openOnFirst = ReadRouteOpens(route.key, path);
        settings.routes.push_back(std::move(route));
    }
    for (const auto& [key, value] : ReadNumberedRoutes("Puppet", path)) {
        const std::vector<std::string> fields = SplitConversationFields(value, 4);
        if (fields.size() < 3 || fields[0].empty() || fields[1].empty()) {
            settings.problems.push_back(key + "=" + value + ": expected name, line prefix, send prefix");
            continue;
        }
        ConversationRoute route = PuppetRoute(key, fields[0], fields[1], fields[2]);
        route.openOnFirst = ReadRouteOpens(route.key, path);
        if (fields.size() < 4 || applySwitch(route, fields[3], settings)) {
            settings.routes.push_back(std::move(route));
        }
    }
    for (const auto& [key, value] : ReadNumberedRoutes("Route", path)) {
        const std::vector<std::string> fields = SplitConversationFields(value, 4);
        ConversationRoute route;
        route.key = key;
        if (fields.size() < 4 || fields[3].empty() || !readKind(fields[0], route.kind) ||
            !readMode(fields[2], route.mode)) {
            settings.problems.push_back(
                key + "=" + value + ": expected page or whisper, on/instead/off, plain/words/regex, pattern");
            continue;
        }
        route.pattern = fields[3];
        route.sendPrefix = route.kind == ConversationKind::Whisper ? "whisper $who=" : "page $who=";
        route.openOnFirst = ReadRouteOpens(route.key, path);
        if (applySwitch(route, fields[1], settings)) {
            settings.routes.push_back(std::move(route));
        }
    }
    settings.doNotDisturb = ReadFlag(kSection, "DoNotDisturb", path);
    return settings;
}

void WriteDoNotDisturb(bool on, const std::string& path) {
    WriteFlag(kSection, "DoNotDisturb", on, path);
}

} // namespace corvane
