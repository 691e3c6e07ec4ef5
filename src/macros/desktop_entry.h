#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Reads the freedesktop.org application files (desktop entries and the
// mimeapps lists) far enough to start the program a desktop uses for a kind
// of file, with an argument list and without a shell.

using EnvironmentLookup = std::function<std::string(const std::string& name)>;

struct DesktopEntry {
    std::string id;
    // Exec split into arguments with quoting undone; field codes such as %f stay.
    std::vector<std::string> exec;
    bool terminal = false;
    bool hidden = false;
};

// The entry's [Desktop Entry] group; nullopt when it has no Exec.
std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text);
// Splits an Exec value the way the desktop entry rules quote it.
std::vector<std::string> SplitExec(std::string_view value);
// The arguments that open one local file: %f %F %u %U become the path, the
// other field codes are dropped; the path is appended when none is there.
std::vector<std::string> ExecForFile(const DesktopEntry& entry, const std::string& path);

// The folders the application files live in, from the XDG variables.
struct XdgFolders {
    std::vector<std::string> config;   // $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS
    std::vector<std::string> data;     // $XDG_DATA_HOME, then $XDG_DATA_DIRS
    std::vector<std::string> desktops; // $XDG_CURRENT_DESKTOP, lower case
};
XdgFolders XdgFoldersFrom(const EnvironmentLookup& env);

// Desktop file ids for a MIME type, the user's choice first: the defaults of
// the mimeapps lists, their added associations, then every application that
// says it handles the type.
std::vector<std::string> ApplicationsForType(const XdgFolders& folders, const std::string& mimeType);
std::optional<DesktopEntry> FindDesktopEntry(const XdgFolders& folders, const std::string& id);
// Every installed entry whose program has this file name.
std::vector<DesktopEntry> EntriesRunning(const XdgFolders& folders, const std::string& programName);

// The full path of an executable: a path is checked as it is, a bare name is
// looked up along $PATH. Empty when there is none.
std::string FindProgram(const std::string& program, const EnvironmentLookup& env);

} // namespace corvane
