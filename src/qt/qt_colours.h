#pragma once

#include "core/rgb.h"

#include <QColor>

#include <cstdint>

namespace corvane {

// The display colours a first start writes to the settings file: light text
// on a dark ground, like the terminals MUD servers colour their text for.
inline const QColor kDefaultDisplayText(216, 216, 216);
inline const QColor kDefaultDisplayBack(24, 27, 31);

inline QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

// The stored form, 0x00BBGGRR.
inline std::int32_t colourValue(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// A stored colour; negative values are system colours of the old platform,
// of which the window text and window background matter here.
inline QColor fromColourValue(std::int32_t value, bool background) {
    if (value < 0) {
        const int index = value & 0xFF;
        if (index == 5) {
            return kDefaultDisplayBack;
        }
        if (index == 8) {
            return kDefaultDisplayText;
        }
        return background ? kDefaultDisplayBack : kDefaultDisplayText;
    }
    return toQColor(Rgb::fromColourValue(value));
}

} // namespace corvane
