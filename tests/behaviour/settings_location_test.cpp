#include "scratch_folder.h"
#include "settings/settings_location.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace corvane {
namespace {

using testing::ScratchFolder;
namespace fs = std::filesystem;

TEST(SettingsPathIn, AddsSeparatorOnlyWhenMissing) {
    EXPECT_EQ(SettingsPathIn("/opt/corvane"), "/opt/corvane/CORVANE.INI");
    EXPECT_EQ(SettingsPathIn("/opt/corvane/"), "/opt/corvane/CORVANE.INI");
    EXPECT_EQ(SettingsPathIn("/"), "/CORVANE.INI");
}

TEST(LocateSettings, ExplicitPathWins) {
    ScratchFolder folder;
    const SettingsLocation where =
        LocateSettings(folder.file("my.ini"), folder.path(), folder.path(), folder.path());
    EXPECT_EQ(where.path, folder.file("my.ini"));
    EXPECT_EQ(where.dataDir, folder.path());
}

TEST(LocateSettings, WritableProgramFolderHoldsTheFile) {
    ScratchFolder program;
    ScratchFolder config;
    const SettingsLocation where = LocateSettings("", program.path(), config.path(), config.path());
    EXPECT_EQ(where.path, program.file("CORVANE.INI"));
    EXPECT_EQ(where.dataDir, program.path());
    EXPECT_TRUE(program.names().empty()) << "the writability probe is left behind";
}

TEST(LocateSettings, UnusableProgramFolderFallsBackToConfigHome) {
    ScratchFolder program;
    program.write("plain", "");
    const std::string notAFolder = program.file("plain");
    ScratchFolder config;

    const SettingsLocation xdg = LocateSettings("", notAFolder, config.file("xdg"), config.file("home"));
    EXPECT_EQ(xdg.path, config.file("xdg/corvane/CORVANE.INI"));
    EXPECT_EQ(xdg.dataDir, config.file("xdg/corvane"));
    EXPECT_TRUE(fs::is_directory(xdg.dataDir));

    // A program installed for the whole system has no folder of its own.
    EXPECT_EQ(LocateSettings("", "", config.file("xdg"), config.file("home")).path,
              config.file("xdg/corvane/CORVANE.INI"));

    for (const std::string& xdgConfigHome : {std::string(), std::string("relative/config")}) {
        const SettingsLocation home = LocateSettings("", notAFolder, xdgConfigHome, config.file("home"));
        EXPECT_EQ(home.path, config.file("home/.config/corvane/CORVANE.INI")) << xdgConfigHome;
        EXPECT_TRUE(fs::is_directory(home.dataDir));
    }
}

TEST(LocateSettings, ReadOnlyProgramFolderWithFileKeepsIt) {
    ScratchFolder program;
    ScratchFolder config;
    program.write("CORVANE.INI", "[Corvane]\r\n");
    fs::permissions(program.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (access(program.path().c_str(), W_OK) == 0) {
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    EXPECT_EQ(LocateSettings("", program.path(), config.path(), config.path()).path,
              program.file("CORVANE.INI"));
    const SettingsLocation without =
        LocateSettings("", config.path() + "/none", config.path(), config.path());
    EXPECT_EQ(without.dataDir, config.file("corvane"));
}

} // namespace
} // namespace corvane
