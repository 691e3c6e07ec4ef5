#pragma once

#include "macros/desktop_entry.h"

#include <string>

namespace corvane {

class Launcher;
class Prompts;

// Opens a macro file in a graphical text editor without waiting for it. A
// macro file ends in .cmd, which a desktop may take for a program: it is
// therefore never handed to the desktop's opener, only to a program that
// edits plain text. VISUAL or EDITOR is used when it names a graphical
// editor; otherwise the desktop's editor for plain text, otherwise a
// well-known editor that is installed.
class TextEditor {
public:
    TextEditor(Launcher& launcher, Prompts& prompts, EnvironmentLookup env);

    // A file that does not exist yet is created empty first. When no editor
    // can be started the user is told which file was meant, in a box with
    // `errorTitle`.
    bool open(const std::string& path, const std::string& errorTitle = "MACRO ERROR");
    void setEnvironment(EnvironmentLookup env) { m_env = std::move(env); }

private:
    bool isGraphicalEditor(const std::string& program, const XdgFolders& folders) const;
    bool start(const std::vector<std::string>& command);

    Launcher& m_launcher;
    Prompts& m_prompts;
    EnvironmentLookup m_env;
};

// Reads the process environment.
EnvironmentLookup ProcessEnvironment();

} // namespace corvane
