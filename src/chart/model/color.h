#pragma once
#include <cstdint>

namespace chart {

// A colour as the chart takes it: 0x00BBGGRR (red in the low byte).
using Color = std::uint32_t;

// "Automatic": the colour is chosen by the chart (the palette colour of the point's index).
// Real colours never have bits 24 to 31 set.
inline constexpr Color kAutomaticColor = 0xFF000000u;

constexpr bool IsAutomaticColor(Color color) { return (color & 0xFF000000u) != 0; }

}  // namespace chart
