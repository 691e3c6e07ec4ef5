#pragma once

#include <string>
#include <vector>

namespace corvane {

// The Lua an import made of what is not a rule, one file per imported file
// in a folder beside the settings file ("corvane-scripts/imports"), named
// after the file it came from. Every world runs them all, in name order, at
// connect, before its own script. Importing the same file again replaces
// its script.
class ImportedScripts {
public:
    static constexpr const char* kFolderName = "imports";
    // A file bigger than this is not run (it is reported instead).
    static constexpr std::size_t kMaxBytes = std::size_t{4} * 1024 * 1024;

    struct Script {
        std::string source;
        // The file's name in the folder, which error lines show.
        std::string name;
        std::string text;
    };

    explicit ImportedScripts(std::string folder)
        : m_folder(std::move(folder)) {}
    static ImportedScripts Beside(const std::string& settingsPath);

    const std::string& folder() const { return m_folder; }
    // The file that holds the script of `source`.
    std::string pathOf(const std::string& source) const;
    // Writes the script of `source` (atomically, readable by its owner
    // only); an empty script removes it. False with the reason when it
    // could not.
    bool store(const std::string& source, const std::string& script, std::string& reason) const;
    // Every stored script; one that cannot be read or is too big comes with
    // an empty text and `problems` says why.
    std::vector<Script> load(std::vector<std::string>& problems) const;

private:
    std::string m_folder;
};

// The folder of Corvane's scripts beside a settings file.
std::string ScriptFolderBeside(const std::string& settingsPath);
// A name made safe for a file: letters, digits, blank, "-", "_" and "."
// stay, anything else becomes "_".
std::string SafeFileName(const std::string& name);

} // namespace corvane
