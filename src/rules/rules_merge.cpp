#include "rules/rules_merge.h"

#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>

namespace corvane {

namespace {

std::size_t ruleHash(const Rule& rule) {
    const std::hash<std::string> text;
    std::size_t hash = static_cast<std::size_t>(rule.kind) * 31 + static_cast<std::size_t>(rule.mode);
    for (const std::string* part : {&rule.pattern, &rule.name, &rule.send, &rule.world, &rule.script, &rule.source}) {
        hash = hash * 1000003 ^ text(*part);
    }
    return hash;
}

// Places in a list of rules found by the rule's hash, each bucket in the
// list's order, so that a large set is not walked once for each of its rules.
class RulePlaces {
public:
    explicit RulePlaces(const std::vector<Rule>& rules)
        : m_rules(rules) {}
    void add(std::size_t place) { m_buckets[ruleHash(m_rules[place])].push_back(place); }
    // The first place not taken yet whose rule equals `rule`, now taken.
    std::optional<std::size_t> take(const Rule& rule) {
        const auto bucket = m_buckets.find(ruleHash(rule));
        if (bucket != m_buckets.end()) {
            for (std::size_t& place : bucket->second) {
                if (place != kTaken && m_rules[place] == rule) {
                    return std::exchange(place, kTaken);
                }
            }
        }
        return std::nullopt;
    }

private:
    static constexpr std::size_t kTaken = static_cast<std::size_t>(-1);
    const std::vector<Rule>& m_rules;
    std::unordered_map<std::size_t, std::vector<std::size_t>> m_buckets;
};

} // namespace

std::vector<Rule> MergeRules(const std::vector<Rule>& base, const std::vector<Rule>& mine,
                             const std::vector<Rule>& disk) {
    if (disk == base) {
        return mine;
    }
    if (mine == base) {
        return disk;
    }
    // Each of mine is matched to an equal rule of the base not matched yet;
    // what is left over on either side is what this window added or removed.
    // Which of several equal base rules is taken makes no difference to the
    // outcome.
    RulePlaces unmatched(base);
    for (std::size_t b = 0; b < base.size(); ++b) {
        unmatched.add(b);
    }
    std::vector<bool> baseUsed(base.size(), false);
    std::vector<bool> kept(mine.size(), false);
    bool anchored = false;
    for (std::size_t m = 0; m < mine.size(); ++m) {
        if (const auto b = unmatched.take(mine[m])) {
            baseUsed[*b] = true;
            kept[m] = true;
            anchored = true;
        }
    }
    // A rule of the base left over was removed here: the file's first rule
    // equal to it goes.
    RulePlaces removed(base);
    for (std::size_t b = 0; b < base.size(); ++b) {
        if (!baseUsed[b]) {
            removed.add(b);
        }
    }
    std::vector<const Rule*> others;
    others.reserve(disk.size());
    for (const Rule& rule : disk) {
        if (!removed.take(rule)) {
            others.push_back(&rule);
        }
    }
    // The first place in the file of each rule kept, by hash.
    std::unordered_map<std::size_t, std::vector<std::size_t>> firstPlaces;
    for (std::size_t d = 0; d < others.size(); ++d) {
        firstPlaces[ruleHash(*others[d])].push_back(d);
    }
    const auto placeOf = [&](const Rule& rule) -> std::optional<std::size_t> {
        const auto bucket = firstPlaces.find(ruleHash(rule));
        if (bucket != firstPlaces.end()) {
            for (const std::size_t d : bucket->second) {
                if (*others[d] == rule) {
                    return d;
                }
            }
        }
        return std::nullopt;
    };
    // Additions go after the rule of the base they followed here (slot d + 1
    // is after the file's rule d, slot 0 before them all); without a rule of
    // the base to follow, after the others' rules.
    std::vector<std::vector<const Rule*>> added(others.size() + 1);
    std::size_t slot = anchored ? 0 : others.size();
    for (std::size_t m = 0; m < mine.size(); ++m) {
        if (!kept[m]) {
            added[slot].push_back(&mine[m]);
        } else if (const auto d = placeOf(mine[m])) {
            slot = *d + 1;
        }
    }
    std::vector<Rule> merged;
    merged.reserve(others.size() + mine.size());
    for (std::size_t d = 0; d <= others.size(); ++d) {
        if (d > 0) {
            merged.push_back(*others[d - 1]);
        }
        for (const Rule* rule : added[d]) {
            merged.push_back(*rule);
        }
    }
    return merged;
}

} // namespace corvane
