#include "conversations/conversation_settings.h"

#include "core/text_codec.h"
#include "settings/settings.h"

#include <cctype>

namespace corvane {

namespace {

constexpr const char* kSection = "Conversations";
// Far more than anyone keeps; the reading stops at the first gap anyway.
constexpr int kMaxNumbered = 100;

enum class Switch { On, Instead, Off, Unknown };

Switch readSwitch(std::string text) {
    text = ToLowerAscii(text);
    if (text.empty() || text == "on" || text == "true") {
        return Switch::On;
    }
    if (text == "instead") {
        return Switch::Instead;
    }
    if (text == "off" || text == "false") {
        return Switch::Off;
    }
    return Switch::Unknown;
}

bool applySwitch(ConversationRoute& route, const std::string& text, ConversationSettings& settings) {
    switch (readSwitch(text)) {
    case Switch::On:
        return true;
    case Switch::Instead:
        route.instead = true;
        return true;
    case Switch::Off:
        route.enabled = false;
        return true;
    case Switch::Unknown:
        break;
    }
    settings.problems.push_back(route.key + "=" + text + ": expected on, instead or off");
    return false;
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

namespace {

// "<route> Opens=False": the route's window waits in the list instead of opening.
void readOpens(ConversationRoute& route, const std::string& path) {
    std::string value = ReadSetting(kSection, route.key + " Opens", path);
    for (char& c : value) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    route.openOnFirst = !(value == "false" || value == "no" || value == "off" || value == "0");
}

} // namespace

ConversationSettings ReadConversationSettings(const std::string& path) {
    ConversationSettings settings;
    for (ConversationRoute route : BuiltInConversationRoutes()) {
        applySwitch(route, ReadSetting(kSection, route.key, path), settings);
        readOpens(route, path);
        settings.routes.push_back(std::move(route));
    }
    for (int i = 1; i <= kMaxNumbered; ++i) {
        const std::string key = "Puppet " + std::to_string(i);
        const std::string value = ReadSetting(kSection, key, path);
        if (value.empty()) {
            break;
        }
        const std::vector<std::string> fields = SplitConversationFields(value, 4);
        if (fields.size() < 3 || fields[0].empty() || fields[1].empty()) {
            settings.problems.push_back(key + "=" + value + ": expected name, line prefix, send prefix");
            continue;
        }
        ConversationRoute route = PuppetRoute(key, fields[0], fields[1], fields[2]);
        readOpens(route, path);
        if (fields.size() < 4 || applySwitch(route, fields[3], settings)) {
            settings.routes.push_back(std::move(route));
        }
    }
    for (int i = 1; i <= kMaxNumbered; ++i) {
        const std::string key = "Route " + std::to_string(i);
        const std::string value = ReadSetting(kSection, key, path);
        if (value.empty()) {
            break;
        }
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
        readOpens(route, path);
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
