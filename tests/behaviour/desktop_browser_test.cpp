#include "behaviour/scratch_folder.h"
#include "platform/desktop_browser.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

// A desktop in a scratch folder: config/ for the user's lists, data/ and
// system/ for the installed programs.
struct DesktopBrowserTest : ::testing::Test {
    ScratchFolder folder;
    XdgPlaces places;

    DesktopBrowserTest() {
        for (const char* dir : {"config", "data/applications", "system/applications"}) {
            std::filesystem::create_directories(folder.file(dir));
        }
        places = XdgPlacesFrom(folder.path(), folder.file("config"), "", folder.file("data"),
                               folder.file("system"), "XFCE:GNOME");
    }
    void install(const std::string& id, const std::string& exec, const char* where = "system") {
        folder.write(std::string(where) + "/applications/" + id,
                     "[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
    }
};

TEST_F(DesktopBrowserTest, TheUsersDefaultWinsAndUninstalledOnesAreSkipped) {
    install("firefox-esr.desktop", "/usr/lib/firefox-esr/firefox-esr %u");
    install("chromium.desktop", "env GDK_BACKEND=x11 /usr/bin/chromium %U");
    folder.write("system/applications/mimeinfo.cache",
                 "[MIME Cache]\nx-scheme-handler/http=firefox-esr.desktop;\n");
    folder.write("config/mimeapps.list",
                 "[Default Applications]\nx-scheme-handler/http=gone.desktop;chromium.desktop;\n");
    const auto browser = FindDesktopBrowser(places);
    ASSERT_TRUE(browser.has_value());
    EXPECT_EQ(browser->desktopId, "chromium.desktop");
    EXPECT_EQ(browser->program, "/usr/bin/chromium");
    EXPECT_TRUE(IsDesktopBrowser(*browser, "Chromium"));
    EXPECT_FALSE(IsDesktopBrowser(*browser, "firefox"));
    EXPECT_FALSE(IsDesktopBrowser(*browser, ""));
}

TEST_F(DesktopBrowserTest, TheDesktopsOwnListComesFirstThenTheCacheOfInstalledHandlers) {
    install("epiphany.desktop", "epiphany %U");
    install("firefox-esr.desktop", "\"/opt/fire fox/firefox\" %u");
    folder.write("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=epiphany.desktop\n");
    folder.write("config/gnome-mimeapps.list",
                 "[Default Applications]\nx-scheme-handler/http=firefox-esr.desktop\n");
    EXPECT_EQ(FindDesktopBrowser(places)->program, "/opt/fire fox/firefox");

    std::filesystem::remove(folder.file("config/gnome-mimeapps.list"));
    std::filesystem::remove(folder.file("config/mimeapps.list"));
    EXPECT_FALSE(FindDesktopBrowser(places).has_value());
    folder.write("system/applications/mimeinfo.cache",
                 "[MIME Cache]\nx-scheme-handler/http=epiphany.desktop;\n");
    EXPECT_EQ(FindDesktopBrowser(places)->desktopId, "epiphany.desktop");
}

TEST(XdgPlaces, StandardDefaultsStandInForWhatTheEnvironmentLeavesOut) {
    const XdgPlaces places = XdgPlacesFrom("/home/u", "", "", "relative/path", "", "");
    EXPECT_EQ(places.configHome, "/home/u/.config");
    EXPECT_EQ(places.dataHome, "/home/u/.local/share");
    EXPECT_EQ(places.configDirs, std::vector<std::string>{"/etc/xdg"});
    EXPECT_EQ(places.dataDirs, (std::vector<std::string>{"/usr/local/share", "/usr/share"}));
    EXPECT_TRUE(places.desktops.empty());
}

} // namespace
} // namespace corvane::testing
