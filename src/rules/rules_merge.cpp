#include "rules/rules_merge.h"

#include <algorithm>

namespace corvane {

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
    std::vector<bool> baseUsed(base.size(), false);
    std::vector<bool> kept(mine.size(), false);
    for (std::size_t m = 0; m < mine.size(); ++m) {
        // Most rules stay where they were. Which of several equal base rules
        // is taken makes no difference to the outcome, so the one in the same
        // place is taken when it is equal, and a large set is not walked once
        // for each of its rules.
        if (m < base.size() && !baseUsed[m] && base[m] == mine[m]) {
            baseUsed[m] = true;
            kept[m] = true;
            continue;
        }
        for (std::size_t b = 0; b < base.size(); ++b) {
            if (!baseUsed[b] && base[b] == mine[m]) {
                baseUsed[b] = true;
                kept[m] = true;
                break;
            }
        }
    }
    std::vector<Rule> merged = disk;
    for (std::size_t b = 0; b < base.size(); ++b) {
        if (baseUsed[b]) {
            continue;
        }
        const auto gone = std::find(merged.begin(), merged.end(), base[b]);
        if (gone != merged.end()) {
            merged.erase(gone);
        }
    }
    const bool anchored = std::find(kept.begin(), kept.end(), true) != kept.end();
    // Without a rule of the base to follow, additions go after the others' rules.
    std::size_t at = anchored ? 0 : merged.size();
    for (std::size_t m = 0; m < mine.size(); ++m) {
        if (kept[m]) {
            const auto found = std::find(merged.begin(), merged.end(), mine[m]);
            if (found != merged.end()) {
                at = static_cast<std::size_t>(found - merged.begin()) + 1;
            }
            continue;
        }
        merged.insert(merged.begin() + static_cast<std::ptrdiff_t>(at), mine[m]);
        ++at;
    }
    return merged;
}

} // namespace corvane
