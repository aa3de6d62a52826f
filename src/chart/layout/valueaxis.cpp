// The value axis of a chart with axes (part of step 3 of the order in axeslayout.cpp): nice ticks
// whose labels stand apart on the axis' length, on an axis that leaves bars the pixels they need
// beyond zero. The labels are measured as the reader's locale writes them.

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/layout/axesgeometry.h"
#include "chart/layout/textfit.h"

namespace chart {

namespace {

constexpr double kValueTickSpacing = 36;
// Tick labels along a horizontal value axis stand side by side, so they need more room apart,
// and at least this gap between the widest two.
constexpr double kSideBySideTickSpacing = kValueTickSpacing * 1.6;
constexpr double kTickLabelGap = 12;

// How far apart the labels of `ticks` need to be: a line up a vertical axis, their widths and a
// gap along a horizontal one.
double LabelSpacing(const NiceTicks& ticks, bool horizontal, const TickStyle& style) {
  return horizontal ? MaxTickWidth(ticks, style) + kTickLabelGap : LineHeight(style.font) + 2;
}

// Of the ticks, only the one nearest zero keeps its label.
void KeepTheTickNearestZero(NiceTicks& ticks) {
  if (ticks.values.empty()) return;
  const auto nearest =
      std::min_element(ticks.values.begin(), ticks.values.end(),
                       [](double a, double b) { return std::abs(a) < std::abs(b); });
  ticks.values = {*nearest};
}

// Ticks whose labels stand apart, with a little to spare (the plot's length may still change by
// a pixel or two). Where even the fewest ticks crowd, only the one nearest zero keeps its label.
NiceTicks TicksThatFit(std::pair<double, double> range, double length, bool horizontal,
                       const TickStyle& style) {
  double spacing = horizontal ? kSideBySideTickSpacing : kValueTickSpacing;
  NiceTicks ticks;
  for (int tries = 0; tries < 6; ++tries) {
    ticks = ChooseNiceTicks(range.first, range.second, length, spacing);
    if (LabelsStandApart(ticks, length, horizontal, style, 2)) return ticks;
    spacing = std::max(spacing, LabelSpacing(ticks, horizontal, style)) * 1.5;
  }
  KeepTheTickNearestZero(ticks);
  return ticks;
}

}  // namespace

QString TickText(const AxisNumbers& numbers, const NumberLocale& locale, double value) {
  return QString::fromStdString(FormatTick(value, numbers, locale));
}

double MaxTickWidth(const NiceTicks& ticks, const TickStyle& style) {
  const AxisNumbers numbers = AxisNumbersFor(ticks);
  double width = 0;
  for (double v : ticks.values) {
    width = std::max(width, TextWidth(style.font, TickText(numbers, style.locale, v)));
  }
  return width;
}

bool LabelsStandApart(const NiceTicks& ticks, double length, bool horizontal,
                      const TickStyle& style, double spare) {
  if (ticks.values.size() < 2) return true;
  const double apart = ticks.step / 2 / (ticks.max / 2 - ticks.min / 2) * length;
  return apart >= LabelSpacing(ticks, horizontal, style) + spare;
}

void KeepOnlyTicksThatStandApart(NiceTicks& ticks, double length, bool horizontal,
                                 const TickStyle& style) {
  if (!LabelsStandApart(ticks, length, horizontal, style, 0)) KeepTheTickNearestZero(ticks);
}

ZeroRoom RoomBeyondZero(const std::vector<const SeriesModel*>& series, const Plan& plan) {
  ZeroRoom room;
  const int least = plan.leastPixels;
  for (const std::size_t s : plan.fromZero) {
    const int each = IsStacked(plan.barGrouping) && Traits(series[s]->kind).stacks ? least : 0;
    const auto& points = series[s]->points;
    const bool up = std::any_of(points.begin(), points.end(), [](const ChartPoint& p) {
      return std::isfinite(p.value) && p.value > 0;
    });
    const bool down = std::any_of(points.begin(), points.end(), [](const ChartPoint& p) {
      return std::isfinite(p.value) && p.value < 0;
    });
    if (up) room.above = each ? room.above + each : least;
    if (down) room.below = each ? room.below + each : least;
  }
  return room;
}

// The axis is widened a few times at most, as each widening changes the scale; an axis shorter
// than the pixels the bars need is not, as its pixels would be worth more than the range.
NiceTicks ValueTicks(std::pair<double, double> range, double length, ZeroRoom room, bool horizontal,
                     const TickStyle& style) {
  NiceTicks ticks = TicksThatFit(range, length, horizontal, style);
  if (length < room.above + room.below + 2) return ticks;
  for (int tries = 0; tries < 4; ++tries) {
    const double perPixel = (ticks.max / 2 - ticks.min / 2) / std::max(length, 1.0) * 2;
    if (!(perPixel > 0) || !std::isfinite(perPixel)) break;
    const bool roomAbove = room.above == 0 || ticks.max >= (room.above + 1) * perPixel;
    const bool roomBelow = room.below == 0 || ticks.min <= -(room.below + 1) * perPixel;
    if (roomAbove && roomBelow) break;
    // Never past the largest double, which would leave the axis no length at all.
    const double top = std::numeric_limits<double>::max();
    if (!roomAbove)
      range.second = std::min(std::max(range.second, (room.above + 2) * perPixel), top);
    if (!roomBelow)
      range.first = std::max(std::min(range.first, -(room.below + 2) * perPixel), -top);
    ticks = TicksThatFit(range, length, horizontal, style);
  }
  return ticks;
}

}  // namespace chart
