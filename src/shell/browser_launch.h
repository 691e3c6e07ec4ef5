#pragma once

#include <functional>
#include <string>

namespace corvane {

struct ClientSettings;
class Launcher;
class Prompts;

// Opens web addresses in the user's browser: a running browser is asked
// first, else the chosen browser program is started with the address.
// Addresses come from server text, so only the schemes a browser is meant
// for are ever handed on; a telnet address opens another Corvane instead.
class BrowserLaunch {
public:
    struct Hooks {
        // Shows the notice window with a title and a text, without blocking.
        std::function<void(const std::string& title, const std::string& text)> showNotice;
    };
    // Corvane itself, for telnet addresses: its program and settings file.
    struct Self {
        std::string programPath;
        std::string settingsPath;
    };

    BrowserLaunch(ClientSettings& settings, Launcher& launcher, Prompts& prompts, Self self, Hooks hooks);

    // The one entry point for addresses; every failure is reported here.
    void OpenInBrowser(const std::string& address);
    // Help -> "On-Line &Help": the help address may also be a local page.
    void OpenHelpPage();
    // True when the address was handed over or the failure was already
    // reported; false when the browser program could not be started.
    bool AskBrowserToOpen(const std::string& address, bool newWindow);

private:
    void open(const std::string& address);
    void reportStartFailure(const std::string& program);

    ClientSettings& m_settings;
    Launcher& m_launcher;
    Prompts& m_prompts;
    Self m_self;
    Hooks m_hooks;
};

// The program's bare name: what follows the last drive colon or folder
// separator, cut before ".exe" in any letter case.
std::string BrowserServiceName(const std::string& path);

// The request's item: the address in double quotes and the window flags.
std::string OpenUrlItem(const std::string& address, bool newWindow);

// The scheme (before the first ":") is one a browser or Corvane opens:
// http, https, ftp, mailto, telnet, gopher, news.
bool IsOpenableAddress(const std::string& address);

} // namespace corvane
