#pragma once

#include "core/typed_line_expander.h"
#include "rules/rule_book.h"
#include "rules/rule_scripts.h"

#include <functional>
#include <string>
#include <vector>

namespace corvane {

struct Session;

// One alias that took a line, and the commands it made of it.
struct AliasExpansion {
    std::size_t rule = 0;
    std::vector<std::string> commands;
    AliasArguments arguments;
};

// The first of the `active` aliases that takes the line, if any, leaving out
// those in `outer` (the aliases whose expansion this line is). A plain or
// whole-word alias takes a line whose first word is its name (%1..%9 the
// words after it, %* all of them); a regular expression takes a line it
// matches anywhere (%1..%9 its groups, %* the text after the match).
std::optional<AliasExpansion> ExpandAlias(const RuleBook& book, const std::vector<std::size_t>& active,
                                          const std::string& line, const std::vector<std::size_t>& outer = {});

// Aliases in the path of typed lines: each line the player sends is expanded
// before anything else sees it, expansions using other aliases up to
// kMaxDepth deep; an alias is not used again inside its own expansion, so
// "k" -> "k orc" or a -> b -> a send rather than loop. A line starting with a backslash skips the aliases.
class AliasExpander : public TypedLineExpander {
public:
    static constexpr int kMaxDepth = 10;

    AliasExpander(RuleBook& book, const Session& session, std::function<void(const std::string&)> notice);

    std::vector<std::string> expand(const std::string& typed) override;
    // Whether a line no alias took may be a speedwalk ("3n2e").
    void setSpeedwalk(std::function<bool()> on) { m_speedwalk = std::move(on); }
    // Whether a typed line is split at semicolons first ("\\;" types one).
    void setSplitTyped(std::function<bool()> on) { m_splitTyped = std::move(on); }
    // Runs aliases' Lua; none: it is skipped.
    void setScripts(RuleScripts* scripts) { m_scripts = scripts; }

private:
    std::vector<std::string> expandOne(const std::string& typed);
    void expandInto(const std::string& line, std::vector<std::size_t>& outer, std::vector<std::string>& out,
                    bool& tooDeep);
    const std::vector<std::size_t>& active();

    RuleBook& m_book;
    const Session& m_session;
    std::function<void(const std::string&)> m_notice;
    std::vector<std::size_t> m_active;
    std::uint64_t m_activeRevision = 0;
    std::string m_activeWorld;
    std::function<bool()> m_speedwalk;
    std::function<bool()> m_splitTyped;
    RuleScripts* m_scripts = nullptr;
};

} // namespace corvane
