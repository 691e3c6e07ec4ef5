#pragma once

#include <string>
#include <vector>

namespace corvane {

// The text of an editor window the world had not been sent when Corvane was
// stopped, with what the window needs to open again.
struct McpDraft {
    std::string world;
    std::string package;
    std::string reference;
    std::string type;
    std::string name;
    std::string text;
    friend bool operator==(const McpDraft&, const McpDraft&) = default;
};

// Editor drafts kept beside the settings file (readable by its owner only),
// so that a quit signal, which leaves no time to ask, costs no typed text.
// Several Corvane windows may share the file: each change is made under its
// lock on the file as it is on disk.
class McpDrafts {
public:
    static constexpr const char* kFileName = "corvane-drafts.json";
    // A file that big was not written by us; it is never read whole.
    static constexpr std::size_t kMaxFileBytes = 32 * 1024 * 1024;

    explicit McpDrafts(std::string path)
        : m_path(std::move(path)) {}
    static std::string PathBeside(const std::string& settingsPath);

    // Adds the drafts to those kept; false, with the reason, when they could not be written.
    bool keep(const std::vector<McpDraft>& drafts, std::string& reason) const;
    // The drafts of one world, gone from the file once returned.
    std::vector<McpDraft> take(const std::string& world) const;

private:
    std::string m_path;
};

} // namespace corvane
