#include "chart/model/niceticks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double NiceStep(double raw) {
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= raw * (1 - 1e-12)) return factor * power;
  }
  return 10 * power;
}

std::pair<double, double> WidenedRange(double low, double high) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {0.0, 1.0};
  if (low > high) std::swap(low, high);
  if (low == high) {
    const double pad = low == 0 ? 1.0 : std::abs(low) * 0.1;
    const double top = std::numeric_limits<double>::max();
    return {std::max(low - pad, -top), std::min(high + pad, top)};
  }
  return {low, high};
}

// Ticks are worked out on values of moderate size: ranges near the largest double or too narrow
// for doubles are scaled by a power of ten first and back after, which costs them nothing that
// six digits on a label could show.
double WorkingScale(double low, double high) {
  const double magnitude = std::max(std::abs(low), std::abs(high));
  if (magnitude > 1e300) return 1e-10;
  if (high - low < 1e-290) return 1e300;
  return 1;
}

// `value` rounded down or up to a multiple of `step`, strictly so where the quotient is too small
// for a double (-1e-310 rounds down to -step, not to -0).
double RoundDown(double value, double step) {
  const double down = std::floor(value / step) * step;
  return down > value ? down - step : down;
}

double RoundUp(double value, double step) {
  const double up = std::ceil(value / step) * step;
  return up < value ? up + step : up;
}

// The multiples of `step` from `min` to `max`.
std::vector<double> TicksWithin(double min, double max, double step) {
  std::vector<double> values;
  const double first = std::ceil(min / step - 1e-9);
  const double last = std::floor(max / step + 1e-9);
  for (double k = first; k <= last && values.size() < kMaxTickCount; ++k) {
    double value = k * step;
    if (std::abs(value) < step * 1e-6) value = 0;
    values.push_back(value);
  }
  return values;
}

// The next smaller nice step: 5 before 10, 2 before 5, 1 before 2.
double SmallerNiceStep(double step) {
  const double power = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
  const double factor = step / power;
  return factor > 4 ? 2 * power : (factor > 1.5 ? power : power / 2);
}

constexpr int kRoomyAxis = 6;        // intervals an axis has room for ...
constexpr int kFewestIntervals = 4;  // ... to have at least these

// The intervals from `lo` to `hi` with ends on whole steps.
double Intervals(double lo, double hi, double step) {
  return std::round((RoundUp(hi, step) - RoundDown(lo, step)) / step);
}

// The fill of the axis from `lo` to `hi` with ends on whole steps.
double Fill(double lo, double hi, double step) {
  return (hi - lo) / (RoundUp(hi, step) - RoundDown(lo, step));
}

// `largestStep` keeps the step a double once it is scaled back.
NiceTicks TicksOfWorkingRange(double lo, double hi, int wanted, double largestStep) {
  NiceTicks ticks;
  double step = std::min(NiceStep((hi - lo) / wanted), largestStep);
  // The next smaller step where it fills the axis better, or where an axis with room for six
  // intervals would have fewer than four, for at most a quarter more ticks (the steps jump by 2.5
  // from 2 to 5: 0 to 210 in four steps would otherwise end at 300, and -45 to 100 in steps of
  // 50 has three).
  const double smaller = SmallerNiceStep(step);
  const bool tooFew = wanted >= kRoomyAxis && Intervals(lo, hi, step) < kFewestIntervals;
  if ((hi - lo) / smaller <= wanted * 1.25 &&
      (tooFew || Fill(lo, hi, smaller) > Fill(lo, hi, step))) {
    step = smaller;
  }
  for (int tries = 0; tries < 64; ++tries) {
    ticks.min = RoundDown(lo, step);
    ticks.max = RoundUp(hi, step);
    if (std::round((ticks.max - ticks.min) / step) < kMaxTickCount) break;
    // Rounding outward added ticks: take the next nice step.
    step = std::min(NiceStep(step * 1.5), largestStep);
  }
  ticks.step = step;
  if ((hi - lo) < kMinRangeFill * (ticks.max - ticks.min)) {
    // Whole steps would leave too much of the axis empty: ends a twentieth of the range apart
    // at most (so that the range fills at least 80 %), and the ticks that lie between them.
    const double fine = NiceStep((hi - lo) / 20);
    ticks.min = RoundDown(lo, fine);
    ticks.max = RoundUp(hi, fine);
    while (TicksWithin(ticks.min, ticks.max, ticks.step).empty()) {
      ticks.step = SmallerNiceStep(ticks.step);
    }
  }
  ticks.values = TicksWithin(ticks.min, ticks.max, ticks.step);
  return ticks;
}

}  // namespace

NiceTicks ChooseNiceTicks(double low, double high, double pixels, double minSpacing) {
  auto [lo, hi] = WidenedRange(low, high);
  const double room = std::isfinite(pixels) && pixels > 0 ? pixels : 0;
  const int wanted =
      std::clamp(static_cast<int>(room / std::max(minSpacing, 1.0)), 1, kMaxTickCount - 1);
  const double scale = WorkingScale(lo, hi);
  const double top = std::numeric_limits<double>::max();
  if (!(hi * scale - lo * scale > 0)) return ChooseNiceTicks(0, 1, pixels, minSpacing);
  NiceTicks ticks = TicksOfWorkingRange(lo * scale, hi * scale, wanted, 1e308 * scale);
  if (scale == 1) return ticks;
  ticks.min = std::max(ticks.min / scale, -top);
  ticks.max = std::min(ticks.max / scale, top);
  ticks.step /= scale;
  std::vector<double> values;
  for (double value : ticks.values) {
    if (std::isfinite(value / scale)) values.push_back(value / scale);
  }
  ticks.values = values;
  if (!(ticks.step > 0)) {  // narrower than the smallest double: the range's ends are all it has
    ticks = NiceTicks{lo, hi, hi - lo, {lo}};
  }
  return ticks;
}

}  // namespace chart
