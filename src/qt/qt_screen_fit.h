#pragma once

class QRect;
class QWidget;

namespace corvane {

// Keeps every window the program shows inside the screen it opens on: a
// window larger than the screen's free area is made smaller, and where its
// content cannot shrink that far the content scrolls (a button row at its
// foot stays in view); a window placed across the screen's edge is moved in.
// Installed once on the application; the main window sizes itself.
void KeepWindowsOnScreen();

// The free area of the screen a window opens on (its parent's screen while
// it has not been shown), less the room its frame will take.
QRect RoomForWindow(const QWidget* window);

// Puts part of a window (a page, a form) in a scroll area that asks for the
// part's whole size, so it scrolls only where the screen is too small.
QWidget* ScrollingPart(QWidget* part);

// What KeepWindowsOnScreen does for one window, for a window sized again
// after it was shown.
void FitWindowOnScreen(QWidget* window);

} // namespace corvane
