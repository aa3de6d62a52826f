// The room around the plot of a chart with axes (step 3 of the order in axeslayout.cpp): the axis
// titles, wrapped; the value axis and its labels, which need the plot's length, which their
// width changes: passes until the plot keeps still; the category labels, turned, then thinned,
// then shortened; the depth of the 3D walls. Where the plot would keep too little of the area,
// texts are left out in a fixed order: the room for marks past the bars' ends, the category
// labels, the axis titles' second lines, the axis titles, the value labels.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/axesgeometry.h"

namespace chart {

QString TickText(const NiceTicks& ticks, double value) {
  return QString::fromStdString(FormatTick(value, ticks.step));
}

namespace {

constexpr double kValueTickSpacing = 36;
// Tick labels along a horizontal value axis stand side by side, so they need more room apart,
// and at least this gap between the widest two.
constexpr double kSideBySideTickSpacing = kValueTickSpacing * 1.6;
constexpr double kTickLabelGap = 12;
// Category labels take at most this share of the chart: beside a horizontal chart of its width,
// below a vertical one (turned) of its height.
constexpr double kMaxLabelWidthShare = 0.3;
constexpr double kMaxLabelHeightShare = 0.4;
// Turned labels reach left of the plot by at most this share of the chart's width; the first
// labels are shortened to it.
constexpr double kMaxOverhangShare = 0.15;
// The 3D walls go back by 0.6 % of the smaller side per 3D percent, by at most 40 % of it.
constexpr double kDepthPerPercent = 0.6;
constexpr double kMaxDepthShare = 0.4;
// Bar boxes go back at most 1.3 times as far as the bars are thick (deeper ones would hide
// their neighbours), and at least a few pixels per depth row.
constexpr double kMaxDepthPerThickness = 1.3;
constexpr double kMinRowDepth = 4;
double MaxLabelWidth(std::span<const std::string> labels, int count, int step, const QFont& font) {
  double width = 0;
  for (int i = 0; i < count; i += step) {
    width = std::max(width, TextWidth(font, CategoryLabel(labels, static_cast<std::size_t>(i))));
  }
  return width;
}

CategoryLabelFit FitCategoryLabels(std::span<const std::string> labels, const Plan& plan,
                                   double slot, double maxLength, const QFont& font) {
  CategoryLabelFit fit;
  const double lineHeight = LineHeight(font);
  const double need = lineHeight + 2;  // across one label, between neighbours
  if (plan.categories == 0) return fit;
  if (!(slot >= need)) {
    // Every step-th label; a plot with no room at all keeps only the first.
    const double step = slot > 0 ? std::ceil(need / slot) : plan.categories;
    fit.step = static_cast<int>(std::clamp(step, 1.0, double(std::max(plan.categories, 1))));
  }
  const double widest = MaxLabelWidth(labels, plan.categories, fit.step, font);
  // Room for a whole label, or for a letter or two and "…" at least.
  if (maxLength < std::min(widest, TextWidth(font, "Wi\u2026"))) return fit;
  fit.maxWidth = std::min(widest, maxLength);
  if (fit.maxWidth == 0) return fit;
  if (plan.horizontal) {
    fit.extent = fit.maxWidth;
    return fit;
  }
  if (fit.step > 1) {
    fit.angle = 90;
  } else if (fit.maxWidth + 6 > slot) {
    // Just steep enough for neighbours to stand a line apart, in steps of 5 degrees.
    const double degrees = std::asin(std::min(1.0, need / slot)) * 180 / std::numbers::pi;
    fit.angle = std::clamp(std::ceil(degrees / 5) * 5, 30.0, 90.0);
  }
  const double radians = fit.angle * std::numbers::pi / 180;
  fit.extent = fit.maxWidth * std::sin(radians) + lineHeight * std::cos(radians);
  return fit;
}

double MaxTickWidth(const NiceTicks& ticks, const QFont& font) {
  double width = 0;
  for (double v : ticks.values) width = std::max(width, TextWidth(font, TickText(ticks, v)));
  return width;
}

// How far apart the labels of `ticks` need to be: a line up a vertical axis, their widths and a
// gap along a horizontal one.
double LabelSpacing(const NiceTicks& ticks, bool horizontal, const QFont& font) {
  return horizontal ? MaxTickWidth(ticks, font) + kTickLabelGap : LineHeight(font) + 2;
}

// Whether the labels of `ticks` on an axis `length` long stand apart, with `spare` pixels more.
bool LabelsStandApart(const NiceTicks& ticks, double length, bool horizontal, const QFont& font,
                      double spare) {
  if (ticks.values.size() < 2) return true;
  const double apart = ticks.step / 2 / (ticks.max / 2 - ticks.min / 2) * length;
  return apart >= LabelSpacing(ticks, horizontal, font) + spare;
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
                       const QFont& font) {
  double spacing = horizontal ? kSideBySideTickSpacing : kValueTickSpacing;
  NiceTicks ticks;
  for (int tries = 0; tries < 6; ++tries) {
    ticks = ChooseNiceTicks(range.first, range.second, length, spacing);
    if (LabelsStandApart(ticks, length, horizontal, font, 2)) return ticks;
    spacing = std::max(spacing, LabelSpacing(ticks, horizontal, font)) * 1.5;
  }
  KeepTheTickNearestZero(ticks);
  return ticks;
}

// Pixels that bars need beyond zero on either side: one for a single bar (a bar of a value too
// small to show still gets its pixel), one per series for a stack.
struct ZeroRoom {
  int above = 0;  // toward larger values
  int below = 0;
};

ZeroRoom RoomBeyondZero(const std::vector<const SeriesModel*>& series, MultiBar mode) {
  ZeroRoom room;
  const int each = IsStacked(mode) ? 1 : 0;
  for (const SeriesModel* one : series) {
    if (!IsBar(one->kind)) continue;
    const auto& points = one->points;
    const bool up = std::any_of(points.begin(), points.end(), [](const ChartPoint& p) {
      return std::isfinite(p.value) && p.value > 0;
    });
    const bool down = std::any_of(points.begin(), points.end(), [](const ChartPoint& p) {
      return std::isfinite(p.value) && p.value < 0;
    });
    if (up) room.above = each ? room.above + 1 : 1;
    if (down) room.below = each ? room.below + 1 : 1;
  }
  return room;
}

// Ticks for `range`, on an axis widened (a few times at most, as each widening changes the
// scale) until bars have the pixels they need beyond zero, and a pixel more.
NiceTicks TicksWithRoomBeyondZero(std::pair<double, double> range, double length, ZeroRoom room,
                                  bool horizontal, const QFont& font) {
  NiceTicks ticks = TicksThatFit(range, length, horizontal, font);
  for (int tries = 0; tries < 4; ++tries) {
    const double perPixel = (ticks.max / 2 - ticks.min / 2) / std::max(length, 1.0) * 2;
    if (!(perPixel > 0) || !std::isfinite(perPixel)) break;
    const bool roomAbove = room.above == 0 || ticks.max >= (room.above + 1) * perPixel;
    const bool roomBelow = room.below == 0 || ticks.min <= -(room.below + 1) * perPixel;
    if (roomAbove && roomBelow) break;
    if (!roomAbove) range.second = std::max(range.second, (room.above + 2) * perPixel);
    if (!roomBelow) range.first = std::min(range.first, -(room.below + 2) * perPixel);
    ticks = TicksThatFit(range, length, horizontal, font);
  }
  return ticks;
}

// How far a turned first label reaches left of the plot: its text goes down to the left from the
// middle of its category, and its lower corner a half line further.
double LabelOverhang(const CategoryLabelFit& labels, double slot, double lineHeight) {
  if (labels.angle == 0 || labels.maxWidth <= 0) return 0;
  const double radians = labels.angle * std::numbers::pi / 180;
  return (labels.maxWidth + 1) * std::cos(radians) + lineHeight / 2 * std::sin(radians) - slot / 2;
}

// Labels no longer than `room` takes across the axis.
void ShortenToRoom(CategoryLabelFit& labels, double room, double lineHeight) {
  if (labels.extent <= room) return;
  const double radians = labels.angle * std::numbers::pi / 180;
  const double width = labels.angle == 0
                           ? (lineHeight <= room ? labels.maxWidth : 0)
                           : (room - lineHeight * std::cos(radians)) / std::sin(radians);
  labels.maxWidth = std::max(0.0, std::min(labels.maxWidth, width));
  labels.extent = room;
}

// The depth of the 3D walls, in whole pixels.
double FrameDepth(const ChartModel& model, const Plan& plan, QRectF area) {
  double depth = std::min(area.width(), area.height()) *
                 std::min(kMaxDepthShare, Depth3DShare(model) * kDepthPerPercent);
  if (plan.barCount > 0) {
    const double slot =
        (plan.horizontal ? area.height() : area.width()) / std::max(plan.categories, 1);
    const double thickness =
        slot * kGroupShare / (plan.multiBar == MultiBar::SideBySide ? plan.barCount : 1);
    depth = std::min(depth, std::max(thickness * kMaxDepthPerThickness, kMinRowDepth) * plan.rows);
  }
  // Rows of series go back a few pixels each at least, or the front ones would hide the rest.
  if (plan.deep && plan.rows > 1) {
    depth = std::max(depth, std::min(plan.rows * kMinRowDepth,
                                     std::min(area.width(), area.height()) * kMaxDepthShare));
  }
  return std::round(depth);
}

// The plot may not get smaller than this share of the area in either direction before the texts
// around it are left out, in the order of kLeaveOutOrder.
constexpr double kMinPlotShare = 0.3;

constexpr AxisTexts kLeaveOutOrder[] = {{true, true, kAxisTitleLines, true},
                                        {false, true, kAxisTitleLines, true},
                                        {false, false, kAxisTitleLines, true},
                                        {false, false, 1, true},
                                        {false, false, 0, true},
                                        {false, false, 0, false}};

QStringList AxisTitleLines(const ChartAxisTitle& title, const QFont& font, double length,
                           int lines) {
  if (lines == 0 || title.caption.empty()) return {};
  return Wrapped(font, DisplayText(title.caption).trimmed(), length, lines);
}

Frame FrameWith(const AxisTexts& texts, const ChartModel& model,
                const std::vector<const SeriesModel*>& series, const Plan& plan,
                std::pair<double, double> range, QRectF area, const ChartFonts& fonts) {
  const QFont& tickFont = fonts[FontRole::Tick];
  const double lineHeight = LineHeight(tickFont);
  Frame frame;
  frame.texts = texts;
  // The axis titles meet in the lower left corner: each keeps to its side of the other.
  const QFont& leftFont = fonts[FontRole::LeftAxisTitle];
  const QFont& bottomFont = fonts[FontRole::BottomAxisTitle];
  const auto room = [](const QStringList& lines, const QFont& font) {
    return lines.isEmpty() ? 0.0 : lines.size() * LineHeight(font) + kGap;
  };
  const double leftMost =
      model.leftAxisTitle.caption.empty() ? 0 : texts.titleLines * LineHeight(leftFont) + kGap;
  frame.bottomTitle =
      AxisTitleLines(model.bottomAxisTitle, bottomFont, area.width() - leftMost, texts.titleLines);
  frame.leftTitle =
      AxisTitleLines(model.leftAxisTitle, leftFont,
                     area.height() - room(frame.bottomTitle, bottomFont), texts.titleLines);
  const double leftTitle = room(frame.leftTitle, leftFont);
  const double bottomTitle = room(frame.bottomTitle, bottomFont);
  const QSizeF marks =
      texts.markRoom ? BarMarkRoom(series, plan.multiBar, range, fonts[FontRole::Mark]) : QSizeF();
  frame.depth = FrameDepth(model, plan, area);
  const ZeroRoom zeroRoom = RoomBeyondZero(series, plan.multiBar);
  QRectF plot =
      area.adjusted(leftTitle, frame.depth + lineHeight, -frame.depth - kGap, -bottomTitle);
  const double maxLength =
      plan.horizontal ? area.width() * kMaxLabelWidthShare : area.height() * kMaxLabelHeightShare;
  double labelRoom = 0;  // kept for the category labels, across the axis
  // The ticks need the plot's length, and the room for their labels changes that length: passes
  // until the plot stays as it is (it does after two or three).
  for (int pass = 0; pass < 5; ++pass) {
    const double valueLength = std::max(1.0, plan.horizontal ? plot.width() : plot.height());
    frame.ticks = TicksWithRoomBeyondZero(range, valueLength, zeroRoom, plan.horizontal, tickFont);
    double tickWidth = 0, firstHalf = 0, lastHalf = 0;
    if (texts.tickLabels && !frame.ticks.values.empty()) {
      tickWidth = MaxTickWidth(frame.ticks, tickFont);
      firstHalf = TextWidth(tickFont, TickText(frame.ticks, frame.ticks.values.front())) / 2;
      lastHalf = TextWidth(tickFont, TickText(frame.ticks, frame.ticks.values.back())) / 2;
    }
    const double categoryLength = plan.horizontal ? plot.height() : plot.width();
    const double slot = categoryLength / std::max(plan.categories, 1);
    frame.labels = texts.categoryLabels
                       ? FitCategoryLabels(model.labels, plan, slot, maxLength, tickFont)
                       : CategoryLabelFit{};
    labelRoom = frame.labels.extent > 0 ? frame.labels.extent + kLabelOffset : 0;
    const double tickRoom = texts.tickLabels ? tickWidth + kLabelOffset : kTick;
    double left, bottom, right, top;
    if (plan.horizontal) {
      left = std::max({labelRoom, firstHalf + 1, kTick});
      bottom = texts.tickLabels ? lineHeight + kLabelOffset : kTick;
      right = frame.depth + kGap + std::max(lastHalf, marks.width());
      top = frame.depth + lineHeight / 2;
    } else {
      const double overhang = LabelOverhang(frame.labels, slot, lineHeight);
      left = std::max(tickRoom, std::min(overhang, area.width() * kMaxOverhangShare));
      bottom = std::max(labelRoom, kTick);
      right = frame.depth + kGap;
      top = frame.depth + std::max(marks.height(), lineHeight / 2 + 1);
    }
    const QRectF next = area.adjusted(leftTitle + left, top, -right, -(bottomTitle + bottom));
    if (pass > 0 && next == plot) break;
    plot = next;
  }
  // The labels as the final plot's slot places them, within the room kept for them (the passes
  // may end before the plot keeps still).
  const double slot =
      (plan.horizontal ? plot.height() : plot.width()) / std::max(plan.categories, 1);
  if (texts.categoryLabels) {
    frame.labels = FitCategoryLabels(model.labels, plan, slot, maxLength, tickFont);
    ShortenToRoom(frame.labels, labelRoom - kLabelOffset, lineHeight);
  }
  // The passes may end before the plot keeps still: labels that crowd on the final length go.
  if (!LabelsStandApart(frame.ticks, plan.horizontal ? plot.width() : plot.height(),
                        plan.horizontal, tickFont, 0)) {
    KeepTheTickNearestZero(frame.ticks);
  }
  frame.labelsFrom = area.left() + leftTitle;
  frame.plot = plot;
  frame.markRoom = plan.horizontal
                       ? plot.adjusted(0, -frame.depth, frame.depth + marks.width(), 0)
                       : plot.adjusted(0, -frame.depth - marks.height(), frame.depth, 0);
  return frame;
}

}  // namespace

// Texts around the plot are left out in a fixed order until the plot keeps its share of the
// area; with every text left out the plot takes what remains.
Frame ComputeFrame(const ChartModel& model, const std::vector<const SeriesModel*>& series,
                   const Plan& plan, std::pair<double, double> range, QRectF area,
                   const ChartFonts& fonts) {
  Frame frame;
  for (const AxisTexts& texts : kLeaveOutOrder) {
    frame = FrameWith(texts, model, series, plan, range, area, fonts);
    if (frame.plot.width() >= area.width() * kMinPlotShare &&
        frame.plot.height() >= area.height() * kMinPlotShare)
      break;
  }
  return frame;
}

}  // namespace chart
