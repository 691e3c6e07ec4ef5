#include "rules/imported_scripts.h"

#include "settings/atomic_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvane {

namespace {

constexpr const char* kSourceMark = "-- source: ";

// Two files of the same name from different folders keep apart.
std::string shortHash(const std::string& text) {
    std::uint32_t hash = 2166136261U;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 16777619U;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", hash);
    return hex;
}

bool makeFolder(const std::string& folder, std::string& reason) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        reason = "the folder " + folder + " could not be made (" + code.message() + ")";
        return false;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, code);
    return true;
}

} // namespace

std::string ScriptFolderBeside(const std::string& settingsPath) {
    return (std::filesystem::path(settingsPath).parent_path() / "corvane-scripts").string();
}

std::string SafeFileName(const std::string& name) {
    std::string safe;
    for (const char c : name) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == ' ' || c == '-' || c == '_' || (c == '.' && !safe.empty());
        safe += keep ? c : '_';
    }
    return safe.empty() ? std::string("_") : safe;
}

ImportedScripts ImportedScripts::Beside(const std::string& settingsPath) {
    return ImportedScripts((std::filesystem::path(ScriptFolderBeside(settingsPath)) / kFolderName).string());
}

std::string ImportedScripts::pathOf(const std::string& source) const {
    const std::string base = std::filesystem::path(source).filename().string();
    return (std::filesystem::path(m_folder) / (SafeFileName(base) + "-" + shortHash(source) + ".lua")).string();
}

bool ImportedScripts::store(const std::string& source, const std::string& script, std::string& reason) const {
    const std::string path = pathOf(source);
    if (script.empty()) {
        std::error_code code;
        std::filesystem::remove(path, code);
        return true;
    }
    if (!makeFolder(m_folder, reason)) {
        return false;
    }
    return WriteFileAtomically(path, kSourceMark + source + "\n" + script, reason);
}

std::vector<ImportedScripts::Script> ImportedScripts::load(std::vector<std::string>& problems) const {
    std::vector<Script> scripts;
    std::error_code code;
    if (!std::filesystem::is_directory(m_folder, code)) {
        return scripts;
    }
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, code)) {
        if (entry.path().extension() != ".lua") {
            continue;
        }
        Script script;
        script.name = entry.path().filename().string();
        std::error_code sizeCode;
        if (std::filesystem::file_size(entry.path(), sizeCode) > kMaxBytes) {
            problems.push_back(script.name + ": more than " + std::to_string(kMaxBytes / (1024 * 1024)) +
                               " MiB of script; not run");
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        if (!file) {
            problems.push_back(script.name + ": could not be read");
            continue;
        }
        script.text = bytes.str();
        if (script.text.starts_with(kSourceMark)) {
            const std::size_t end = script.text.find('\n');
            script.source = script.text.substr(std::string(kSourceMark).size(),
                                               end == std::string::npos ? std::string::npos
                                                                        : end - std::string(kSourceMark).size());
        }
        scripts.push_back(std::move(script));
    }
    std::sort(scripts.begin(), scripts.end(), [](const Script& a, const Script& b) { return a.name < b.name; });
    return scripts;
}

} // namespace corvane
