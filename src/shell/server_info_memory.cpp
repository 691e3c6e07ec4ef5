#include "shell/server_info_memory.h"

#include "settings/locked_file.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

using nlohmann::json;

json entryOf(const std::string& world, const KnownServerInfo& info) {
    json variables = json::array();
    std::size_t bytes = 0;
    for (const MsspVariable& variable : info.report.variables) {
        std::size_t size = variable.name.size();
        for (const std::string& value : variable.values) {
            size += value.size();
        }
        if (bytes + size > ServerInfoMemory::kMaxBytesPerWorld) {
            break;
        }
        bytes += size;
        variables.push_back({{"name", variable.name}, {"values", variable.values}});
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(info.received.time_since_epoch()).count();
    return {{"world", world}, {"received", seconds}, {"variables", std::move(variables)}};
}

std::optional<KnownServerInfo> infoOf(const json& entry) {
    const auto received = entry.find("received");
    const auto variables = entry.find("variables");
    if (received == entry.end() || !received->is_number_integer() || variables == entry.end() ||
        !variables->is_array()) {
        return std::nullopt;
    }
    KnownServerInfo info;
    info.received = TimePoint(std::chrono::seconds(received->get<std::int64_t>()));
    for (const json& item : *variables) {
        const auto name = item.find("name");
        const auto values = item.find("values");
        if (!item.is_object() || name == item.end() || !name->is_string() || values == item.end() ||
            !values->is_array()) {
            continue;
        }
        MsspVariable variable{name->get<std::string>(), {}};
        for (const json& value : *values) {
            if (value.is_string()) {
                variable.values.push_back(value.get<std::string>());
            }
        }
        if (info.report.variables.size() < MsspReport::kMaxVariables && !variable.values.empty()) {
            info.report.variables.push_back(std::move(variable));
        }
    }
    return info;
}

json worldsOf(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > ServerInfoMemory::kMaxFileBytes) {
        return json::array();
    }
    json in = json::parse(bytes, nullptr, false);
    if (!in.is_object() || !in.contains("worlds") || !in["worlds"].is_array()) {
        return json::array();
    }
    return std::move(in["worlds"]);
}

bool isWorld(const json& entry, const std::string& world) {
    const auto name = entry.find("world");
    return entry.is_object() && name != entry.end() && name->is_string() && name->get<std::string>() == world;
}

} // namespace

ServerInfoMemory ServerInfoMemory::Beside(const std::string& settingsPath) {
    return ServerInfoMemory((std::filesystem::path(settingsPath).parent_path() / kFileName).string());
}

std::optional<KnownServerInfo> ServerInfoMemory::recall(const std::string& world) const {
    std::error_code code;
    const auto size = std::filesystem::file_size(m_path, code);
    if (code || size > kMaxFileBytes) {
        return std::nullopt;
    }
    std::ifstream file(m_path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    for (const json& entry : worldsOf(bytes.str())) {
        if (isWorld(entry, world)) {
            return infoOf(entry);
        }
    }
    return std::nullopt;
}

bool ServerInfoMemory::keep(const std::string& world, const KnownServerInfo& info, std::string& reason) const {
    const LockedChange change =
        ChangeFileLocked(m_path, kInteractiveLockWait, [&](std::string& bytes) -> std::optional<std::string> {
            json worlds = json::array({entryOf(world, info)});
            for (json& entry : worldsOf(bytes)) {
                if (worlds.size() >= kMaxWorlds) {
                    break;
                }
                if (entry.is_object() && !isWorld(entry, world)) {
                    worlds.push_back(std::move(entry));
                }
            }
            const json out = {{"format", 1}, {"worlds", std::move(worlds)}};
            return out.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
        });
    reason = change.reason;
    return change.outcome != LockedChange::Outcome::Failed;
}

} // namespace corvane
