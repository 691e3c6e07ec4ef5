#pragma once

class QWidget;

namespace corvane {

// Shows a window Corvane opens by itself (a notice, the player list, a room
// picture) without taking the keyboard from the window the player types in.
// The window manager is asked not to activate it; where a platform activates
// every new window anyway, the window that was active gets it back.
void ShowQuietly(QWidget* window);

} // namespace corvane
