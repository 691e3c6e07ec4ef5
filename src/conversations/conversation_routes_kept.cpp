#include "conversations/conversation_routes_kept.h"

#include "settings/file_lock.h"
#include "settings/locked_file.h"

#include <nlohmann/json.hpp>

#include <filesystem>

namespace corvane {

namespace {

using nlohmann::json;

int linesNumber(RouteLines lines) {
    return static_cast<int>(lines);
}

RouteLines linesOf(const json& item) {
    const auto found = item.find("lines");
    const int number = found != item.end() && found->is_number_integer() ? found->get<int>() : 0;
    return number == 1 ? RouteLines::Instead : number == 2 ? RouteLines::Off : RouteLines::On;
}

std::string textOf(const json& item, const char* key) {
    const auto found = item.find(key);
    return found != item.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool flagOf(const json& item, const char* key) {
    const auto found = item.find(key);
    return found == item.end() || !found->is_boolean() || found->get<bool>();
}

std::vector<std::string> textsOf(const json& in, const char* key) {
    std::vector<std::string> texts;
    const auto found = in.find(key);
    if (found != in.end() && found->is_array()) {
        for (const json& item : *found) {
            if (item.is_string()) {
                texts.push_back(item.get<std::string>());
            }
        }
    }
    return texts;
}

const json& arrayOf(const json& in, const char* key) {
    static const json empty = json::array();
    const auto found = in.find(key);
    return found != in.end() && found->is_array() ? *found : empty;
}

std::string format(const ConversationRoutesDraft& draft) {
    json out = json::object();
    out["format"] = 1;
    out["builtIns"] = json::array();
    for (const auto& each : draft.builtIns) {
        out["builtIns"].push_back({{"key", each.key}, {"lines", linesNumber(each.lines)}, {"opens", each.opens}});
    }
    out["puppets"] = json::array();
    for (const auto& each : draft.puppets) {
        out["puppets"].push_back({{"name", each.name},
                                  {"linePrefix", each.linePrefix},
                                  {"sendPrefix", each.sendPrefix},
                                  {"lines", linesNumber(each.lines)},
                                  {"opens", each.opens}});
    }
    out["routes"] = json::array();
    for (const auto& each : draft.routes) {
        out["routes"].push_back({{"whisper", each.whisper},
                                 {"lines", linesNumber(each.lines)},
                                 {"mode", each.mode},
                                 {"pattern", each.pattern},
                                 {"opens", each.opens}});
    }
    out["unreadPuppets"] = draft.unreadPuppets;
    out["unreadRoutes"] = draft.unreadRoutes;
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<ConversationRoutesDraft> parse(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > ConversationRoutesKept::kMaxFileBytes) {
        return std::nullopt;
    }
    const json in = json::parse(bytes, nullptr, false);
    if (!in.is_object() || !in.contains("routes")) {
        return std::nullopt;
    }
    ConversationRoutesDraft draft;
    for (const json& item : arrayOf(in, "builtIns")) {
        if (item.is_object()) {
            draft.builtIns.push_back({textOf(item, "key"), linesOf(item), flagOf(item, "opens")});
        }
    }
    for (const json& item : arrayOf(in, "puppets")) {
        if (item.is_object()) {
            draft.puppets.push_back({textOf(item, "name"), textOf(item, "linePrefix"), textOf(item, "sendPrefix"),
                                     linesOf(item), flagOf(item, "opens")});
        }
    }
    for (const json& item : arrayOf(in, "routes")) {
        if (item.is_object()) {
            const auto whisper = item.find("whisper");
            const std::string mode = textOf(item, "mode");
            draft.routes.push_back({whisper != item.end() && whisper->is_boolean() && whisper->get<bool>(),
                                    linesOf(item), mode.empty() ? "regex" : mode, textOf(item, "pattern"),
                                    flagOf(item, "opens")});
        }
    }
    draft.unreadPuppets = textsOf(in, "unreadPuppets");
    draft.unreadRoutes = textsOf(in, "unreadRoutes");
    return draft;
}

} // namespace

ConversationRoutesKept ConversationRoutesKept::Beside(const std::string& settingsPath) {
    return ConversationRoutesKept((std::filesystem::path(settingsPath).parent_path() / kFileName).string());
}

bool ConversationRoutesKept::keep(const ConversationRoutesDraft& draft, std::string& reason) const {
    // Quit signals leave about a second: the wait for another writer is short.
    const LockedChange change = ChangeFileLocked(
        m_path, std::chrono::milliseconds(500), [&](std::string&) -> std::optional<std::string> { return format(draft); });
    reason = change.reason;
    return change.outcome == LockedChange::Outcome::Written;
}

bool ConversationRoutesKept::waiting() const {
    std::error_code code;
    return std::filesystem::exists(m_path, code);
}

std::optional<ConversationRoutesDraft> ConversationRoutesKept::take() const {
    if (!waiting()) {
        return std::nullopt;
    }
    std::optional<ConversationRoutesDraft> taken;
    ChangeFileLocked(m_path, FileLock::kDefaultWait, [&](std::string& bytes) -> std::optional<std::string> {
        taken = parse(bytes);
        std::error_code code;
        std::filesystem::remove(m_path, code);
        return std::nullopt;
    });
    return taken;
}

} // namespace corvane
