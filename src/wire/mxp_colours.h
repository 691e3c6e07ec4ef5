#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace corvane {

// A colour as MXP names it: "#RRGGBB" or one of the web's colour names, in
// any case. 0xRRGGBB, or nothing for text that names no colour.
std::optional<std::uint32_t> MxpColour(std::string_view text);

} // namespace corvane
