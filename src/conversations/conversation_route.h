#pragma once

#include "core/server_kind.h"
#include "rules/pattern_matcher.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// What a conversation window answers with: who spoke decides the window, the
// kind the prefix its input line sends with.
enum class ConversationKind { Page, Whisper, Puppet, Channel };

// One way a line from the world becomes part of a conversation: a pattern as
// in the triggers, whose named group `who` names the window (a puppet route
// names its window itself and matches only at the start of the line).
struct ConversationRoute {
    // The key in the settings file ("PagesReceived", "Puppet 1").
    std::string key;
    ConversationKind kind = ConversationKind::Page;
    std::string pattern;
    MatchMode mode = MatchMode::Regex;
    bool caseSensitive = true;
    // The window's name when the pattern has no `who` group (puppets).
    std::string who;
    // What the window's input line sends before the typed text; "$who" is
    // the window's name.
    std::string sendPrefix;
    bool enabled = true;
    // The line goes only to its conversation, not to the main output too.
    bool instead = false;
    // The player's own side of the conversation: it never asks for attention.
    bool fromMe = false;
    // The window opens by itself (quietly) when a line comes; otherwise the
    // lines wait, counted as unread, in View > Conversations.
    bool openOnFirst = true;
    // Fixed words every line the pattern matches has at a fixed place (case
    // as written), or empty. Lines without them are not tried: the built-in
    // forms are tried on every line, and during a flood almost none is a page.
    std::string fixedWords;
    enum class FixedAt { LineStart, AfterFirstWord };
    FixedAt fixedAt = FixedAt::LineStart;
    // The kinds of server whose worlds print the form (bits of ServerBit):
    // a MUSH's or a Diku's way of saying it means something else elsewhere.
    unsigned servers = kAllServers;
    static constexpr unsigned kAllServers = 7;
    static constexpr unsigned ServerBit(ServerKind kind) { return 1U << static_cast<unsigned>(kind); }

    friend bool operator==(const ConversationRoute&, const ConversationRoute&) = default;
};

// The formats every player meets, each a route of its own so that one that
// misfires on a world can be switched off alone: the MUCK ones on every
// world, the MUSH and Diku ones on worlds of that kind.
std::vector<ConversationRoute> BuiltInConversationRoutes();

// A puppet: lines that start with `linePrefix` ("Rex> ") go to the window
// `name`, whose input line sends with `sendPrefix` ("rex ", "@force rex=").
ConversationRoute PuppetRoute(const std::string& key, const std::string& name, const std::string& linePrefix,
                              const std::string& sendPrefix);

// The prefix a window of this route sends with, for a window named `who`.
std::string SendPrefixFor(const ConversationRoute& route, const std::string& who);

// A line that belongs to a conversation: which route took it, and whose it is.
struct RoutedLine {
    std::size_t route = 0;
    std::string who;
};

// The routes compiled once and tried in order on each received line.
class ConversationRouter {
public:
    void setRoutes(std::vector<ConversationRoute> routes);
    const std::vector<ConversationRoute>& routes() const { return m_routes; }
    // Patterns that did not compile, with the library's message.
    const std::vector<std::string>& errors() const { return m_errors; }

    // The first route that takes the line on a world of that kind.
    std::optional<RoutedLine> route(std::string_view line, ServerKind server = ServerKind::Muck) const;

private:
    std::vector<ConversationRoute> m_routes;
    std::vector<PatternMatcher> m_matchers;
    std::vector<int> m_whoGroups;
    std::vector<std::string> m_errors;
};

} // namespace corvane
