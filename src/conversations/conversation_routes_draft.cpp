#include "conversations/conversation_routes_draft.h"

#include "conversations/conversation_route.h"
#include "conversations/conversation_settings.h"
#include "core/text_codec.h"
#include "settings/settings.h"

namespace corvane {

namespace {

constexpr const char* kSection = "Conversations";

bool readLines(const std::string& text, RouteLines& lines) {
    const std::optional<RouteLines> read = ReadRouteLines(text);
    if (read) {
        lines = *read;
    }
    return read.has_value();
}

const char* linesWord(RouteLines lines) {
    switch (lines) {
    case RouteLines::Instead:
        return "instead";
    case RouteLines::Off:
        return "off";
    case RouteLines::On:
        break;
    }
    return "on";
}

// A field that starts or ends with a blank, or holds a comma, keeps its
// shape only in double quotes.
std::string quoted(const std::string& field) {
    return "\"" + field + "\"";
}

std::optional<std::string> opensValue(bool opens) {
    return opens ? std::nullopt : std::optional<std::string>("False");
}

} // namespace

ConversationRoutesDraft ReadConversationRoutesDraft(const std::string& path) {
    ConversationRoutesDraft draft;
    for (const ConversationRoute& route : BuiltInConversationRoutes()) {
        ConversationRoutesDraft::BuiltIn builtIn{route.key};
        readLines(ReadSetting(kSection, route.key, path), builtIn.lines);
        builtIn.opens = ReadRouteOpens(route.key, path);
        draft.builtIns.push_back(builtIn);
    }
    for (const auto& [key, value] : ReadNumberedRoutes("Puppet", path)) {
        const std::vector<std::string> fields = SplitConversationFields(value, 4);
        ConversationRoutesDraft::Puppet puppet;
        if (fields.size() < 3 || fields[0].empty() || fields[1].empty() ||
            (fields.size() == 4 && !readLines(fields[3], puppet.lines))) {
            draft.unreadPuppets.push_back(value);
            continue;
        }
        puppet.name = fields[0];
        puppet.linePrefix = fields[1];
        puppet.sendPrefix = fields[2];
        puppet.opens = ReadRouteOpens(key, path);
        draft.puppets.push_back(puppet);
    }
    for (const auto& [key, value] : ReadNumberedRoutes("Route", path)) {
        const std::vector<std::string> fields = SplitConversationFields(value, 4);
        ConversationRoutesDraft::Route route;
        const std::string kind = fields.empty() ? std::string() : ToLowerAscii(fields[0]);
        const std::string mode = fields.size() < 3 ? std::string() : ToLowerAscii(fields[2]);
        if (fields.size() < 4 || fields[3].empty() || (kind != "page" && kind != "whisper") ||
            (mode != "plain" && mode != "words" && mode != "regex") || !readLines(fields[1], route.lines)) {
            draft.unreadRoutes.push_back(value);
            continue;
        }
        route.whisper = kind == "whisper";
        route.mode = mode;
        route.pattern = fields[3];
        route.opens = ReadRouteOpens(key, path);
        draft.routes.push_back(route);
    }
    return draft;
}

bool WriteConversationRoutesDraft(const ConversationRoutesDraft& draft, const ConversationRoutesDraft& before,
                                  const std::string& path) {
    std::vector<SettingChange> changes;
    for (std::size_t i = 0; i < draft.builtIns.size(); ++i) {
        const ConversationRoutesDraft::BuiltIn& now = draft.builtIns[i];
        const bool same = i < before.builtIns.size() && before.builtIns[i] == now;
        if (!same) {
            changes.push_back({now.key, linesWord(now.lines)});
            changes.push_back({now.key + " Opens", opensValue(now.opens)});
        }
    }
    std::vector<std::string> puppets;
    for (const ConversationRoutesDraft::Puppet& puppet : draft.puppets) {
        puppets.push_back(quoted(puppet.name) + "," + quoted(puppet.linePrefix) + "," + quoted(puppet.sendPrefix) +
                          "," + linesWord(puppet.lines));
    }
    std::vector<std::string> routes;
    for (const ConversationRoutesDraft::Route& route : draft.routes) {
        routes.push_back(std::string(route.whisper ? "whisper" : "page") + "," + linesWord(route.lines) + "," +
                         route.mode + "," + route.pattern);
    }
    const auto numbered = [&](const std::string& name, const std::vector<std::string>& values,
                              const std::vector<std::string>& unread, std::size_t countBefore,
                              const auto& opensOf) {
        std::size_t n = 0;
        for (; n < values.size() + unread.size(); ++n) {
            const std::string key = name + " " + std::to_string(n + 1);
            changes.push_back({key, n < values.size() ? values[n] : unread[n - values.size()]});
            changes.push_back({key + " Opens", n < values.size() ? opensValue(opensOf(n)) : std::nullopt});
        }
        for (; n < countBefore; ++n) {
            const std::string key = name + " " + std::to_string(n + 1);
            changes.push_back({key, std::nullopt});
            changes.push_back({key + " Opens", std::nullopt});
        }
    };
    numbered("Puppet", puppets, draft.unreadPuppets, before.puppets.size() + before.unreadPuppets.size(),
             [&](std::size_t n) { return draft.puppets[n].opens; });
    numbered("Route", routes, draft.unreadRoutes, before.routes.size() + before.unreadRoutes.size(),
             [&](std::size_t n) { return draft.routes[n].opens; });
    return ChangeSettings(kSection, changes, path);
}

} // namespace corvane
