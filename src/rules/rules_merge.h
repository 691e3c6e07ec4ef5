#pragma once

#include "rules/rule.h"

#include <vector>

namespace corvane {

// Two Corvane windows on one settings folder each save their rules: this
// window's change (from `base`, the file as this window last read or wrote
// it, to `mine`) is applied to the file as it is now (`disk`), so the other
// window's change stays. Rules added here keep their place after the rule
// they followed; rules removed here go; a rule edited here is both.
std::vector<Rule> MergeRules(const std::vector<Rule>& base, const std::vector<Rule>& mine,
                             const std::vector<Rule>& disk);

} // namespace corvane
