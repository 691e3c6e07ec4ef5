#pragma once

#include "rules/pattern_matcher.h"
#include "rules/rule.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace corvane {

// The player's triggers and aliases in their order, each with its pattern
// compiled once: when first asked for, or by compileSome(), so that taking a
// large set (a rules file at start, an import) does not compile it all at
// once. Every change bumps the revision and calls the changed hook (which
// saves the file).
class RuleBook {
public:
    const std::vector<Rule>& rules() const { return m_rules; }
    std::size_t size() const { return m_rules.size(); }
    const Rule& rule(std::size_t index) const { return m_rules[index]; }
    const PatternMatcher& matcher(std::size_t index) const;
    // Compiles up to `count` patterns not compiled yet; false once all are.
    bool compileSome(std::size_t count) const;
    bool allCompiled() const { return m_uncompiled == 0; }
    std::uint64_t revision() const { return m_revision; }

    void setRules(std::vector<Rule> rules);
    void replace(std::size_t index, Rule rule);
    void insert(std::size_t index, Rule rule);
    void remove(std::size_t index);
    // Swaps a rule with its neighbour; false at either end.
    bool move(std::size_t index, int by);

    // The indexes of the enabled rules of one kind for a world, in order.
    std::vector<std::size_t> active(Rule::Kind kind, const std::string& world) const;

    void setChangedHook(std::function<void()> hook) { m_changed = std::move(hook); }

private:
    void changed();

    std::vector<Rule> m_rules;
    mutable std::vector<std::optional<PatternMatcher>> m_matchers;
    mutable std::size_t m_uncompiled = 0;
    // Where compileSome() goes on from: below it, all are compiled unless a rule was inserted or changed since.
    mutable std::size_t m_compileFrom = 0;
    std::uint64_t m_revision = 1;
    std::function<void()> m_changed;
};

} // namespace corvane
