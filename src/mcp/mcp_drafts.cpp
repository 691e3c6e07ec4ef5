#include "mcp/mcp_drafts.h"

#include "settings/file_lock.h"
#include "settings/locked_file.h"

#include <nlohmann/json.hpp>

#include <filesystem>

namespace corvane {

namespace {

using nlohmann::json;

// What the file holds; a file that cannot be read holds nothing worth keeping.
std::vector<McpDraft> parse(std::string& bytes) {
    std::vector<McpDraft> drafts;
    if (bytes.empty() || bytes.size() > McpDrafts::kMaxFileBytes) {
        return drafts;
    }
    const json in = json::parse(bytes, nullptr, false);
    std::string().swap(bytes);
    if (!in.is_object() || !in.contains("editors") || !in["editors"].is_array()) {
        return drafts;
    }
    for (const json& item : in["editors"]) {
        if (!item.is_object()) {
            continue;
        }
        const auto text = [&](const char* key) {
            const auto found = item.find(key);
            return found != item.end() && found->is_string() ? found->get<std::string>() : std::string();
        };
        drafts.push_back(
            McpDraft{text("world"), text("package"), text("reference"), text("type"), text("name"), text("text")});
    }
    return drafts;
}

std::string format(const std::vector<McpDraft>& drafts) {
    json out = json::object();
    out["format"] = 1;
    out["editors"] = json::array();
    for (const McpDraft& draft : drafts) {
        out["editors"].push_back({{"world", draft.world},
                                  {"package", draft.package},
                                  {"reference", draft.reference},
                                  {"type", draft.type},
                                  {"name", draft.name},
                                  {"text", draft.text}});
    }
    // Bytes that are not UTF-8 are replaced rather than the draft refused.
    return out.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace

std::string McpDrafts::PathBeside(const std::string& settingsPath) {
    return (std::filesystem::path(settingsPath).parent_path() / kFileName).string();
}

bool McpDrafts::keep(const std::vector<McpDraft>& drafts, std::string& reason) const {
    if (drafts.empty()) {
        return true;
    }
    // Quit signals leave about a second: the wait for another writer is short.
    const LockedChange change =
        ChangeFileLocked(m_path, std::chrono::milliseconds(500), [&](std::string& bytes) -> std::optional<std::string> {
            std::vector<McpDraft> all = parse(bytes);
            all.insert(all.end(), drafts.begin(), drafts.end());
            return format(all);
        });
    reason = change.reason;
    return change.outcome == LockedChange::Outcome::Written;
}

std::vector<McpDraft> McpDrafts::take(const std::string& world) const {
    std::error_code code;
    if (world.empty() || !std::filesystem::exists(m_path, code)) {
        return {};
    }
    std::vector<McpDraft> taken;
    ChangeFileLocked(m_path, FileLock::kDefaultWait, [&](std::string& bytes) -> std::optional<std::string> {
        std::vector<McpDraft> left;
        for (McpDraft& draft : parse(bytes)) {
            (draft.world == world ? taken : left).push_back(std::move(draft));
        }
        if (taken.empty()) {
            return std::nullopt;
        }
        return format(left);
    });
    if (taken.empty()) {
        return taken;
    }
    // Nothing left for anyone: the file goes.
    ChangeFileLocked(m_path, std::chrono::milliseconds(0), [&](std::string& now) -> std::optional<std::string> {
        if (parse(now).empty()) {
            std::filesystem::remove(m_path, code);
        }
        return std::nullopt;
    });
    return taken;
}

} // namespace corvane
