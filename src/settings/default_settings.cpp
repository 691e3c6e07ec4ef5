#include "settings/default_settings.h"

#include "platform/prompts.h"
#include "settings/file_lock.h"
#include "settings/ini_file.h"
#include "worlds/scramble.h"

#include <filesystem>

namespace corvane {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
}

// A root folder keeps its separator: without it "/" would become nothing.
std::string withoutTrailingSeparator(std::string dir) {
    while (dir.size() > 1 && isSeparator(dir.back())) {
        dir.pop_back();
    }
    return dir;
}

} // namespace

std::vector<std::string> DefaultSettingsLines(const std::string& programDir) {
    const std::string dir = withoutTrailingSeparator(programDir);
    return {
        "[Corvane]",
        "ProgramPath=" + dir,
        "PicturePath=" + dir,
        "",
        "[Font]",
        "FontName=Courier New",
        "FontSize = 9",
        "FontBold = False",
        "FontItalic = False",
        "",
        "[Addresses]",
        "MUD 1=FurryMUCK,furrymuck.com,8888",
        "",
        "[FurryMUCK]",
        "Character 1=guest," + ScrambleText(kScramble, "guest"),
        "",
    };
}

bool CreateDefaultSettings(const std::string& path, const std::string& programDir, Prompts& prompts) {
    std::string reason;
    FileLock lock;
    if (lock.acquire(path, reason) && IniFile(DefaultSettingsLines(programDir)).save(path, reason)) {
        return true;
    }
    prompts.message(reason + "\r" + "Can't create " + path + ".", "", PromptIcon::Exclamation);
    return false;
}

} // namespace corvane
