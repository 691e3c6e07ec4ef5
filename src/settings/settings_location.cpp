#include "settings/settings_location.h"

#include "settings/settings.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace corvane {

namespace fs = std::filesystem;

namespace {

constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

// Permission bits do not answer this: root and ACLs override them, and a
// read-only mount ignores them. Only creating a file does.
bool canCreateFileIn(const std::string& directory) {
    std::random_device random;
    const std::string probe = directory +
                              (directory.ends_with(kSeparator) ? "" : std::string(1, kSeparator)) +
                              ".corvane-probe-" + std::to_string(random());
    std::FILE* file = std::fopen(probe.c_str(), "wbx");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    std::error_code ignored;
    fs::remove(probe, ignored);
    return true;
}

std::string folderOf(const std::string& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) {
        absolute = path;
    }
    return absolute.parent_path().string();
}

} // namespace

std::string SettingsPathIn(const std::string& directory) {
    if (directory.ends_with(kSeparator)) {
        return directory + std::string(kSettingsFileName);
    }
    return directory + kSeparator + std::string(kSettingsFileName);
}

SettingsLocation LocateSettings(const std::string& explicitPath, const std::string& programDir,
                                const std::string& xdgConfigHome, const std::string& home) {
    if (!explicitPath.empty()) {
        return {explicitPath, folderOf(explicitPath)};
    }

    std::error_code ignored;
    if (!programDir.empty()) {
        const std::string besideProgram = SettingsPathIn(programDir);
        if (fs::exists(besideProgram, ignored) || canCreateFileIn(programDir)) {
            return {besideProgram, programDir};
        }
    }

    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    const fs::path configHome = !xdgConfigHome.empty() && fs::path(xdgConfigHome).is_absolute()
                                    ? fs::path(xdgConfigHome)
                                    : fs::path(home) / ".config";
    const std::string dataDir = (configHome / "corvane").string();
    // When this fails, creating the default file fails too and tells the user.
    fs::create_directories(dataDir, ignored);
    return {SettingsPathIn(dataDir), dataDir};
}

} // namespace corvane
