#pragma once

#include "conversations/conversation_routes_draft.h"

#include <optional>
#include <string>

namespace corvane {

// Conversation routes edited but not saved when a quit signal stopped
// Corvane, kept beside the settings file (readable by its owner only) until
// the player opens the routes window again.
class ConversationRoutesKept {
public:
    static constexpr const char* kFileName = "corvane-routes-draft.json";
    // A file that big was not written by us; it is never read whole.
    static constexpr std::size_t kMaxFileBytes = 8 * 1024 * 1024;

    explicit ConversationRoutesKept(std::string path)
        : m_path(std::move(path)) {}
    static ConversationRoutesKept Beside(const std::string& settingsPath);

    // Replaces what was kept; false, with the reason, when it could not be written.
    bool keep(const ConversationRoutesDraft& draft, std::string& reason) const;
    // Whether a draft waits, without reading it.
    bool waiting() const;
    // The draft kept, gone from the folder once returned; nothing for a file
    // that cannot be read as one.
    std::optional<ConversationRoutesDraft> take() const;

private:
    std::string m_path;
};

} // namespace corvane
