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

#include "chart/layout/axesgeometry.h"
#include "chart/layout/labelplacer.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"

namespace chart {

namespace {

constexpr double kOutsideGap = 2;      // between a bar's end and a label past it
constexpr double kInsideGap = 2;       // between a bar's end and a label in it, and of the bar left
                                       // showing beyond the label
constexpr std::size_t kMeasured = 24;  // the longest texts that are measured, of all labels
constexpr double kNearlyLongest = 0.8;  // bars this share of the longest reach near the plot's end

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

// How far a box reaches along the value axis towards the side of zero that `negative` names: to
// the end of its front or top face (a side face past the end of a horizontal bar), or for a box
// on the other side, to its start; larger is further out.
double Reach(const Box& box, bool horizontal, bool negative) {
  const QRectF& f = box.front;
  if (horizontal) return negative ? -f.left() : f.right() + box.depth;
  return negative ? f.bottom() : box.depth - f.top();
}

double EndReach(const Box& box, bool horizontal) { return Reach(box, horizontal, box.negative); }

// The box with its end moved to `reach`.
Box ReachingTo(Box box, double reach, bool horizontal) {
  QRectF& f = box.front;
  if (horizontal) {
    box.negative ? f.setLeft(-reach) : f.setRight(reach - box.depth);
  } else {
    box.negative ? f.setBottom(reach) : f.setTop(box.depth - reach);
  }
  return box;
}

// In 3D, the bars of a point stand in rows one behind another, each row moved aside, and a label
// past the end of one stands on the others wherever they reach further that way, or on their
// labels. Where a label may stand instead: how far those bars reach, its own end and theirs
// nearest first, and across a horizontal chart, from where to where the point's bars stand.
struct PointRoom {
  std::vector<double> ends;
  double top = 0, bottom = 0;
};

PointRoom RoomAtPoint(const Box& box, const std::vector<Box>& boxes,
                      const std::vector<std::size_t>& atPoint, bool horizontal) {
  const double own = EndReach(box, horizontal);
  PointRoom room{{own}, box.front.top() - box.depth, box.front.bottom()};
  for (const std::size_t j : atPoint) {
    const Box& other = boxes[j];
    const double reach = Reach(other, horizontal, box.negative);
    if (&other != &box && reach >= own) room.ends.push_back(reach);
    room.top = std::min(room.top, other.front.top() - other.depth);
    room.bottom = std::max(room.bottom, other.front.bottom());
  }
  std::sort(room.ends.begin(), room.ends.end());
  return room;
}

// The offsets across of a label of `height` whose own place starts at `top`, one line of `step`
// apart, that keep it between `room`'s top and bottom; nearest first.
std::vector<double> Asides(double top, double height, double step, const PointRoom& room) {
  std::vector<double> asides;
  for (int j = 1;; ++j) {
    const bool up = top - j * step >= room.top, down = top + j * step + height <= room.bottom;
    if (!up && !down) return asides;
    if (up) asides.push_back(-j * step);
    if (down) asides.push_back(j * step);
  }
}

// The places of such a label: past the end of each longer bar, nearest first; then past the
// longest, a label further out at a time (two for each row, as turned labels past the ends take
// more than a line), and in a horizontal chart beside those, one above another where the point's
// bars stand; framed in its bar's colour, so that it reads as that bar's.
std::vector<TextItem> PastLongerBars(const Box& box, const PointRoom& room, const QString& text,
                                     const BarLabelPlan& plan, const Plan& chart,
                                     const ChartLayout& layout) {
  const bool horizontal = chart.horizontal;
  std::vector<TextItem> candidates;
  for (FontRole font : {FontRole::Mark, FontRole::SmallMark}) {
    TextItem label = DataLabel(text, {box.series, box.point}, font, layout, true);
    label.frame = box.color;
    const bool upright = !horizontal && plan.upright;
    const QSizeF extent = Extent(label, upright);
    if (Across(extent, horizontal) > plan.lane) continue;
    const auto at = [&](double reach) {
      return EndRect(ReachingTo(box, reach, horizontal), extent, horizontal, box.negative, true);
    };
    const auto add = [&](const QRectF& rect) {
      PlaceAt(label, rect, upright);
      candidates.push_back(label);
    };
    for (const double reach : room.ends) add(at(reach));
    const double along = (horizontal ? extent.width() : extent.height()) + kOutsideGap;
    const std::vector<double> asides = horizontal
                                           ? Asides(at(room.ends.back()).top(), extent.height(),
                                                    extent.height() + kOutsideGap, room)
                                           : std::vector<double>();
    for (int k = 0; k <= 2 * chart.rows; ++k) {
      const QRectF past = at(room.ends.back() + k * along);
      if (k > 0) add(past);
      for (const double aside : asides) add(past.translated(0, aside));
    }
  }
  return candidates;
}

QString LabelText(const Box& box, const std::vector<const SeriesModel*>& series,
                  const ChartLayout& layout) {
  const SeriesModel& one = *series[static_cast<std::size_t>(box.series)];
  return ValueText(layout.numbers, box.series,
                   one.points[static_cast<std::size_t>(box.point)].value);
}

// How near a box is to the viewer, 0 nearest: its depth row, and in mode 0 its series (later
// series are drawn over earlier ones). Labels are placed from the nearest back.
int Nearness(const Box& box, const Plan& plan) {
  const int overlap =
      plan.barGrouping == BarGrouping::None ? plan.barCount - plan.barSlot[box.series] : 0;
  return box.row * (plan.barCount + 1) + overlap;
}

// A bar's value that a label reads: any but a zero in a stack, which adds no segment.
bool HasReading(double value, BarGrouping mode) {
  return std::isfinite(value) && (value != 0 || !IsStacked(mode));
}

// The faces of LabelSizes::faces: at each category whose longest bar on a side of zero is nearly
// the chart's longest on that side, how much longer each other bar on that side is than every bar
// in a row in front of it.
std::vector<std::vector<double>> FacesNearTheLongest(const std::vector<const SeriesModel*>& series,
                                                     const Plan& plan) {
  std::vector<std::vector<double>> faces;
  if (!plan.deep || plan.fromZero.size() < 2 || plan.categories == 0 ||
      plan.barGrouping != BarGrouping::None)
    return faces;
  std::vector<std::size_t> byRow = plan.fromZero;  // front first
  std::sort(byRow.begin(), byRow.end(),
            [&](std::size_t a, std::size_t b) { return plan.row[a] < plan.row[b]; });
  for (const bool negative : {false, true}) {
    // The length of each labelled bar on this side, -1 for none.
    const auto length = [&](std::size_t s, int point) {
      const auto& points = series[s]->points;
      const double v = point < static_cast<int>(points.size()) ? points[point].value : NAN;
      const bool shown = series[s]->dataLabelsVisible && std::isfinite(v);
      return shown && std::signbit(v) == negative ? std::abs(v) : -1.0;
    };
    std::vector<double> longest(static_cast<std::size_t>(plan.categories), -1);
    for (const std::size_t s : plan.fromZero)
      for (int p = 0; p < plan.categories; ++p) longest[p] = std::max(longest[p], length(s, p));
    const double chart = *std::max_element(longest.begin(), longest.end());
    for (int p = 0; p < plan.categories; ++p) {
      if (longest[p] < 0 || longest[p] < kNearlyLongest * chart) continue;
      std::vector<double> shown;
      double before = 0;  // the longest bar in the rows in front
      bool longestSeen = false;
      for (const std::size_t s : byRow) {
        const double own = length(s, p);
        if (own < 0) continue;
        if (own == longest[p] && !longestSeen) {
          longestSeen = true;
        } else {
          shown.push_back(own - before);
        }
        before = std::max(before, own);
      }
      faces.push_back(std::move(shown));
    }
  }
  return faces;
}

}  // namespace

int LabelsPastTheLongest(const LabelSizes& sizes, double line, double pixels) {
  int most = 1;
  for (const std::vector<double>& faces : sizes.faces) {
    const auto past = [&](double face) { return !(face * pixels >= line); };
    most = std::max(most, 1 + static_cast<int>(std::count_if(faces.begin(), faces.end(), past)));
  }
  return most;
}

LabelSizes MeasureDataLabels(const std::vector<const SeriesModel*>& series, const Plan& plan,
                             const ChartLayout& layout) {
  std::vector<std::pair<int, QString>> texts;  // length in characters, text
  LabelSizes sizes;
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (!series[s]->dataLabelsVisible) continue;
    for (const ChartPoint& point : series[s]->points) {
      if (!HasReading(point.value, series[s]->barGrouping)) continue;
      const QString text = ValueText(layout.numbers, static_cast<int>(s), point.value);
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
  sizes.markAcross = LineHeight(layout.scene.fonts[FontRole::Mark]) + 2;
  sizes.smallAcross = LineHeight(layout.scene.fonts[FontRole::SmallMark]);
  sizes.faces = FacesNearTheLongest(series, plan);
  return sizes;
}

double LabelLane(const Plan& plan, double slot, double boxDepth) {
  const bool single = plan.barCount == 1 && plan.rows == 1;
  return single ? slot - 2 - boxDepth : BarThickness(plan, slot) - boxDepth;
}

bool LabelsUpright(const Plan& plan, const LabelSizes& sizes, double lane) {
  return !plan.horizontal && sizes.markAlong > lane;
}

void AddBarLabels(const std::vector<const SeriesModel*>& series,
                  const std::vector<std::size_t>& bars, const std::vector<Box>& boxes,
                  const Geometry& g, const ChartLayout& layout, LabelPlacer& placer) {
  BarLabelPlan plan;
  plan.stacked = IsStacked(g.plan.barGrouping);
  plan.lane = NarrowestLane(boxes, g);
  plan.upright = LabelsUpright(g.plan, g.frame.labelSizes,
                               LabelLane(g.plan, g.slot, g.frame.depth > 0 ? g.BoxDepth() : 0));
  for (const std::size_t s : bars) {
    const SeriesModel* one = series[s];
    if (!one->dataLabelsVisible) continue;
    placer.Want(static_cast<int>(std::count_if(
        one->points.begin(), one->points.end(),
        [&](const ChartPoint& p) { return HasReading(p.value, g.plan.barGrouping); })));
  }
  const std::vector<bool> outermost = OutermostSegments(boxes, g.plan.horizontal);
  std::vector<std::size_t> order(boxes.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return Nearness(boxes[a], g.plan) < Nearness(boxes[b], g.plan);
  });
  // Every bar's label at its own end first, then the labels of bars that found no room there
  // because a longer bar of another row stands there, past the ends of the longer bars.
  std::vector<std::size_t> unplaced;
  for (std::size_t i : order) {
    const Box& box = boxes[i];
    const SeriesModel& one = *series[static_cast<std::size_t>(box.series)];
    if (box.dense || !one.dataLabelsVisible) continue;
    if (!placer.Place(Candidates(box, LabelText(box, series, layout), plan, outermost[i],
                                 g.plan.horizontal, layout)))
      unplaced.push_back(i);
  }
  if (plan.stacked || g.plan.rows < 2 || unplaced.empty()) return;
  std::vector<std::vector<std::size_t>> byPoint(static_cast<std::size_t>(g.plan.categories));
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (!boxes[i].dense) byPoint[static_cast<std::size_t>(boxes[i].point)].push_back(i);
  for (std::size_t i : unplaced) {
    const Box& box = boxes[i];
    const PointRoom room =
        RoomAtPoint(box, boxes, byPoint[static_cast<std::size_t>(box.point)], g.plan.horizontal);
    placer.Place(PastLongerBars(box, room, LabelText(box, series, layout), plan, g.plan, layout));
  }
}

}  // namespace chart
