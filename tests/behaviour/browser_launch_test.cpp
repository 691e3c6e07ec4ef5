#include "behaviour/scratch_folder.h"
#include "fakes/client_harness.h"
#include "platform/desktop_browser.h"
#include "shell/browser_launch.h"

#include <gtest/gtest.h>

namespace corvane::testing {
namespace {

struct NameCase {
    const char* name;
    std::string path;
    std::string service;
};

class ServiceNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ServiceNames, AreTheBareProgramName) {
    EXPECT_EQ(BrowserServiceName(GetParam().path), GetParam().service);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ServiceNames,
    ::testing::Values(NameCase{"WindowsPath", "C:\\Program Files\\Netscape\\NETSCAPE.EXE", "NETSCAPE"},
                      NameCase{"DriveOnly", "D:iexplore.Exe", "iexplore"},
                      NameCase{"BareName", "lynx", "lynx"},
                      NameCase{"CutBeforeTheFirstExe", "C:\\b\\my.exe.old.exe", "my"},
                      NameCase{"LinuxPath", "/usr/lib/firefox-esr/firefox-esr", "firefox-esr"},
                      NameCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BrowserRequest, ItemQuotesTheAddressAndNamesTheWindow) {
    EXPECT_EQ(OpenUrlItem("http://a.b/c", true), "\"http://a.b/c\",,0x0,0x0");
    EXPECT_EQ(OpenUrlItem("http://a.b/c", false), "\"http://a.b/c\",,0xFFFFFFFF,0x0");
}

struct BrowserLaunchTest : ::testing::Test {
    ClientHarness h;
    BrowserLaunchTest() { h.client.settings().BrowserPath = "/usr/bin/firefox"; }
    void open(const std::string& address) { h.client.browser().OpenInBrowser(address); }
};

TEST_F(BrowserLaunchTest, ARunningBrowserIsAskedFirstUnderItsServiceName) {
    h.launcher.browserAnswer = BrowserAnswer::Opened;
    h.client.settings().NewBrowser = true;
    open("http://q.example/a");
    ASSERT_EQ(h.launcher.requests.size(), 1u);
    EXPECT_EQ(h.launcher.requests[0].service, "firefox");
    EXPECT_EQ(h.launcher.requests[0].topic, "WWW_OpenURL");
    EXPECT_EQ(h.launcher.requests[0].item, "\"http://q.example/a\",,0x0,0x0");
    EXPECT_EQ(h.launcher.requests[0].timeout, std::chrono::seconds(60));
    EXPECT_TRUE(h.launcher.started.empty());
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST_F(BrowserLaunchTest, WithNoBrowserRunningTheProgramGetsTheAddressAsOneArgument) {
    const std::string address = "http://q.example/a?x=1;rm -rf $HOME&y=`id`";
    open(address);
    ASSERT_EQ(h.launcher.started.size(), 1u);
    EXPECT_EQ(h.launcher.started[0].program, "/usr/bin/firefox");
    EXPECT_EQ(h.launcher.started[0].arguments, std::vector<std::string>{address});
}

TEST_F(BrowserLaunchTest, ABrowserThatCannotStartIsNamedInTheMessage) {
    h.launcher.startSucceeds = false;
    open("http://q.example/a");
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].title, "Corvane 2.1");
    EXPECT_EQ(h.prompts.messages[0].text,
              "An error has occured while trying to run the program:\r/usr/bin/firefox\r\r"
              "Check your 'WWW Browser' selection under 'Directories'\r"
              "in your Corvane Preferences (Edit | Preferences, or the F4 key).");
}

TEST_F(BrowserLaunchTest, ABrowserThatAnswersButFailsGivesTheNoticeAndNoBox) {
    h.launcher.browserAnswer = BrowserAnswer::Failed;
    open("http://q.example/a");
    EXPECT_TRUE(h.launcher.started.empty());
    EXPECT_TRUE(h.prompts.messages.empty());
    ASSERT_NE(h.views.notice, nullptr);
    EXPECT_EQ(h.views.notice->caption, "Browser Error");
    EXPECT_EQ(h.views.notice->text, "Could not connect to http://q.example/a");
}

TEST_F(BrowserLaunchTest, WithoutAChosenBrowserTheDesktopsOwnIsAskedAndNoProgramStarted) {
    h.client.settings().BrowserPath.clear();
    h.launcher.browserAnswer = BrowserAnswer::Opened;
    open("http://q.example/a");
    ASSERT_EQ(h.launcher.requests.size(), 1u);
    EXPECT_EQ(h.launcher.requests[0].service, "");
    EXPECT_TRUE(h.launcher.started.empty());
    EXPECT_TRUE(h.prompts.messages.empty());

    h.launcher.browserAnswer = BrowserAnswer::NotRunning;
    open("http://q.example/a");
    EXPECT_TRUE(h.launcher.started.empty());
    ASSERT_EQ(h.prompts.messages.size(), 1u);
    EXPECT_EQ(h.prompts.messages[0].text,
              "You must select a WWW Browser (e.g., Netscape, Internet Explorer) in order to use this "
              "feature.\r\rCheck your 'WWW Browser' selection under 'Directories' in your Corvane "
              "Preferences (Edit | Preferences, or the F4 key).");
}

TEST_F(BrowserLaunchTest, OnlyTheSchemesABrowserIsForAreEverOpened) {
    h.launcher.browserAnswer = BrowserAnswer::Opened;
    for (const char* refused : {"file:///etc/passwd", "javascript:alert(1)", "data:text/html,<b>x</b>",
                                "FILE:///etc/passwd", "/etc/passwd", "vbscript:x", ""}) {
        open(refused);
    }
    EXPECT_TRUE(h.launcher.requests.empty());
    EXPECT_TRUE(h.launcher.started.empty());
    EXPECT_TRUE(h.prompts.messages.empty());
    for (const char* opened : {"http://a", "HTTPS://a", "ftp://a", "mailto:a@b", "gopher://a", "news:x"}) {
        open(opened);
    }
    EXPECT_EQ(h.launcher.requests.size(), 6u);
}

TEST_F(BrowserLaunchTest, ATelnetAddressOpensAnotherCorvaneOnTheSameSettings) {
    ClientHarness self("", "/home/u/.config/corvane/CORVANE.INI");
    // The harness runs without a program of its own; the option names it.
    BrowserLaunch launch(self.client.settings(), self.launcher, self.prompts,
                         {"/usr/bin/corvane", "/home/u/.config/corvane/CORVANE.INI"}, {});
    launch.OpenInBrowser("telnet://q.example:4201");
    ASSERT_EQ(self.launcher.started.size(), 1u);
    EXPECT_EQ(self.launcher.started[0].program, "/usr/bin/corvane");
    EXPECT_EQ(self.launcher.started[0].arguments,
              (std::vector<std::string>{"--settings", "/home/u/.config/corvane/CORVANE.INI",
                                        "telnet://q.example:4201"}));
    EXPECT_TRUE(self.launcher.requests.empty());
}

TEST_F(BrowserLaunchTest, OnlineHelpMayOpenTheLocalHelpPage) {
    ScratchFolder installed;
    installed.write("help page.html", "<p>help</p>");
    const std::string address = "file://" + installed.path() + "/help%20page.html";
    h.client.settings().HelpAddress = address;
    h.launcher.browserAnswer = BrowserAnswer::Opened;
    h.client.onMenuTriggered(MenuItem::HelpOnline);
    ASSERT_EQ(h.launcher.requests.size(), 1u);
    EXPECT_EQ(h.launcher.requests[0].address, address);
}

// Without its help file the menu item says where it looked, in a box,
// whatever browser is chosen.
TEST_F(BrowserLaunchTest, OnlineHelpWithoutItsFileSaysWhereItLooked) {
    for (const std::string browser : {"", "/usr/bin/firefox"}) {
        h.prompts.messages.clear();
        h.client.settings().BrowserPath = browser;
        h.client.settings().HelpAddress = "file:///nowhere/corvane/share/doc/help.html";
        h.client.onMenuTriggered(MenuItem::HelpOnline);
        ASSERT_EQ(h.prompts.messages.size(), 1u) << browser;
        EXPECT_NE(h.prompts.messages[0].text.find("\r/nowhere/corvane/share/doc/help.html\r"), std::string::npos);
        EXPECT_TRUE(h.launcher.opened.empty());
        EXPECT_TRUE(h.launcher.started.empty());
        EXPECT_TRUE(h.launcher.requests.empty());
    }
}

TEST_F(BrowserLaunchTest, WithoutABrowserHelpOpensWithTheDesktopsOpenerAndNoBox) {
    h.client.settings().BrowserPath.clear();
    ScratchFolder installed;
    installed.write("help.html", "<p>help</p>");
    for (const std::string& address : {"file://" + installed.path() + "/help.html", std::string("https://help.example/")}) {
        h.client.settings().HelpAddress = address;
        h.client.onMenuTriggered(MenuItem::HelpOnline);
        ASSERT_FALSE(h.launcher.opened.empty());
        EXPECT_EQ(h.launcher.opened.back(), address);
    }
    EXPECT_TRUE(h.launcher.requests.empty());
    EXPECT_TRUE(h.prompts.messages.empty());
}

// "&Multiple Browsers": a started browser gets its new-window argument.
TEST_F(BrowserLaunchTest, MultipleBrowsersOpensANewWindowOtherwiseOneIsReused) {
    for (const bool multiple : {true, false}) {
        h.launcher.started.clear();
        h.client.settings().NewBrowser = multiple;
        open("http://q.example/");
        ASSERT_EQ(h.launcher.started.size(), 1u);
        const std::vector<std::string> expected =
            multiple ? std::vector<std::string>{"--new-window", "http://q.example/"}
                     : std::vector<std::string>{"http://q.example/"};
        EXPECT_EQ(h.launcher.started[0].arguments, expected);
    }
}

struct NewWindowCase {
    const char* program;
    std::vector<std::string> arguments;
};

class NewWindowArgumentsTest : public ::testing::TestWithParam<NewWindowCase> {};

TEST_P(NewWindowArgumentsTest, AreTheBrowsersDocumentedOnes) {
    EXPECT_EQ(NewWindowArguments(GetParam().program, "http://a/"), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Browsers, NewWindowArgumentsTest,
    ::testing::Values(NewWindowCase{"/usr/lib/firefox-esr/firefox-esr", {"--new-window", "http://a/"}},
                      NewWindowCase{"/usr/bin/chromium", {"--new-window", "http://a/"}},
                      NewWindowCase{"C:\\Program Files\\Google\\chrome.exe", {}},
                      NewWindowCase{"/opt/google/chrome/Google-Chrome", {"--new-window", "http://a/"}},
                      NewWindowCase{"/usr/bin/qutebrowser", {"--target", "window", "http://a/"}},
                      NewWindowCase{"/usr/bin/lynx", {}}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

} // namespace
} // namespace corvane::testing
