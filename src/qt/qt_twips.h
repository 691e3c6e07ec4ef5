#pragma once

#include <QWidget>
#include <cmath>

namespace corvane {

// Twips (1/1440 inch) and the widget's logical pixels. At 96 logical dots
// per inch a pixel is 15 twips. Qt 6 scales a 150% or 200% desktop by
// itself, in pixels that stay at 96 dpi; a platform that reports a larger
// logical resolution instead gets correspondingly fewer twips a pixel.
inline double TwipsPerPixel(const QWidget* widget) {
    const int dpi = widget != nullptr ? widget->logicalDpiY() : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

inline int ToTwips(int pixels, const QWidget* widget) {
    return static_cast<int>(std::lround(pixels * TwipsPerPixel(widget)));
}

inline int ToPixels(int twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel(widget)));
}

} // namespace corvane
