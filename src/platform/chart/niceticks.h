#pragma once
// Axis scales with "nice" ticks (steps of 1, 2 or 5 times a power of ten) and numbers written
// without floating-point noise. Plain logic, no Qt.

#include <string>
#include <vector>

struct NiceTicks {
  double min = 0;  // rounded outward to a multiple of step
  double max = 1;
  double step = 1;
  std::vector<double> values;  // min, min + step, ..., max; a tick next to zero is exactly 0
};

inline constexpr int kMaxTickCount = 50;

// Ticks for the data range [low, high] (either order) on an axis `pixels` long, keeping at
// least `minSpacing` pixels between ticks. A zero range is widened; non-finite input gives 0..1.
NiceTicks ChooseNiceTicks(double low, double high, double pixels, double minSpacing);

// A tick value with just the decimals the step needs ("0.3", not "0.30000000000000004").
std::string FormatTick(double value, double step);

// A data value with at most 12 significant digits, trailing zeros removed.
std::string FormatValue(double value);
