#pragma once

#include <string>

class QKeyEvent;

namespace corvane {

// A key press as key bindings name it ("KP8", "F9", "Ctrl+Alt+K"), or empty
// for a key no binding can take (plain typing, arrows, Enter...). The keypad
// is KP0..KP9 with Num Lock on or off.
std::string BoundKeyName(const QKeyEvent& event);

} // namespace corvane
