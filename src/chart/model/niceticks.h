#pragma once
// Axis scales with "nice" ticks: steps of 1, 2 or 5 times a power of ten. Plain logic, no Qt.

#include <vector>

namespace chart {

struct NiceTicks {
  double min = 0;  // the ends of the axis: rounded outward, to ticks where that wastes little
  double max = 1;
  double step = 1;
  std::vector<double> values;  // the multiples of step from min to max; a tick next to zero is 0
};

inline constexpr int kMaxTickCount = 50;

// The smallest share of the axis that the data's range fills, at any length of the axis.
inline constexpr double kMinRangeFill = 0.6;

// An axis for the data range [low, high] (either order) `pixels` long, with at least
// `minSpacing` pixels between ticks. Its ends are the ticks around the range where the range
// then fills at least kMinRangeFill of the axis; else (a short axis has few ticks, far apart)
// they are rounded outward by a tenth of the range or less, and the ticks are those between.
// A zero range is widened; non-finite input gives 0..1. Ranges near the largest double keep
// their ends finite, and ranges too narrow to measure in doubles are laid out all the same.
NiceTicks ChooseNiceTicks(double low, double high, double pixels, double minSpacing);

}  // namespace chart
