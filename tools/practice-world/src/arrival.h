#pragma once

#include "types.h"

#include <string>
#include <string_view>

namespace practice_world {

// What an arrival message may refer to.
struct ArrivalContext {
    Dbref here = kNothing;
    std::string hereName;
    Dbref me = kNothing;
    std::string myName;
};

// The line an `_arrive/` property produces: a value starting with '&' has the
// rest expanded ({ref:here}, {name:here}, {ref:me}, {name:me}); any other value
// is sent as it stands. Unknown {...} forms are left alone rather than guessed at.
std::string arrivalLine(std::string_view value, const ArrivalContext& context);

} // namespace practice_world
