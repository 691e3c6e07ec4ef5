#pragma once

#include <optional>
#include <string>

namespace corvane {

// A rectangle on the desktop in the window system's pixels; right() and
// bottom() are one past the last pixel.
struct PlaceRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    bool contains(const PlaceRect& other) const {
        return other.x >= x && other.y >= y && other.right() <= right() && other.bottom() <= bottom();
    }
    bool overlaps(const PlaceRect& other) const {
        return !empty() && !other.empty() && other.x < right() && x < other.right() && other.y < bottom() &&
               y < other.bottom();
    }
    bool operator==(const PlaceRect&) const = default;
};

// What a window Corvane opens by itself must keep clear of, in frame
// rectangles: the main window and, inside it, its menu bar, output area and
// input line, on the free area of their screen.
struct PlacementScene {
    PlaceRect screen;
    PlaceRect main;
    PlaceRect menuBar;
    PlaceRect output;
    PlaceRect inputLine;
};

// The frame of a window Corvane opens by itself. Where the player left the
// last one of its kind is kept when that is on the screen and clear of the
// menu bar and input line; else it goes beside the main window where the
// screen has room for at least `least`, else over the upper part of the
// output area. `opened` windows of their own already showing move each new
// one a step down and right, so none hides another whole.
PlaceRect PlaceOwnWindow(const PlacementScene& scene, int wantedWidth, int wantedHeight, int leastWidth,
                         int leastHeight, int opened, const std::optional<PlaceRect>& remembered);

// "x,y,width,height" for the settings file, and back; nothing when the text
// is not four numbers with a size.
std::string PlaceText(const PlaceRect& rect);
std::optional<PlaceRect> ParsePlace(const std::string& text);

} // namespace corvane
