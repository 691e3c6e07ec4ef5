#include "platform/desktop_browser.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace corvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHttpHandler = "x-scheme-handler/http";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) {
            parts.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// group -> key -> value of a desktop-entry style file; a missing file is empty.
using KeyFile = std::map<std::string, std::map<std::string, std::string>>;

KeyFile readKeyFile(const fs::path& path) {
    KeyFile groups;
    std::ifstream in(path);
    std::string line;
    std::string group;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            groups[group].emplace(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)));
        }
    }
    return groups;
}

std::string valueOf(const KeyFile& file, const std::string& group, const std::string& key) {
    const auto g = file.find(group);
    if (g == file.end()) {
        return {};
    }
    const auto k = g->second.find(key);
    return k == g->second.end() ? std::string() : k->second;
}

std::vector<fs::path> applicationDirs(const XdgPlaces& places) {
    std::vector<fs::path> dirs;
    if (!places.dataHome.empty()) {
        dirs.push_back(fs::path(places.dataHome) / "applications");
    }
    for (const std::string& dir : places.dataDirs) {
        dirs.push_back(fs::path(dir) / "applications");
    }
    return dirs;
}

// The mimeapps.list files from the most to the least important.
std::vector<fs::path> mimeAppsLists(const XdgPlaces& places) {
    std::vector<fs::path> dirs;
    if (!places.configHome.empty()) {
        dirs.emplace_back(places.configHome);
    }
    for (const std::string& dir : places.configDirs) {
        dirs.emplace_back(dir);
    }
    for (const fs::path& dir : applicationDirs(places)) {
        dirs.push_back(dir);
    }
    std::vector<fs::path> lists;
    for (const fs::path& dir : dirs) {
        for (const std::string& desktop : places.desktops) {
            lists.push_back(dir / (desktop + "-mimeapps.list"));
        }
        lists.push_back(dir / "mimeapps.list");
    }
    return lists;
}

// The first word of an Exec line, past any "env NAME=value" in front.
std::string programOf(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (char c : exec) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ' ' && !quoted) {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    std::size_t first = 0;
    if (first < words.size() && fs::path(words[first]).filename() == "env") {
        ++first;
        while (first < words.size() && words[first].find('=') != std::string::npos) {
            ++first;
        }
    }
    return first < words.size() ? words[first] : std::string();
}

std::optional<DesktopBrowser> installed(const XdgPlaces& places, const std::string& desktopId) {
    for (const fs::path& dir : applicationDirs(places)) {
        const fs::path file = dir / desktopId;
        std::error_code error;
        if (!fs::is_regular_file(file, error)) {
            continue;
        }
        const KeyFile entry = readKeyFile(file);
        if (lowered(valueOf(entry, "Desktop Entry", "Hidden")) == "true") {
            return std::nullopt;
        }
        const std::string program = programOf(valueOf(entry, "Desktop Entry", "Exec"));
        if (program.empty()) {
            return std::nullopt;
        }
        return DesktopBrowser{desktopId, program};
    }
    return std::nullopt;
}

std::optional<DesktopBrowser> firstInstalled(const XdgPlaces& places, const std::vector<fs::path>& files,
                                             const std::string& group) {
    for (const fs::path& file : files) {
        for (const std::string& id : split(valueOf(readKeyFile(file), group, kHttpHandler), ';')) {
            if (auto browser = installed(places, id)) {
                return browser;
            }
        }
    }
    return std::nullopt;
}

} // namespace

XdgPlaces XdgPlacesFrom(const std::string& home, const std::string& xdgConfigHome,
                        const std::string& xdgConfigDirs, const std::string& xdgDataHome,
                        const std::string& xdgDataDirs, const std::string& xdgCurrentDesktop) {
    // Relative entries are invalid and ignored.
    const auto absolute = [](const std::string& path) { return !path.empty() && path.front() == '/'; };
    XdgPlaces places;
    places.configHome = absolute(xdgConfigHome) ? xdgConfigHome : home.empty() ? "" : home + "/.config";
    places.dataHome = absolute(xdgDataHome) ? xdgDataHome : home.empty() ? "" : home + "/.local/share";
    for (const std::string& dir : split(xdgConfigDirs.empty() ? "/etc/xdg" : xdgConfigDirs, ':')) {
        if (absolute(dir)) {
            places.configDirs.push_back(dir);
        }
    }
    for (const std::string& dir :
         split(xdgDataDirs.empty() ? "/usr/local/share:/usr/share" : xdgDataDirs, ':')) {
        if (absolute(dir)) {
            places.dataDirs.push_back(dir);
        }
    }
    for (const std::string& desktop : split(xdgCurrentDesktop, ':')) {
        places.desktops.push_back(lowered(desktop));
    }
    return places;
}

std::optional<DesktopBrowser> FindDesktopBrowser(const XdgPlaces& places) {
    const std::vector<fs::path> lists = mimeAppsLists(places);
    if (auto browser = firstInstalled(places, lists, "Default Applications")) {
        return browser;
    }
    if (auto browser = firstInstalled(places, lists, "Added Associations")) {
        return browser;
    }
    std::vector<fs::path> caches;
    std::vector<fs::path> legacy;
    for (const fs::path& dir : applicationDirs(places)) {
        legacy.push_back(dir / "defaults.list");
        caches.push_back(dir / "mimeinfo.cache");
    }
    if (auto browser = firstInstalled(places, legacy, "Default Applications")) {
        return browser;
    }
    return firstInstalled(places, caches, "MIME Cache");
}

std::vector<std::string> NewWindowArguments(const std::string& program, const std::string& address) {
    std::string name = lowered(fs::path(program).filename().string());
    if (name.ends_with(".exe")) {
        name.resize(name.size() - 4);
    }
    // Firefox and its kin, the Chromium family, Opera, GNOME Web and Falkon
    // all take "--new-window"; qutebrowser spells it its own way.
    static constexpr std::array<std::string_view, 18> newWindow = {
        "firefox",        "firefox-esr", "librewolf", "iceweasel", "waterfox", "chromium",
        "chromium-browser", "chrome",    "google-chrome", "google-chrome-stable", "brave", "brave-browser",
        "microsoft-edge", "msedge",      "vivaldi",   "opera",     "epiphany", "falkon"};
    if (std::find(newWindow.begin(), newWindow.end(), name) != newWindow.end()) {
        return {"--new-window", address};
    }
    if (name == "qutebrowser") {
        return {"--target", "window", address};
    }
    return {};
}

bool IsDesktopBrowser(const DesktopBrowser& browser, const std::string& serviceName) {
    if (serviceName.empty()) {
        return false;
    }
    const std::string wanted = lowered(serviceName);
    std::string id = lowered(browser.desktopId);
    if (id.ends_with(".desktop")) {
        id.resize(id.size() - 8);
    }
    return wanted == lowered(fs::path(browser.program).filename().string()) || wanted == id;
}

} // namespace corvane
