#pragma once

#include <string>
#include <string_view>

namespace corvane {

// The key a tf /bind or tt++ #macro names by the bytes a terminal sends for
// it ("^[Op", "\eOp": keypad 0; "^[[20~": F9; "^[x": Alt+X; "^K": Ctrl+K),
// as key bindings name it ("KP0"), or empty with the reason: a key Corvane
// cannot bind, or one the window already uses (naming what holds it).
std::string ImportedKey(std::string_view sequence, std::string& why);

} // namespace corvane
