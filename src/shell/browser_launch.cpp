#include "shell/browser_launch.h"

#include "core/constants.h"
#include "core/text_codec.h"
#include "platform/desktop_browser.h"
#include "platform/launcher.h"
#include "platform/prompts.h"
#include "settings/client_settings.h"

#include <array>
#include <filesystem>
#include <string_view>

namespace corvane {

namespace {

const std::string kTitle = "Corvane " + std::string(VersionText);
constexpr const char* kPreferencesHint = "in your Corvane Preferences (Edit | Preferences, or the F4 key).";

std::string schemeOf(const std::string& address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos || colon == 0) {
        return {};
    }
    return ToLowerAscii(address.substr(0, colon));
}

// The file a file: address names ("file:///a%20b" is "/a b"), or empty
// for one on another host.
std::string localPathOf(const std::string& address) {
    std::string rest = address.substr(address.find(':') + 1);
    if (rest.rfind("//", 0) == 0) {
        const std::size_t slash = rest.find('/', 2);
        const std::string host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        if (!host.empty() && !EqualsNoCase(host, "localhost")) {
            return {};
        }
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    std::string path;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const auto hex = [&](std::size_t at) {
            const char c = at < rest.size() ? rest[at] : '\0';
            return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        };
        if (rest[i] == '%' && hex(i + 1) >= 0 && hex(i + 2) >= 0) {
            path += static_cast<char>(hex(i + 1) * 16 + hex(i + 2));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

} // namespace

std::string BrowserServiceName(const std::string& path) {
    // A folder separator counts only after the drive colon; "/" is the
    // separator of the systems Corvane runs on besides Windows.
    const std::size_t colon = path.rfind(':');
    const std::size_t from = colon == std::string::npos ? 0 : colon + 1;
    const std::size_t separator = path.find_last_of("\\/");
    std::size_t start = from;
    if (separator != std::string::npos && separator >= from) {
        start = separator + 1;
    }
    std::string name = path.substr(start);
    const std::size_t exe = FindNoCase(name, ".exe");
    if (exe != std::string::npos) {
        name.resize(exe);
    }
    return name;
}

std::string OpenUrlItem(const std::string& address, bool newWindow) {
    return "\"" + address + "\"" + (newWindow ? ",,0x0,0x0" : ",,0xFFFFFFFF,0x0");
}

bool IsOpenableAddress(const std::string& address) {
    static constexpr std::array<std::string_view, 7> schemes = {"http",   "https",  "ftp", "mailto",
                                                                "telnet", "gopher", "news"};
    const std::string scheme = schemeOf(address);
    for (std::string_view known : schemes) {
        if (scheme == known) {
            return true;
        }
    }
    return false;
}

BrowserLaunch::BrowserLaunch(ClientSettings& settings, Launcher& launcher, Prompts& prompts, Self self,
                             Hooks hooks)
    : m_settings(settings)
    , m_launcher(launcher)
    , m_prompts(prompts)
    , m_self(std::move(self))
    , m_hooks(std::move(hooks)) {}

void BrowserLaunch::OpenInBrowser(const std::string& address) {
    // file:, javascript:, data: and the like never leave the client: a
    // server could point them at anything on this machine.
    if (!IsOpenableAddress(address)) {
        return;
    }
    if (schemeOf(address) == "telnet") {
        // Corvane is a telnet client itself: the world opens in a new window
        // of its own, on the same settings.
        std::vector<std::string> arguments;
        if (!m_self.settingsPath.empty()) {
            arguments = {"--settings", m_self.settingsPath};
        }
        arguments.push_back(address);
        if (!m_launcher.startProgram(m_self.programPath, arguments)) {
            m_prompts.message("Corvane could not open " + address + " in a new window:\r" +
                                  m_self.programPath + " did not start.",
                              kTitle, PromptIcon::Exclamation);
        }
        return;
    }
    open(address);
}

void BrowserLaunch::OpenHelpPage() {
    const std::string& address = m_settings.HelpAddress;
    // A missing page would fail in the opener, where no one sees it.
    if (schemeOf(address) == "file") {
        const std::string path = localPathOf(address);
        std::error_code error;
        if (!path.empty() && !std::filesystem::is_regular_file(path, error)) {
            m_prompts.message("The help page is not installed.\r\rCorvane looked for it at\r" + path +
                                  "\r\rIt comes with Corvane (help.html beside the program, or in "
                                  "share/doc/corvane once installed); Help > On-Line Help opens another "
                                  "page when HelpURL= in the [Corvane2] section of the settings file "
                                  "names one.",
                              kTitle, PromptIcon::Exclamation);
            return;
        }
    }
    // No browser chosen: the desktop opens the page, whatever it is.
    if (m_settings.BrowserPath.empty() && !address.empty()) {
        if (!m_launcher.openWithDesktop(address) && m_hooks.showNotice) {
            m_hooks.showNotice("Browser Error", "Could not open the help page " + address);
        }
        return;
    }
    // The user's own setting, and the page Corvane ships is a local file.
    if (schemeOf(address) == "file") {
        open(address);
        return;
    }
    OpenInBrowser(address);
}

void BrowserLaunch::open(const std::string& address) {
    if (m_settings.BrowserPath.empty()) {
        // No browser chosen: the desktop's own, when it has one.
        OpenUrlRequest request{"", "WWW_OpenURL", OpenUrlItem(address, m_settings.NewBrowser), address,
                               m_settings.NewBrowser};
        switch (m_launcher.askRunningBrowser(request)) {
        case BrowserAnswer::Opened:
            return;
        case BrowserAnswer::Failed:
            if (m_hooks.showNotice) {
                m_hooks.showNotice("Browser Error", "Could not connect to " + address);
            }
            return;
        case BrowserAnswer::NotRunning:
            break;
        }
        m_prompts.message(std::string("You must select a WWW Browser (e.g., Netscape, ") +
                              "Internet Explorer) in order to use this feature.\r\r" +
                              "Check your 'WWW Browser' selection under 'Directories' " + kPreferencesHint,
                          kTitle, PromptIcon::Exclamation);
        return;
    }
    if (!AskBrowserToOpen(address, m_settings.NewBrowser)) {
        reportStartFailure(m_settings.BrowserPath);
    }
}

bool BrowserLaunch::AskBrowserToOpen(const std::string& address, bool newWindow) {
    const OpenUrlRequest request{BrowserServiceName(m_settings.BrowserPath), "WWW_OpenURL",
                                 OpenUrlItem(address, newWindow), address, newWindow};
    switch (m_launcher.askRunningBrowser(request)) {
    case BrowserAnswer::Opened:
        return true;
    case BrowserAnswer::Failed:
        if (m_hooks.showNotice) {
            m_hooks.showNotice("Browser Error", "Could not connect to " + address);
        }
        return true;
    case BrowserAnswer::NotRunning:
        break;
    }
    // The address is one argument of its own: no shell sees it, so no
    // quoting is needed and none can be broken out of.
    std::vector<std::string> arguments;
    if (newWindow) {
        arguments = NewWindowArguments(m_settings.BrowserPath, address);
    }
    if (arguments.empty()) {
        arguments = {address};
    }
    return m_launcher.startProgram(m_settings.BrowserPath, arguments);
}

void BrowserLaunch::reportStartFailure(const std::string& program) {
    m_prompts.message(std::string("An error has occured while trying to run the program:\r") + program +
                          "\r\rCheck your 'WWW Browser' selection under 'Directories'\r" + kPreferencesHint,
                      kTitle, PromptIcon::Exclamation);
}

} // namespace corvane
