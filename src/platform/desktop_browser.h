#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvane {

// The folders a freedesktop.org desktop keeps its settings and programs in.
struct XdgPlaces {
    std::string configHome;
    std::vector<std::string> configDirs;
    std::string dataHome;
    std::vector<std::string> dataDirs;
    // $XDG_CURRENT_DESKTOP in lower case ("gnome", "kde"): desktop-specific lists come first.
    std::vector<std::string> desktops;
};

// The places as the environment names them, with the standard defaults for
// what it leaves out. getenv is passed in so tests can play any desktop.
XdgPlaces XdgPlacesFrom(const std::string& home, const std::string& xdgConfigHome,
                        const std::string& xdgConfigDirs, const std::string& xdgDataHome,
                        const std::string& xdgDataDirs, const std::string& xdgCurrentDesktop);

// The program that opens web addresses on this desktop.
struct DesktopBrowser {
    std::string desktopId; // "firefox-esr.desktop"
    std::string program;   // "/usr/lib/firefox-esr/firefox-esr", as its desktop file starts it
};

// The handler of http addresses the way xdg-open finds it: the default
// applications of the mimeapps.list files (desktop-specific first), then the
// added associations, then the cache of installed handlers. Nothing when no
// installed program is registered for them.
std::optional<DesktopBrowser> FindDesktopBrowser(const XdgPlaces& places);

// True when a browser's bare program name ("firefox-esr", any letter case)
// names this desktop browser, by its program or by its desktop file.
bool IsDesktopBrowser(const DesktopBrowser& browser, const std::string& serviceName);

// The arguments that start a browser with an address in a window of its
// own, by its program's name ("/usr/bin/firefox-esr"), as the common
// browsers document them; empty for a browser not known to have one.
std::vector<std::string> NewWindowArguments(const std::string& program, const std::string& address);

} // namespace corvane
