#pragma once

#include "conversations/conversation_route.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

// Where a route's lines go: its window and the main output, only its window, or nowhere.
enum class RouteLines { On, Instead, Off };

// "on" (or empty, or "true"), "instead", "off" (or "false"), in any case.
std::optional<RouteLines> ReadRouteLines(const std::string& text);
// Whether "<key> Opens" lets the route's windows open by themselves (the default).
bool ReadRouteOpens(const std::string& key, const std::string& path);
// "Puppet 1", "Puppet 2"... (or "Route N") with their values, up to the first gap.
std::vector<std::pair<std::string, std::string>> ReadNumberedRoutes(const std::string& name,
                                                                    const std::string& path);

// The conversation routes as the [Conversations] section of the settings file
// keeps them. Each built-in route is `on` (to its window and the main output),
// `instead` (to its window only) or `off`; a missing key is `on`. Puppets and
// routes of the player's own are numbered from 1:
//   Puppet 1=Rex,"Rex> ","rex ",on
//   Route 1=page,instead,regex,^(?<who>\S+) pages from afar:
// A field in double quotes keeps its spaces; a route's pattern is the rest
// of its line. "<key> Opens=False" (PagesReceived Opens, Puppet 1 Opens)
// keeps that route's windows from opening by themselves: their lines wait in
// View > Conversations.
struct ConversationSettings {
    std::vector<ConversationRoute> routes;
    bool doNotDisturb = false;
    // Lines that could not be read, for the player to hear about once.
    std::vector<std::string> problems;
};

ConversationSettings ReadConversationSettings(const std::string& path);
// Only the one switch the menu changes is written back.
void WriteDoNotDisturb(bool on, const std::string& path);

// The parts of one numbered value, for tests: quotes taken off.
std::vector<std::string> SplitConversationFields(const std::string& value, std::size_t maxFields);

} // namespace corvane
