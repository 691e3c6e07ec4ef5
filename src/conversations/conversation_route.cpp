#include "conversations/conversation_route.h"

#include <algorithm>
#include <cctype>

namespace corvane {

namespace {

// A name as MUCKs print it: no spaces, and never the quote that opens speech.
constexpr std::string_view kWho = R"((?<who>[^\s"]+))";

ConversationRoute builtIn(std::string key, ConversationKind kind, std::string fixedWords, std::string pattern,
                          bool fromMe = false, ServerKind only = ServerKind::Muck,
                          std::string sendPrefix = {}) {
    ConversationRoute route;
    route.fromMe = fromMe;
    // A form that starts with the speaker's name has its fixed words right after it.
    route.fixedAt = fixedWords.starts_with(' ') ? ConversationRoute::FixedAt::AfterFirstWord
                                                : ConversationRoute::FixedAt::LineStart;
    route.fixedWords = std::move(fixedWords);
    route.key = std::move(key);
    route.kind = kind;
    route.pattern = std::move(pattern);
    route.sendPrefix = !sendPrefix.empty()                 ? std::move(sendPrefix)
                       : kind == ConversationKind::Whisper ? "whisper $who="
                                                           : "page $who=";
    if (only != ServerKind::Muck) {
        route.servers = ConversationRoute::ServerBit(only);
    }
    return route;
}

// A Diku name, and the text in single quotes up to the end of the line.
constexpr std::string_view kDikuWho = R"((?<who>[^\s,']+))";

std::string withWho(std::string_view before, std::string_view after) {
    return std::string(before) + std::string(kWho) + std::string(after);
}

// PCRE2 takes every character after a backslash literally when it is not a letter or digit.
std::string escapeRegex(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 128 && !std::isalnum(u) && c != ' ') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

bool isNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '"';
}

// Every line meets every route: the first two bytes turn nearly all away
// before a call to compare the rest.
bool startsWith(std::string_view text, std::string_view words) {
    if (text.size() < words.size() || text[0] != words[0] || (words.size() > 1 && text[1] != words[1])) {
        return false;
    }
    return text.starts_with(words);
}

} // namespace

std::vector<ConversationRoute> BuiltInConversationRoutes() {
    // Anchored at both ends where the format allows, so that someone saying
    // or posing the words ("Bob says, "Alice pages: hi"") is left alone.
    return {
        builtIn("PagesReceived", ConversationKind::Page, " pages: ", withWho("^", " pages: ")),
        builtIn("PagesReceivedQuoted", ConversationKind::Page, " pages, \"",
                withWho("^", R"( pages, ".*" to you\.$)")),
        builtIn("MultiPages", ConversationKind::Page, " pages, \"",
                withWho("^", R"( pages, ".*" to you, .+\.$)")),
        builtIn("PagePoses", ConversationKind::Page, "In a page-pose to you, ",
                withWho("^In a page-pose to you, ", " ")),
        builtIn("PageLooks", ConversationKind::Page, "You sense that ",
                withWho("^You sense that ", R"( is looking for you in .+\.$)")),
        builtIn("PagesSent", ConversationKind::Page, "You paged ", withWho("^You paged ", R"( with ".*"\.$)"),
                true),
        builtIn("PagesSentQuoted", ConversationKind::Page, "You page, \"",
                withWho(R"(^You page, ".*" to )", R"(\.$)"), true),
        builtIn("WhispersReceived", ConversationKind::Whisper, " whispers, \"",
                withWho("^", R"( whispers, ".*"( to you\.)?$)")),
        builtIn("WhispersSent", ConversationKind::Whisper, "You whisper, \"",
                withWho(R"(^You whisper, ".*" to )", R"(\.$)"), true),
        // MUSH worlds (PennMUSH and its kin).
        builtIn("MushWhispersReceived", ConversationKind::Whisper, " whispers: ", withWho("^", " whispers: "),
                false, ServerKind::Mush),
        builtIn("MushPagePoses", ConversationKind::Page, "From afar, ", withWho("^From afar, ", " "), false,
                ServerKind::Mush),
        builtIn("MushPagesSent", ConversationKind::Page, "You paged ",
                withWho("^You paged ", R"( with '.*'\.$)"), true, ServerKind::Mush),
        builtIn("MushPagePosesSent", ConversationKind::Page, "Long distance to ",
                R"(^Long distance to (?<who>[^\s:]+): )", true, ServerKind::Mush),
        // Diku-family MUD worlds (tbaMUD, CircleMUD and their kin).
        builtIn("DikuTellsReceived", ConversationKind::Page, " tells you, '",
                "^" + std::string(kDikuWho) + " tells you, '.*'$", false, ServerKind::Mud, "tell $who "),
        builtIn("DikuTellsSent", ConversationKind::Page, "You tell ",
                "^You tell " + std::string(kDikuWho) + ", '.*'$", true, ServerKind::Mud, "tell $who "),
        builtIn("DikuWhispersReceived", ConversationKind::Whisper, " whispers to you, '",
                "^" + std::string(kDikuWho) + " whispers to you, '.*'$", false, ServerKind::Mud,
                "whisper $who "),
        builtIn("DikuWhispersSent", ConversationKind::Whisper, "You whisper to ",
                "^You whisper to " + std::string(kDikuWho) + ", '.*'$", true, ServerKind::Mud,
                "whisper $who "),
    };
}

ConversationRoute PuppetRoute(const std::string& key, const std::string& name, const std::string& linePrefix,
                              const std::string& sendPrefix) {
    ConversationRoute route;
    route.key = key;
    route.kind = ConversationKind::Puppet;
    route.pattern = "^" + escapeRegex(linePrefix);
    route.who = name;
    route.sendPrefix = sendPrefix;
    return route;
}

std::string SendPrefixFor(const ConversationRoute& route, const std::string& who) {
    std::string prefix;
    std::string_view rest = route.sendPrefix;
    constexpr std::string_view kName = "$who";
    for (std::size_t at = rest.find(kName); at != std::string_view::npos; at = rest.find(kName)) {
        prefix.append(rest.substr(0, at));
        prefix += who;
        rest.remove_prefix(at + kName.size());
    }
    prefix.append(rest);
    return prefix;
}

void ConversationRouter::setRoutes(std::vector<ConversationRoute> routes) {
    m_routes = std::move(routes);
    m_matchers.clear();
    m_whoGroups.clear();
    m_errors.clear();
    for (const ConversationRoute& route : m_routes) {
        PatternMatcher matcher(route.pattern, route.mode, route.caseSensitive);
        if (!matcher.valid()) {
            m_errors.push_back(route.key + ": " + matcher.error());
        }
        m_whoGroups.push_back(matcher.groupNumber("who"));
        m_matchers.push_back(std::move(matcher));
    }
}

std::optional<RoutedLine> ConversationRouter::route(std::string_view line, ServerKind server) const {
    const MatchSubject subject(line);
    PatternMatch match;
    // Where a name at the start of the line ends, as the `who` group ends it.
    std::size_t nameEnd = 0;
    while (nameEnd < line.size() && !isNameEnd(line[nameEnd])) {
        ++nameEnd;
    }
    const std::string_view afterFirstWord = line.substr(nameEnd);
    for (std::size_t i = 0; i < m_routes.size(); ++i) {
        const ConversationRoute& route = m_routes[i];
        if (!route.enabled || (route.servers & ConversationRoute::ServerBit(server)) == 0) {
            continue;
        }
        if (!route.fixedWords.empty() &&
            !startsWith(route.fixedAt == ConversationRoute::FixedAt::LineStart ? line : afterFirstWord,
                        route.fixedWords)) {
            continue;
        }
        if (!m_matchers[i].match(subject, &match)) {
            continue;
        }
        std::string who = route.who;
        if (m_whoGroups[i] >= 0) {
            who = std::string(match.group(line, static_cast<std::size_t>(m_whoGroups[i])));
        }
        // A route that cannot say whose line it is has nowhere to put it.
        if (who.empty()) {
            continue;
        }
        return RoutedLine{i, std::move(who)};
    }
    return std::nullopt;
}

} // namespace corvane
