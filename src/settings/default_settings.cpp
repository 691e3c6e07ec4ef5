#include "settings/default_settings.h"

#include "platform/prompts.h"
#include "settings/ini_file.h"
#include "settings/locked_file.h"
#include "settings/scramble.h"

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
    const LockedChange result =
        ChangeFileLocked(path, kInteractiveLockWait, [&](std::string&) -> std::optional<std::string> {
            std::string bytes;
            for (const std::string& line : DefaultSettingsLines(programDir)) {
                bytes += line + "\r\n";
            }
            return bytes;
        });
    // Busy: another Corvane is making or changing it right now; our own
    // writes queue behind it.
    if (result.outcome != LockedChange::Outcome::Failed) {
        return true;
    }
    prompts.message(result.reason + "\r" + "Can't create " + path + ".", "", PromptIcon::Exclamation);
    return false;
}

} // namespace corvane
