#pragma once

#include "conversations/conversation_settings.h"

#include <string>
#include <vector>

namespace corvane {

// The [Conversations] routes as the player edits them: each in the words the
// settings file keeps, so that what is read is written back unchanged.
struct ConversationRoutesDraft {
    struct BuiltIn {
        std::string key;
        RouteLines lines = RouteLines::On;
        bool opens = true;
        friend bool operator==(const BuiltIn&, const BuiltIn&) = default;
    };
    struct Puppet {
        std::string name;
        std::string linePrefix;
        std::string sendPrefix;
        RouteLines lines = RouteLines::On;
        bool opens = true;
        friend bool operator==(const Puppet&, const Puppet&) = default;
    };
    struct Route {
        bool whisper = false;
        RouteLines lines = RouteLines::On;
        // "plain", "words" or "regex", as the file spells it.
        std::string mode = "regex";
        std::string pattern;
        bool opens = true;
        friend bool operator==(const Route&, const Route&) = default;
    };

    std::vector<BuiltIn> builtIns;
    std::vector<Puppet> puppets;
    std::vector<Route> routes;
    // Values that could not be read: written back after the others, as they
    // were, so an edit elsewhere never loses them.
    std::vector<std::string> unreadPuppets;
    std::vector<std::string> unreadRoutes;
    friend bool operator==(const ConversationRoutesDraft&, const ConversationRoutesDraft&) = default;
};

ConversationRoutesDraft ReadConversationRoutesDraft(const std::string& path);
// One write for the whole change: puppets and routes numbered 1..n again,
// keys past the last removed, "Opens" keys following their routes. A
// built-in left as it was is not touched. False when the file could not be
// written (the settings layer has said why).
bool WriteConversationRoutesDraft(const ConversationRoutesDraft& draft, const ConversationRoutesDraft& before,
                                  const std::string& path);

} // namespace corvane
