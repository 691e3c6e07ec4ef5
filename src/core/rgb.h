#pragma once

#include <cstdint>

namespace corvane {

// A colour stored the classic way: red in the low byte, then green, then blue.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static constexpr Rgb fromColourValue(std::int64_t value) {
        const auto v = static_cast<std::uint32_t>(value);
        return Rgb{static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>((v >> 8) & 0xFF),
                   static_cast<std::uint8_t>((v >> 16) & 0xFF)};
    }
    constexpr std::int32_t colourValue() const {
        return static_cast<std::int32_t>(red | (green << 8) | (blue << 16));
    }
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

namespace colours {
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb LightGrey{192, 192, 192};
inline constexpr Rgb Grey{128, 128, 128};
inline constexpr Rgb Yellow{255, 255, 0};
} // namespace colours

} // namespace corvane
