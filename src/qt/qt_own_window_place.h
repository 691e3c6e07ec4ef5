#pragma once

#include <string>

class QWidget;

namespace corvane {

class WindowPlaces;

// Places a window Corvane opens by itself (a conversation, an MCP editor,
// MUCK help) as it first shows, clear of the main window's menu bar and
// input line, and remembers where the player leaves it in `places` under
// `kind` (null: nowhere). The window's parent is the main window.
void PlaceOwnWindowWhenShown(QWidget* window, std::string kind, WindowPlaces* places);

} // namespace corvane
