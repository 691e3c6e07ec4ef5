#include "rules/alias_expander.h"

#include "core/session.h"
#include "core/text_codec.h"
#include "rules/expansion.h"
#include "rules/speedwalk.h"

#include <algorithm>
#include <iterator>

namespace corvane {

namespace {

std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
            ++i;
        }
        if (i > start) {
            words.emplace_back(text.substr(start, i - start));
        }
    }
    return words;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Plain and whole-word aliases take their name as the line's first word.
std::optional<AliasArguments> wordAlias(const Rule& rule, const PatternMatcher& matcher, const std::string& line) {
    const std::string_view text = trimmed(line);
    const std::size_t nameEnd = std::min(text.size(), rule.pattern.size());
    if (nameEnd < rule.pattern.size() || (text.size() > nameEnd && text[nameEnd] != ' ' && text[nameEnd] != '\t')) {
        return std::nullopt;
    }
    const MatchSubject subject(text.substr(0, nameEnd));
    if (!matcher.matches(subject)) {
        return std::nullopt;
    }
    AliasArguments arguments;
    arguments.rest = std::string(trimmed(text.substr(nameEnd)));
    arguments.numbered = splitWords(arguments.rest);
    return arguments;
}

} // namespace

std::optional<AliasExpansion> ExpandAlias(const RuleBook& book, const std::vector<std::size_t>& active,
                                          const std::string& line, const std::vector<std::size_t>& outer) {
    PatternMatch match;
    for (const std::size_t index : active) {
        if (std::find(outer.begin(), outer.end(), index) != outer.end()) {
            continue;
        }
        const Rule& rule = book.rule(index);
        const PatternMatcher& matcher = book.matcher(index);
        std::optional<AliasArguments> arguments;
        if (rule.mode == MatchMode::Regex) {
            if (matcher.match(MatchSubject(line), &match)) {
                arguments.emplace();
                for (std::size_t g = 1; g < match.groups.size() && g <= 9; ++g) {
                    arguments->numbered.emplace_back(match.group(line, g));
                }
                const std::size_t end = match.groups[0].first + match.groups[0].second;
                arguments->rest = std::string(trimmed(std::string_view(line).substr(end)));
            }
        } else {
            arguments = wordAlias(rule, matcher, line);
        }
        if (arguments) {
            // A script alone sends nothing of the line by itself.
            std::vector<std::string> commands;
            if (!rule.send.empty() || rule.script.empty()) {
                commands = SplitCommands(FillAliasText(rule.send, *arguments));
            }
            return AliasExpansion{index, std::move(commands), std::move(*arguments)};
        }
    }
    return std::nullopt;
}

AliasExpander::AliasExpander(RuleBook& book, const Session& session, std::function<void(const std::string&)> notice)
    : m_book(book)
    , m_session(session)
    , m_notice(std::move(notice)) {}

const std::vector<std::size_t>& AliasExpander::active() {
    if (m_activeRevision != m_book.revision() || m_activeWorld != m_session.WorldName) {
        m_active = m_book.active(Rule::Kind::Alias, m_session.WorldName);
        m_activeRevision = m_book.revision();
        m_activeWorld = m_session.WorldName;
    }
    return m_active;
}

std::vector<std::string> AliasExpander::expand(const std::string& typed) {
    // A log-in line keeps its semicolons: they may be in the password.
    if (!m_splitTyped || !m_splitTyped() || typed.find(';') == std::string::npos ||
        EqualsNoCase(std::string_view(typed).substr(0, 8), "connect ")) {
        return expandOne(typed);
    }
    std::vector<std::string> out;
    for (const std::string& command : SplitCommands(typed)) {
        if (!command.empty()) {
            std::vector<std::string> lines = expandOne(command);
            out.insert(out.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
        }
    }
    return out;
}

std::vector<std::string> AliasExpander::expandOne(const std::string& typed) {
    const bool walks = m_speedwalk && m_speedwalk();
    if (active().empty() && !walks) {
        return {typed};
    }
    if (!typed.empty() && typed.front() == '\\') {
        // The backslash goes only where it kept an alias or a walk away.
        const std::string rest = typed.substr(1);
        return {ExpandAlias(m_book, m_active, rest) || (walks && Speedwalk(rest)) ? rest : typed};
    }
    std::vector<std::string> out;
    std::vector<std::size_t> outer;
    bool tooDeep = false;
    expandInto(typed, outer, out, tooDeep);
    if (tooDeep) {
        m_notice("*** Alias not sent: it expands more than " + std::to_string(kMaxDepth) +
                 " aliases deep or into too many lines (" + typed + ")");
        return {};
    }
    return out;
}

void AliasExpander::expandInto(const std::string& line, std::vector<std::size_t>& outer,
                               std::vector<std::string>& out, bool& tooDeep) {
    constexpr std::size_t kMaxLines = 1000;
    if (tooDeep || out.size() > kMaxLines) {
        tooDeep = true;
        return;
    }
    std::optional<AliasExpansion> expansion = ExpandAlias(m_book, m_active, line, outer);
    if (!expansion) {
        std::optional<std::vector<std::string>> steps;
        if (m_speedwalk && m_speedwalk() && (steps = Speedwalk(line))) {
            out.insert(out.end(), steps->begin(), steps->end());
        } else {
            out.push_back(line);
        }
        return;
    }
    if (outer.size() >= static_cast<std::size_t>(kMaxDepth)) {
        tooDeep = true;
        return;
    }
    const Rule& rule = m_book.rule(expansion->rule);
    if (!rule.script.empty() && m_scripts != nullptr) {
        std::vector<std::string> sent = m_scripts->runAlias(rule, line, expansion->arguments);
        expansion->commands.insert(expansion->commands.end(), std::make_move_iterator(sent.begin()),
                                   std::make_move_iterator(sent.end()));
    }
    outer.push_back(expansion->rule);
    for (const std::string& command : expansion->commands) {
        expandInto(command, outer, out, tooDeep);
    }
    outer.pop_back();
}

} // namespace corvane
