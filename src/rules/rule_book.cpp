#include "rules/rule_book.h"

#include <utility>

namespace corvane {

namespace {
PatternMatcher compile(const Rule& rule) {
    return PatternMatcher(rule.pattern, rule.mode, rule.caseSensitive);
}
} // namespace

const PatternMatcher& RuleBook::matcher(std::size_t index) const {
    std::optional<PatternMatcher>& matcher = m_matchers[index];
    if (!matcher) {
        matcher.emplace(compile(m_rules[index]));
        --m_uncompiled;
    }
    return *matcher;
}

bool RuleBook::compileSome(std::size_t count) const {
    if (m_uncompiled == 0) {
        return false;
    }
    if (m_compileFrom >= m_matchers.size()) {
        m_compileFrom = 0;
    }
    for (; m_compileFrom < m_matchers.size() && count > 0 && m_uncompiled > 0; ++m_compileFrom) {
        if (!m_matchers[m_compileFrom]) {
            matcher(m_compileFrom);
            --count;
        }
    }
    return m_uncompiled > 0;
}

void RuleBook::setRules(std::vector<Rule> rules) {
    m_rules = std::move(rules);
    m_matchers.clear();
    m_matchers.resize(m_rules.size());
    m_uncompiled = m_rules.size();
    m_compileFrom = 0;
    changed();
}

void RuleBook::replace(std::size_t index, Rule rule) {
    if (index >= m_rules.size() || m_rules[index] == rule) {
        return;
    }
    const bool samePattern = m_rules[index].pattern == rule.pattern && m_rules[index].mode == rule.mode &&
                             m_rules[index].caseSensitive == rule.caseSensitive;
    m_rules[index] = std::move(rule);
    if (!samePattern) {
        m_uncompiled -= m_matchers[index] ? 0 : 1;
        m_matchers[index] = compile(m_rules[index]);
    }
    changed();
}

void RuleBook::insert(std::size_t index, Rule rule) {
    index = std::min(index, m_rules.size());
    m_matchers.insert(m_matchers.begin() + static_cast<std::ptrdiff_t>(index), compile(rule));
    m_rules.insert(m_rules.begin() + static_cast<std::ptrdiff_t>(index), std::move(rule));
    changed();
}

void RuleBook::remove(std::size_t index) {
    if (index >= m_rules.size()) {
        return;
    }
    m_uncompiled -= m_matchers[index] ? 0 : 1;
    m_rules.erase(m_rules.begin() + static_cast<std::ptrdiff_t>(index));
    m_matchers.erase(m_matchers.begin() + static_cast<std::ptrdiff_t>(index));
    changed();
}

bool RuleBook::move(std::size_t index, int by) {
    const auto target = static_cast<std::ptrdiff_t>(index) + by;
    if (index >= m_rules.size() || target < 0 || target >= static_cast<std::ptrdiff_t>(m_rules.size())) {
        return false;
    }
    std::swap(m_rules[index], m_rules[static_cast<std::size_t>(target)]);
    std::swap(m_matchers[index], m_matchers[static_cast<std::size_t>(target)]);
    changed();
    return true;
}

std::vector<std::size_t> RuleBook::active(Rule::Kind kind, const std::string& world) const {
    std::vector<std::size_t> indexes;
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        const Rule& rule = m_rules[i];
        if (rule.kind == kind && rule.enabled && rule.appliesTo(world) && matcher(i).valid()) {
            indexes.push_back(i);
        }
    }
    return indexes;
}

void RuleBook::changed() {
    ++m_revision;
    if (m_changed) {
        m_changed();
    }
}

} // namespace corvane
