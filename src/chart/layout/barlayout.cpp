// Layout of the bars of a chart with axes, within the order that axeslayout.cpp sets out:
//   2. the span of every bar: from zero, or in stacked modes on top of the bars before it
//      (positive and negative sums apart), in percent of the category's total when stacked to
//      100 percent;
//   5. where each bar stands across its category (BarAcross), and which pixels it covers along
//      the value axis: at least one where its value is not zero, so that no series vanishes in
//      rounding; a value of zero a thin mark on the zero line, outside stacks; bars thinner than a
//      pixel are gathered per pixel column (each series' range there, smaller ones in front), so
//      that the cost follows the pixels, not the points; the boxes in their depth rows, sorted from
//      the back to the front, and their faces.
// The data labels of the bars (step 6) are placed by barlabels.cpp.

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/layout/axesgeometry.h"
#include "chart/model/palette.h"

namespace chart {

namespace {

constexpr int kZeroMarkPixels = 2;  // how thick the mark of a value of zero is along the axis

double Bounded(double v) {
  constexpr double top = std::numeric_limits<double>::max();
  return std::clamp(v, -top, top);
}

// Across its category a bar takes [from, to) in pixels. Bars that stand beside each other (side
// by side, or overlapping flat, each offset and narrower than the one before, as office suites
// draw them) get at least a pixel each where the slot has room for it; where they cannot be
// offset by a pixel, overlapping bars share the whole group and the smaller stands in front.
struct Across {
  double from = 0;
  double to = 0;
};

bool Overlapping(const Plan& plan) {
  return plan.barGrouping == BarGrouping::None && !plan.deep && plan.barCount > 1;
}

Across BarAcrossAt(const Plan& plan, double slot, double center, int barSlot) {
  const int n = std::max(plan.barCount, 1);
  const bool sideBySide = plan.barGrouping == BarGrouping::SideBySide && n > 1;
  const bool overlapping = Overlapping(plan);
  const int beside = sideBySide ? n : (overlapping ? n + 1 : 1);
  const int least = plan.leastPixels;  // a device pixel each, on a small image two of the layout
  double group = slot * kGroupShare;
  if (beside > 1) group = std::max(group, std::min(slot - 1, static_cast<double>(beside * least)));
  const double start = center - group / 2;
  if (sideBySide) return {start + barSlot * group / n, start + (barSlot + 1) * group / n};
  const double offset = group / (n + 1);
  if (overlapping && offset >= 1) return {start + barSlot * offset, start + (barSlot + 2) * offset};
  return {start, start + group};
}

Across BarAcross(const Geometry& g, int barSlot, int category) {
  return BarAcrossAt(g.plan, g.slot, g.CategoryCenter(category), barSlot);
}

// A box before it is placed in its row: across in whole pixels, along the value axis from
// `low` to `high` pixels (low nearer the axis' start).
struct PixelBar {
  int series = 0;
  int point = 0;
  double across = 0;  // left (vertical bars) or top (horizontal) edge
  double width = 0;
  int low = 0;
  int high = 0;
};

// Pixels along the value axis counted from the axis' start (left, or bottom for vertical bars).
int ValuePixel(const Geometry& g, double value) {
  const double at = g.scale.Map(value);
  return static_cast<int>(
      std::lround(g.plan.horizontal ? at - g.frame.plot.left() : g.frame.plot.bottom() - at));
}

// A single bar's far end stands at least its least pixels from zero where its value is not zero.
std::pair<int, int> SingleBarPixels(const Geometry& g, const Span& span, double value) {
  int low = ValuePixel(g, span.low), high = ValuePixel(g, span.high);
  const int least = g.plan.leastPixels;
  if (value > 0) high = std::max(high, low + least);
  if (value < 0) low = std::min(low, high - least);
  return {low, high};
}

// The boundaries of one stack, going out from zero in the direction `sign`: every segment of a
// value other than zero keeps at least `least` pixels, and the stack still ends where its sum is
// (where the axis leaves room for that).
void KeepEverySegment(std::vector<int>& ends, const std::vector<bool>& nonZero, int zero, int limit,
                      int sign, int least) {
  std::vector<int> out(ends.size());
  int previous = 0;
  for (std::size_t k = 0; k < ends.size(); ++k) {
    out[k] = std::max(sign * (ends[k] - zero), previous + (nonZero[k] ? least : 0));
    previous = out[k];
  }
  int next = std::min(out.empty() ? 0 : out.back(), sign * (limit - zero));
  for (std::size_t k = ends.size(); k-- > 0;) {
    out[k] = std::max(0, std::min(out[k], next));
    next = out[k] - (nonZero[k] ? least : 0);
  }
  for (std::size_t k = 0; k < ends.size(); ++k) ends[k] = zero + sign * out[k];
}

// Step 5 for one category of stacked bars: the segments' pixels, positive and negative apart.
void StackPixels(std::vector<PixelBar>& bars, const std::vector<const SeriesModel*>& series,
                 const Geometry& g) {
  const int zero = ValuePixel(g, 0);
  const int axisLength = static_cast<int>(
      std::lround(g.plan.horizontal ? g.frame.plot.width() : g.frame.plot.height()));
  for (int sign : {1, -1}) {
    std::vector<PixelBar*> stack;
    std::vector<int> ends;
    std::vector<bool> nonZero;
    for (PixelBar& bar : bars) {
      const double value = series[static_cast<std::size_t>(bar.series)]
                               ->points[static_cast<std::size_t>(bar.point)]
                               .value;
      if ((value >= 0) != (sign > 0)) continue;
      stack.push_back(&bar);
      ends.push_back(sign > 0 ? bar.high : bar.low);
      nonZero.push_back(value != 0);
    }
    KeepEverySegment(ends, nonZero, zero, sign > 0 ? axisLength : 0, sign, g.plan.leastPixels);
    int previous = zero;
    for (std::size_t k = 0; k < stack.size(); ++k) {
      stack[k]->low = std::min(previous, ends[k]);
      stack[k]->high = std::max(previous, ends[k]);
      previous = ends[k];
    }
  }
}

// Bars thinner than a pixel: per series and pixel column, the range of its bars there, shown by
// the point of the largest value.
class Columns {
 public:
  Columns(std::size_t series, const Geometry& g)
      : first_(static_cast<long long>(
            std::floor(g.plan.horizontal ? g.frame.plot.top() : g.frame.plot.left()))),
        count_(static_cast<std::size_t>(
                   std::ceil(g.plan.horizontal ? g.frame.plot.height() : g.frame.plot.width())) +
               2),
        cells_(series) {}

  void Add(const PixelBar& bar, double size) {
    const long long column = std::clamp<long long>(
        static_cast<long long>(std::floor(bar.across + bar.width / 2)) - first_, 0,
        static_cast<long long>(count_) - 1);
    std::vector<Cell>& cells = cells_[static_cast<std::size_t>(bar.series)];
    if (cells.empty()) cells.resize(count_);
    Cell& cell = cells[static_cast<std::size_t>(column)];
    if (!cell.used || size > cell.size) {
      cell.point = bar.point;
      cell.size = size;
    }
    cell.low = cell.used ? std::min(cell.low, bar.low) : bar.low;
    cell.high = cell.used ? std::max(cell.high, bar.high) : bar.high;
    cell.used = true;
  }

  std::vector<PixelBar> Bars() const {
    std::vector<PixelBar> bars;
    for (std::size_t s = 0; s < cells_.size(); ++s) {
      for (std::size_t c = 0; c < cells_[s].size(); ++c) {
        const Cell& cell = cells_[s][c];
        if (!cell.used) continue;
        bars.push_back({static_cast<int>(s), cell.point,
                        static_cast<double>(first_ + static_cast<long long>(c)), 1, cell.low,
                        cell.high});
      }
    }
    return bars;
  }

 private:
  struct Cell {
    bool used = false;
    int point = 0;
    double size = 0;
    int low = 0;
    int high = 0;
  };
  long long first_;
  std::size_t count_;
  std::vector<std::vector<Cell>> cells_;
};

QRectF FrontOf(const PixelBar& bar, const Geometry& g) {
  const QRectF& p = g.frame.plot;
  if (g.plan.horizontal) {
    return QRectF(p.left() + bar.low, bar.across, bar.high - bar.low, bar.width);
  }
  return QRectF(bar.across, p.bottom() - bar.high, bar.width, bar.high - bar.low);
}

Box BoxOf(const PixelBar& bar, const std::vector<const SeriesModel*>& series, const Geometry& g,
          bool dense) {
  const int row = g.plan.row[static_cast<std::size_t>(bar.series)];
  const QPointF shift = g.RowShift(row) + (g.frame.depth > 0 ? g.RowInset() : QPointF());
  const SeriesModel& one = *series[static_cast<std::size_t>(bar.series)];
  const double value = one.points[static_cast<std::size_t>(bar.point)].value;
  const bool negative = value < 0 || (value == 0 && bar.high <= ValuePixel(g, 0));
  return {row,
          FrontOf(bar, g).translated(shift),
          g.frame.depth > 0 ? g.BoxDepth() : 0,
          ToQColor(ResolvePointColor(one, bar.point)),
          bar.series,
          bar.point,
          dense,
          negative};
}

// A value of zero is drawn as a thin bar on the zero line, so that it reads apart from a missing
// value: from zero toward larger values, or where the axis ends at zero toward smaller ones.
void MarkZero(PixelBar& bar, const Geometry& g) {
  const int zero = ValuePixel(g, 0);
  const int thickness = std::max(kZeroMarkPixels, g.plan.leastPixels);
  const int axisLength = static_cast<int>(
      std::lround(g.plan.horizontal ? g.frame.plot.width() : g.frame.plot.height()));
  const bool up = zero + thickness <= axisLength;
  bar.low = up ? zero : zero - thickness;
  bar.high = up ? zero + thickness : zero;
}

// Whole pixels across: a bar keeps at least its least pixels.
void RoundAcross(PixelBar& bar, Across across, int least) {
  const double from = std::round(across.from), to = std::round(across.to);
  bar.across = from;
  bar.width = std::max<double>(least, to - from);
}

std::vector<Box> MakeBoxes(const std::vector<const SeriesModel*>& series,
                           const std::vector<std::size_t>& bars, const Spans& spans,
                           const Geometry& g) {
  const bool stacked = IsStacked(g.plan.barGrouping);
  std::vector<Box> boxes;
  Columns columns(series.size(), g);
  const Across first = BarAcross(g, 0, 0);  // every bar is as wide
  const bool dense = first.to - first.from < 1;
  std::vector<PixelBar> category;
  for (int c = 0; c < g.plan.categories; ++c) {
    category.clear();
    for (const std::size_t s : bars) {
      if (static_cast<std::size_t>(c) >= spans[s].size()) continue;
      const Span& span = spans[s][static_cast<std::size_t>(c)];
      if (!span.valid) continue;
      const Across across = BarAcross(g, g.plan.barSlot[s], c);
      PixelBar bar{static_cast<int>(s), c, across.from, across.to - across.from};
      const double value = series[s]->points[static_cast<std::size_t>(c)].value;
      std::tie(bar.low, bar.high) = SingleBarPixels(g, span, value);
      if (!dense) RoundAcross(bar, across, g.plan.leastPixels);
      category.push_back(bar);
    }
    if (stacked) StackPixels(category, series, g);
    for (PixelBar& bar : category) {
      if (bar.low == bar.high) {  // a value of zero: marked where bars stand apart
        if (stacked || dense) continue;
        MarkZero(bar, g);
      }
      if (dense) {
        columns.Add(bar, std::abs(series[static_cast<std::size_t>(bar.series)]
                                      ->points[static_cast<std::size_t>(bar.point)]
                                      .value));
      } else {
        boxes.push_back(BoxOf(bar, series, g, false));
      }
    }
  }
  if (!dense) return boxes;
  for (const PixelBar& bar : columns.Bars()) boxes.push_back(BoxOf(bar, series, g, true));
  return boxes;
}

// The viewer looks from the upper right: rows from the back, then boxes further left and lower
// first, so nearer faces cover farther ones. Boxes in one place: in a stack the lower first (its
// top goes behind the next); overlapping bars the longer first, so the shorter stays in front.
void SortBackToFront(std::vector<Box>& boxes, bool horizontal, bool stacked) {
  std::stable_sort(boxes.begin(), boxes.end(), [=](const Box& a, const Box& b) {
    if (a.row != b.row) return a.row > b.row;
    const QPointF ca = a.front.center(), cb = b.front.center();
    const double acrossA = horizontal ? -ca.y() : ca.x(), acrossB = horizontal ? -cb.y() : cb.x();
    if (acrossA != acrossB) return acrossA < acrossB;
    if (!stacked) {
      const double lengthA = horizontal ? a.front.width() : a.front.height();
      const double lengthB = horizontal ? b.front.width() : b.front.height();
      if (lengthA != lengthB) return lengthA > lengthB;
    }
    return horizontal ? ca.x() < cb.x() : a.front.bottom() > b.front.bottom();
  });
}

}  // namespace

// Sums are kept in long double, whose range no sum of doubles leaves, so that a stack or a
// category's total is right however large its values; spans are bounded to doubles at the end.
Spans BarSpans(const std::vector<const SeriesModel*>& series, const std::vector<std::size_t>& bars,
               const Plan& plan) {
  const auto n = static_cast<std::size_t>(plan.categories);
  std::vector<long double> positive(n, 0), negative(n, 0), total(n, 0);
  for (const std::size_t s : bars) {
    const auto& points = series[s]->points;
    for (std::size_t c = 0; c < points.size(); ++c) {
      if (std::isfinite(points[c].value)) total[c] += std::abs(points[c].value);
    }
  }
  Spans spans(series.size());
  for (const std::size_t s : bars) {
    const auto& points = series[s]->points;
    spans[s].resize(points.size());
    for (std::size_t c = 0; c < points.size(); ++c) {
      long double value = points[c].value;
      if (!std::isfinite(points[c].value)) continue;
      if (plan.barGrouping == BarGrouping::Stacked100) {
        if (!(total[c] > 0)) continue;
        value = value / total[c] * 100;
      }
      long double low = std::min<long double>(0, value), high = std::max<long double>(0, value);
      if (IsStacked(plan.barGrouping)) {
        long double& sum = value >= 0 ? positive[c] : negative[c];
        low = value >= 0 ? sum : sum + value;
        high = value >= 0 ? sum + value : sum;
        sum += value;
      }
      // Shares that add up to 100.00000000000001 would take the axis on to the next tick.
      const double limit = plan.barGrouping == BarGrouping::Stacked100 ? 100 : HUGE_VAL;
      spans[s][c] = {std::max(Bounded(static_cast<double>(low)), -limit),
                     std::min(Bounded(static_cast<double>(high)), limit), true};
    }
  }
  return spans;
}

double BarThickness(const Plan& plan, double slot) {
  const Across across = BarAcrossAt(plan, slot, 0, 0);
  return across.to - across.from;
}

std::vector<Box> BarBoxes(const std::vector<const SeriesModel*>& series,
                          const std::vector<std::size_t>& bars, const Spans& spans,
                          const Geometry& g) {
  std::vector<Box> boxes = MakeBoxes(series, bars, spans, g);
  SortBackToFront(boxes, g.plan.horizontal, IsStacked(g.plan.barGrouping));
  return boxes;
}

void AddBoxFaces(const Box& box, Scene& scene) {
  const int series = box.series;
  const QRectF& f = box.front;
  const QColor outline = SideShade(box.color);
  const int point = box.point;
  if (box.depth > 0) {
    const QPointF d(box.depth, -box.depth);
    scene.faces.push_back(
        {Quad(f.topRight(), f.topRight() + d, f.bottomRight() + d, f.bottomRight()),
         SideShade(box.color), outline, box.dense, series, false, point});
    scene.faces.push_back({Quad(f.topLeft(), f.topRight(), f.topRight() + d, f.topLeft() + d),
                           TopShade(box.color), outline, box.dense, series, false, point});
  }
  scene.faces.push_back({QPolygonF(f), box.color, outline, box.dense, series, false, point});
}

}  // namespace chart
