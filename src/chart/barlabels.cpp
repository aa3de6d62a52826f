// The data labels of bars (step 6 of the order in axeslayout.cpp).
//
// A bar's label is tied to it: just past its end, read upward where the widest label is wider
// than the bar's lane, or else inside its end, in the mark's font or, where that does not fit,
// in the smallest legible one. A segment of a stack has its label inside it, the outermost one of
// a stack also past the stack's end. The lane of a bar is the width across that no other bar's
// label or face reaches: the bar itself less its 3D depth (the box beside it reaches that far
// over), or for a single series of flat bars its whole category slot. So a label past a bar's
// end never covers a neighbour, and since the depth of 3D bars is kept below the bar's width less
// a label's line (framelayout.cpp), a bar of at least a small label's line plus its depth always
// has its label where the value axis leaves room past its end or in it (see the guarantees).

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "chart/axesgeometry.h"
#include "chart/labelplacer.h"

namespace chart {

namespace {

constexpr double kOutsideGap = 2;      // between a bar's end and a label past it
constexpr double kInsideGap = 2;       // between a bar's end and a label in it, and of the bar left
                                       // showing beyond the label
constexpr std::size_t kMeasured = 24;  // the longest texts that are measured, of all labels

// Where a label of `extent` stands past the end of `box`, or just inside it.
QRectF EndRect(const Box& box, QSizeF extent, bool horizontal, bool negative, bool outside) {
  const QRectF& f = box.front;
  const double d = box.depth;
  const double w = extent.width(), h = extent.height();
  if (horizontal) {
    const double y = (outside ? f.center().y() - d / 2 : f.center().y()) - h / 2;
    const double x = negative
                         ? (outside ? f.left() - kOutsideGap - w : f.left() + kInsideGap)
                         : (outside ? f.right() + d + kOutsideGap : f.right() - kInsideGap - w);
    return QRectF(x, y, w, h);
  }
  const double x = (outside ? f.center().x() + d / 2 : f.center().x()) - w / 2;
  const double y = negative ? (outside ? f.bottom() + kOutsideGap : f.bottom() - kInsideGap - h)
                            : (outside ? f.top() - d - kOutsideGap - h : f.top() + kInsideGap);
  return QRectF(x, y, w, h);
}

// Inside, a label leaves half a pixel of its bar at either side across and two beyond it along.
bool HoldsInside(const QRectF& front, const QRectF& rect, bool horizontal) {
  const QRectF room = horizontal ? front.adjusted(kInsideGap, 0.5, -kInsideGap, -0.5)
                                 : front.adjusted(0.5, kInsideGap, -0.5, -kInsideGap);
  return room.contains(rect);
}

double Across(QSizeF extent, bool horizontal) {
  return horizontal ? extent.height() : extent.width();
}

struct BarLabelPlan {
  bool upright = false;  // vertical bars' labels read upward
  bool stacked = false;
  double lane = 0;  // the narrowest bar's: labels of one style on every bar of the chart
};

// The lane of one bar, from its own width (bars are rounded to whole pixels): for one series of
// bars in one row the category's slot.
double LaneOf(const Box& box, const Geometry& g) {
  const bool single = g.plan.barCount == 1 && g.plan.rows == 1;
  const double thickness = g.plan.horizontal ? box.front.height() : box.front.width();
  return (single ? g.slot - 2 : thickness) - box.depth;
}

double NarrowestLane(const std::vector<Box>& boxes, const Geometry& g) {
  double lane = HUGE_VAL;
  for (const Box& box : boxes) {
    if (!box.dense) lane = std::min(lane, LaneOf(box, g));
  }
  return lane;
}

// The outermost segment of each stack, by category and side of zero: it may have its label past
// the stack's end.
std::vector<bool> OutermostSegments(const std::vector<Box>& boxes, bool horizontal) {
  std::vector<bool> outermost(boxes.size(), false);
  auto reach = [&](const Box& box, bool negative) {
    const QRectF& f = box.front;
    return horizontal ? (negative ? -f.left() : f.right()) : (negative ? f.bottom() : -f.top());
  };
  std::vector<std::pair<long long, std::size_t>> best;  // key: point and side
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const long long key = boxes[i].point * 2LL + (boxes[i].negative ? 1 : 0);
    auto found =
        std::find_if(best.begin(), best.end(), [&](const auto& b) { return b.first == key; });
    if (found == best.end()) {
      best.emplace_back(key, i);
    } else if (reach(boxes[i], boxes[i].negative) >
               reach(boxes[found->second], boxes[i].negative)) {
      found->second = i;
    }
  }
  for (const auto& entry : best) outermost[entry.second] = true;
  return outermost;
}

std::vector<TextItem> Candidates(const Box& box, const QString& text, const BarLabelPlan& plan,
                                 bool outermost, bool horizontal, const ChartLayout& layout) {
  const Owner owner{box.series, box.point};
  std::vector<TextItem> candidates;
  std::vector<bool> turns = {horizontal ? false : plan.upright};
  if (!horizontal) turns.push_back(!plan.upright);
  for (FontRole font : {FontRole::Mark, FontRole::SmallMark}) {
    for (bool upright : turns) {
      TextItem outside = DataLabel(text, owner, font, layout, font == FontRole::Mark);
      TextItem inside = DataLabel(text, owner, font, layout, false, box.color);
      const QSizeF outsideExtent = Extent(outside, upright), insideExtent = Extent(inside, upright);
      const QRectF in = plan.stacked
                            ? QRectF(box.front.center() -
                                         QPointF(insideExtent.width(), insideExtent.height()) / 2,
                                     insideExtent)
                            : EndRect(box, insideExtent, horizontal, box.negative, false);
      const bool insideFits = HoldsInside(box.front, in, horizontal);
      const bool outsideFits =
          Across(outsideExtent, horizontal) <= plan.lane && (!plan.stacked || outermost);
      if (insideFits) PlaceAt(inside, in, upright);
      if (outsideFits)
        PlaceAt(outside, EndRect(box, outsideExtent, horizontal, box.negative, true), upright);
      if (plan.stacked && insideFits) candidates.push_back(inside);
      if (outsideFits) candidates.push_back(outside);
      if (!plan.stacked && insideFits) candidates.push_back(inside);
    }
  }
  return candidates;
}

// How near a box is to the viewer, 0 nearest: its depth row, and in mode 0 its series (later
// series are drawn over earlier ones). Labels are placed from the nearest back.
int Nearness(const Box& box, const Plan& plan) {
  const int overlap =
      plan.multiBar == MultiBar::None ? plan.barCount - plan.barSlot[box.series] : 0;
  return box.row * (plan.barCount + 1) + overlap;
}

// A bar's value that a label reads: any but a zero in a stack, which adds no segment.
bool HasReading(double value, MultiBar mode) {
  return std::isfinite(value) && (value != 0 || !IsStacked(mode));
}

}  // namespace

LabelSizes MeasureDataLabels(const std::vector<const SeriesModel*>& series,
                             const ChartLayout& layout) {
  std::vector<std::pair<int, QString>> texts;  // length in characters, text
  LabelSizes sizes;
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (!series[s]->marksVisible) continue;
    for (const ChartPoint& point : series[s]->points) {
      if (!HasReading(point.value, series[s]->multiBar)) continue;
      const QString text = ValueText(layout, static_cast<int>(s), point.value);
      texts.emplace_back(static_cast<int>(text.size()), text);
      sizes.any = true;
    }
  }
  const std::size_t measured = std::min(texts.size(), kMeasured);
  std::partial_sort(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(measured),
                    texts.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (std::size_t i = 0; i < measured; ++i) {
    const QString& text = texts[i].second;
    sizes.markAlong =
        std::max(sizes.markAlong, DataLabel(text, {}, FontRole::Mark, layout, true).box.width());
    sizes.smallAlong = std::max(
        sizes.smallAlong, DataLabel(text, {}, FontRole::SmallMark, layout, false).box.width());
  }
  sizes.markAcross = LineHeight(layout.fonts[FontRole::Mark]) + 2;
  sizes.smallAcross = LineHeight(layout.fonts[FontRole::SmallMark]);
  return sizes;
}

double LabelLane(const Plan& plan, double slot, double boxDepth) {
  const bool single = plan.barCount == 1 && plan.rows == 1;
  return single ? slot - 2 - boxDepth : BarThickness(plan, slot) - boxDepth;
}

bool LabelsUpright(const Plan& plan, const LabelSizes& sizes, double lane) {
  return !plan.horizontal && sizes.markAlong > lane;
}

void AddBarLabels(const std::vector<const SeriesModel*>& series, const std::vector<Box>& boxes,
                  const Geometry& g, LabelPlacer& placer, ChartLayout& layout) {
  BarLabelPlan plan;
  plan.stacked = IsStacked(g.plan.multiBar);
  plan.lane = NarrowestLane(boxes, g);
  plan.upright = LabelsUpright(g.plan, g.frame.labelSizes,
                               LabelLane(g.plan, g.slot, g.frame.depth > 0 ? g.BoxDepth() : 0));
  for (const std::size_t s : g.plan.bars) {
    const SeriesModel* one = series[s];
    if (!one->marksVisible) continue;
    layout.omitted.dataLabels.wanted += static_cast<int>(
        std::count_if(one->points.begin(), one->points.end(),
                      [&](const ChartPoint& p) { return HasReading(p.value, g.plan.multiBar); }));
  }
  const std::vector<bool> outermost = OutermostSegments(boxes, g.plan.horizontal);
  std::vector<std::size_t> order(boxes.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return Nearness(boxes[a], g.plan) < Nearness(boxes[b], g.plan);
  });
  for (std::size_t i : order) {
    const Box& box = boxes[i];
    const SeriesModel& one = *series[static_cast<std::size_t>(box.series)];
    if (box.dense || !one.marksVisible) continue;
    const QString text =
        ValueText(layout, box.series, one.points[static_cast<std::size_t>(box.point)].value);
    placer.Place(Candidates(box, text, plan, outermost[i], g.plan.horizontal, layout), layout);
  }
}

}  // namespace chart
