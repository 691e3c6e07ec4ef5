#include "macros/desktop_entry.h"

#include "core/text_codec.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace corvane {

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// Calls back with (group, key, value) for every key of a key file.
void forEachKey(
    std::string_view text,
    const std::function<void(const std::string&, const std::string&, const std::string&)>& visit) {
    std::string group;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        const std::string trimmed = trim(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            group = trimmed.substr(1, trimmed.size() - 2);
            continue;
        }
        const auto equals = trimmed.find('=');
        if (equals != std::string::npos) {
            visit(group, trim(std::string_view(trimmed).substr(0, equals)),
                  trim(std::string_view(trimmed).substr(equals + 1)));
        }
    }
}

// The escapes every string value of a key file may hold.
std::string unescapeValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out.push_back(value[i]);
            continue;
        }
        switch (value[++i]) {
        case 's':
            out.push_back(' ');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 't':
            out.push_back('\t');
            break;
        case 'r':
            out.push_back('\r');
            break;
        default:
            out.push_back(value[i]);
            break;
        }
    }
    return out;
}

std::vector<std::string> splitList(const std::string& value, char separator) {
    std::vector<std::string> items;
    std::string item;
    std::istringstream in(value);
    while (std::getline(in, item, separator)) {
        if (!item.empty()) {
            items.push_back(item);
        }
    }
    return items;
}

void addUnique(std::vector<std::string>& list, const std::string& item) {
    if (std::find(list.begin(), list.end(), item) == list.end()) {
        list.push_back(item);
    }
}

std::string baseName(const std::string& program) {
    return fs::path(program).filename().string();
}

bool isExecutable(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && fs::is_regular_file(status) &&
           (status.permissions() &
            (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) != fs::perms::none;
}

} // namespace

std::vector<std::string> SplitExec(std::string_view value) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    bool inArgument = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (quoted) {
            if (c == '\\' && i + 1 < value.size()) {
                current.push_back(value[++i]);
            } else if (c == '"') {
                quoted = false;
            } else {
                current.push_back(c);
            }
        } else if (c == ' ' || c == '\t') {
            if (inArgument) {
                arguments.push_back(current);
                current.clear();
                inArgument = false;
            }
        } else {
            inArgument = true;
            if (c == '"') {
                quoted = true;
            } else {
                current.push_back(c);
            }
        }
    }
    if (inArgument) {
        arguments.push_back(current);
    }
    return arguments;
}

std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text) {
    DesktopEntry entry;
    forEachKey(text, [&](const std::string& group, const std::string& key, const std::string& value) {
        if (group != "Desktop Entry") {
            return;
        }
        if (key == "Exec") {
            entry.exec = SplitExec(unescapeValue(value));
        } else if (key == "Terminal") {
            entry.terminal = value == "true";
        } else if (key == "Hidden") {
            entry.hidden = value == "true";
        }
    });
    if (entry.exec.empty()) {
        return std::nullopt;
    }
    return entry;
}

std::vector<std::string> ExecForFile(const DesktopEntry& entry, const std::string& path) {
    std::vector<std::string> arguments;
    bool fileGiven = false;
    for (const std::string& argument : entry.exec) {
        std::string out;
        bool onlyDroppedCodes = true;
        for (std::size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] != '%' || i + 1 == argument.size()) {
                out.push_back(argument[i]);
                onlyDroppedCodes = false;
                continue;
            }
            const char code = argument[++i];
            if (code == '%') {
                out.push_back('%');
                onlyDroppedCodes = false;
            } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
                out += path;
                fileGiven = true;
                onlyDroppedCodes = false;
            }
        }
        if (!onlyDroppedCodes) {
            arguments.push_back(out);
        }
    }
    if (!fileGiven) {
        arguments.push_back(path);
    }
    return arguments;
}

XdgFolders XdgFoldersFrom(const EnvironmentLookup& env) {
    XdgFolders folders;
    const std::string home = env("HOME");
    const auto homeFolder = [&](const char* variable, const char* fallback) {
        const std::string value = env(variable);
        if (!value.empty()) {
            return value;
        }
        return home.empty() ? std::string() : home + fallback;
    };
    const auto list = [&](const char* variable, const char* fallback) {
        const std::string value = env(variable);
        return splitList(value.empty() ? fallback : value, ':');
    };
    if (const std::string configHome = homeFolder("XDG_CONFIG_HOME", "/.config"); !configHome.empty()) {
        folders.config.push_back(configHome);
    }
    for (const std::string& folder : list("XDG_CONFIG_DIRS", "/etc/xdg")) {
        folders.config.push_back(folder);
    }
    if (const std::string dataHome = homeFolder("XDG_DATA_HOME", "/.local/share"); !dataHome.empty()) {
        folders.data.push_back(dataHome);
    }
    for (const std::string& folder : list("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.data.push_back(folder);
    }
    for (const std::string& desktop : splitList(env("XDG_CURRENT_DESKTOP"), ':')) {
        folders.desktops.push_back(ToLowerAscii(desktop));
    }
    return folders;
}

std::vector<std::string> ApplicationsForType(const XdgFolders& folders, const std::string& mimeType) {
    std::vector<fs::path> lists;
    const auto addLists = [&](const fs::path& folder) {
        for (const std::string& desktop : folders.desktops) {
            lists.push_back(folder / (desktop + "-mimeapps.list"));
        }
        lists.push_back(folder / "mimeapps.list");
    };
    for (const std::string& folder : folders.config) {
        addLists(folder);
    }
    for (const std::string& folder : folders.data) {
        addLists(fs::path(folder) / "applications");
    }
    std::vector<std::string> defaults;
    std::vector<std::string> added;
    for (const fs::path& list : lists) {
        forEachKey(readFile(list),
                   [&](const std::string& group, const std::string& key, const std::string& value) {
                       if (key != mimeType) {
                           return;
                       }
                       if (group == "Default Applications" || group == "Added Associations") {
                           for (const std::string& id : splitList(value, ';')) {
                               addUnique(group == "Default Applications" ? defaults : added, id);
                           }
                       }
                   });
    }
    for (const std::string& id : added) {
        addUnique(defaults, id);
    }
    for (const std::string& folder : folders.data) {
        forEachKey(readFile(fs::path(folder) / "applications" / "mimeinfo.cache"),
                   [&](const std::string& group, const std::string& key, const std::string& value) {
                       if (group == "MIME Cache" && key == mimeType) {
                           for (const std::string& id : splitList(value, ';')) {
                               addUnique(defaults, id);
                           }
                       }
                   });
    }
    return defaults;
}

std::optional<DesktopEntry> FindDesktopEntry(const XdgFolders& folders, const std::string& id) {
    if (id.find('/') != std::string::npos || id.find("..") != std::string::npos) {
        return std::nullopt;
    }
    for (const std::string& folder : folders.data) {
        const fs::path applications = fs::path(folder) / "applications";
        // "kde-kate.desktop" may also live at kde/kate.desktop.
        std::string relative = id;
        while (true) {
            std::error_code error;
            const fs::path candidate = applications / relative;
            if (fs::is_regular_file(candidate, error)) {
                auto entry = ParseDesktopEntry(readFile(candidate));
                if (entry) {
                    entry->id = id;
                }
                return entry;
            }
            const auto dash = relative.find('-');
            if (dash == std::string::npos) {
                break;
            }
            relative[dash] = '/';
        }
    }
    return std::nullopt;
}

std::vector<DesktopEntry> EntriesRunning(const XdgFolders& folders, const std::string& programName) {
    std::vector<DesktopEntry> entries;
    for (const std::string& folder : folders.data) {
        std::error_code error;
        fs::recursive_directory_iterator it(fs::path(folder) / "applications", error);
        for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it.depth() > 1) {
                it.disable_recursion_pending();
            }
            if (it->path().extension() != ".desktop") {
                continue;
            }
            auto entry = ParseDesktopEntry(readFile(it->path()));
            if (entry && baseName(entry->exec.front()) == programName) {
                entry->id = it->path().filename().string();
                entries.push_back(*entry);
            }
        }
    }
    return entries;
}

std::string FindProgram(const std::string& program, const EnvironmentLookup& env) {
    if (program.empty()) {
        return {};
    }
    if (program.find('/') != std::string::npos) {
        return isExecutable(program) ? program : std::string();
    }
    for (const std::string& folder : splitList(env("PATH"), ':')) {
        const fs::path candidate = fs::path(folder) / program;
        if (isExecutable(candidate)) {
            return candidate.string();
        }
    }
    return {};
}

} // namespace corvane
