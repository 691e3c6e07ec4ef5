#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// A speedwalk as MUD clients type it: "3n2e" walks three north and two
// east. Only the letters n, e, s, w, u and d, each with an optional count,
// and at least one count, so that words made of those letters ("sew",
// "end", "nus") stay what they are. Too long a walk is left as typed.
std::optional<std::vector<std::string>> Speedwalk(std::string_view line);

} // namespace corvane
