#include "macros/text_editor.h"

#include "platform/launcher.h"
#include "platform/prompts.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace corvane {

namespace {

// Editors that open a window of their own, tried when the desktop names none.
constexpr std::array<const char*, 12> kKnownEditors = {"gnome-text-editor", "gedit", "kate",  "kwrite",
                                                       "mousepad",          "xed",   "pluma", "featherpad",
                                                       "leafpad",           "geany", "gvim",  "emacs"};

bool isKnownEditor(const std::string& name) {
    for (const char* editor : kKnownEditors) {
        if (name == editor) {
            return true;
        }
    }
    return false;
}

} // namespace

EnvironmentLookup ProcessEnvironment() {
    return [](const std::string& name) {
        const char* value = std::getenv(name.c_str());
        return std::string(value != nullptr ? value : "");
    };
}

TextEditor::TextEditor(Launcher& launcher, Prompts& prompts, EnvironmentLookup env)
    : m_launcher(launcher)
    , m_prompts(prompts)
    , m_env(std::move(env)) {}

bool TextEditor::isGraphicalEditor(const std::string& program, const XdgFolders& folders) const {
    const std::string name = std::filesystem::path(program).filename().string();
    if (isKnownEditor(name)) {
        return true;
    }
    // A desktop entry that starts it outside a terminal: it has a window of its own.
    for (const DesktopEntry& entry : EntriesRunning(folders, name)) {
        if (!entry.terminal && !entry.hidden) {
            return true;
        }
    }
    return false;
}

bool TextEditor::start(const std::vector<std::string>& command) {
    const std::string program = FindProgram(command.front(), m_env);
    if (program.empty()) {
        return false;
    }
    return m_launcher.startProgram(program, std::vector<std::string>(command.begin() + 1, command.end()));
}

bool TextEditor::open(const std::string& path, const std::string& errorTitle) {
    std::error_code error;
    if (!path.empty() && !std::filesystem::exists(path, error)) {
        std::ofstream create(path, std::ios::app);
    }
    const XdgFolders folders = XdgFoldersFrom(m_env);
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        std::vector<std::string> command = SplitExec(m_env(variable));
        if (!command.empty() && isGraphicalEditor(command.front(), folders)) {
            command.push_back(path);
            if (start(command)) {
                return true;
            }
        }
    }
    for (const std::string& id : ApplicationsForType(folders, "text/plain")) {
        const auto entry = FindDesktopEntry(folders, id);
        // A terminal program would need a terminal to run in; leave it.
        if (entry && !entry->terminal && !entry->hidden && start(ExecForFile(*entry, path))) {
            return true;
        }
    }
    for (const char* editor : kKnownEditors) {
        if (start({editor, path})) {
            return true;
        }
    }
    m_prompts.message("Corvane could not start a text editor for the file\r" + path +
                          "\r\rInstall a text editor, or name one in the VISUAL environment variable.",
                      errorTitle, PromptIcon::Exclamation);
    return false;
}

} // namespace corvane
