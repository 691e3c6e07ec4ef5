#pragma once

#include "platform/file_watch.h"

#include <functional>
#include <string>

namespace corvane {

class TextEditor;

// The text of one editor window handed to the player's own text editor: a
// temporary file that only its owner may read, read back each time the
// editor saves it. The editor runs on its own, so its end is not seen: the
// file is watched until the player stops or the window closes, and it is
// removed when this goes.
class McpExternalEdit {
public:
    struct Services {
        TextEditor* editor = nullptr;
        FileWatch* watch = nullptr;
        bool usable() const { return editor != nullptr && watch != nullptr; }
    };

    // `baseName` names the file (made safe for a file name, with a random
    // word in front so no one can guess it); `saved` gets each saved text
    // that differs from the last one.
    McpExternalEdit(Services services, const std::string& baseName,
                    std::function<void(const std::string&)> saved);
    ~McpExternalEdit();
    McpExternalEdit(const McpExternalEdit&) = delete;
    McpExternalEdit& operator=(const McpExternalEdit&) = delete;

    // Writes the text to the file and opens the editor on it; false with
    // `reason` (empty when the player was told already) when it could not.
    bool start(const std::string& text, std::string& reason);
    // Saves are no longer read; the file stays until this goes.
    void stop();
    bool watching() const { return m_watching; }
    const std::string& path() const { return m_path; }

private:
    void onChanged();

    Services m_services;
    std::string m_path;
    std::function<void(const std::string&)> m_saved;
    std::string m_lastText;
    FileWatch::WatchId m_watch = 0;
    bool m_watching = false;
    bool m_written = false;
};

} // namespace corvane
