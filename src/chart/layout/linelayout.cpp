// Layout of the lines of a chart with axes, within the order that axeslayout.cpp sets out:
//   5. the points of a line, thinned to the lowest and highest of each pixel column where
//      there are more points than pixels, split at gaps (non-finite values); drawn flat as
//      polylines, in 3D as a ribbon in the line's depth row, or where thinned as a band of each
//      column's range under a roof;
//   6. labels above the points (below them where that is taken), where they cover no other
//      series' data and no other text.

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/layout/serieslayouter.h"
#include "chart/layout/valuetext.h"
#include "chart/model/palette.h"

namespace chart {

namespace {

constexpr qsizetype kPolylineChunk = 8;
constexpr double kLineWidth = 2;
constexpr double kDenseLineWidth = 1.5;  // thinner where the points crowd
constexpr double kMarkGap = 4;           // between a point and its mark
constexpr double kDenseBandMin = 1;      // the least width across of a dense 3D line
constexpr double kPointReach = 6;        // how far from a point the pointer still finds it

// Lines: with more points than pixels, each pixel column keeps its lowest and highest point in
// their order, so the drawing costs what the width costs and still shows every peak.
struct LinePoint {
  QPointF at;
  QColor color;
  int index = 0;
};

bool IsDense(const SeriesModel& series, const Geometry& g) {
  const double length = g.plan.horizontal ? g.frame.plot.height() : g.frame.plot.width();
  return static_cast<double>(series.points.size()) > 2 * length;
}

std::vector<std::vector<LinePoint>> LinePieces(const SeriesModel& series, const Geometry& g) {
  const auto& points = series.points;
  const bool thin = IsDense(series, g);
  std::vector<std::vector<LinePoint>> pieces(1);
  auto take = [&](std::size_t i) {
    pieces.back().push_back({g.At(static_cast<int>(i), points[i].value),
                             ToQColor(ResolvePointColor(series, static_cast<int>(i))),
                             static_cast<int>(i)});
  };
  long long column = std::numeric_limits<long long>::min();
  std::size_t low = 0, high = 0;
  bool open = false;
  auto flush = [&] {
    if (!open) return;
    take(std::min(low, high));
    if (low != high) take(std::max(low, high));
    open = false;
  };
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double value = points[i].value;
    if (!std::isfinite(value)) {  // a gap in the line
      flush();
      if (!pieces.back().empty()) pieces.emplace_back();
      continue;
    }
    if (!thin) {
      take(i);
      continue;
    }
    const auto here = static_cast<long long>(std::floor(g.CategoryCenter(static_cast<int>(i))));
    if (!open || here != column) {
      flush();
      column = here;
      low = high = i;
      open = true;
      continue;
    }
    if (value < points[low].value) low = i;
    if (value > points[high].value) high = i;
  }
  flush();
  return pieces;
}

// A flat line: one polyline per run of segments of the same colour (a segment takes the colour
// of the point it ends at).
void AddFlatLine(const std::vector<LinePoint>& piece, bool dense, int series, Scene& scene) {
  if (piece.empty()) return;
  Polyline current{QPolygonF({piece.front().at}),
                   piece.size() > 1 ? piece[1].color : piece.front().color,
                   dense ? kDenseLineWidth : kLineWidth, dense, series};
  for (std::size_t i = 1; i < piece.size(); ++i) {
    // Short polylines: the stroker slows down sharply on long, dense, self-crossing ones.
    if (piece[i].color != current.color || current.points.size() >= kPolylineChunk) {
      scene.lines.push_back(current);
      current =
          Polyline{QPolygonF({piece[i - 1].at}), piece[i].color, current.width, dense, series};
    }
    current.points.push_back(piece[i].at);
  }
  if (current.points.size() == 1) {  // a single point: a short dash
    current.points.push_back(current.points.front() + QPointF(0.01, 0));
    current.width = 5;
  }
  scene.lines.push_back(current);
}

// A 3D line: a ribbon of quads going back by the row's depth.
void AddRibbon(const std::vector<LinePoint>& piece, QPointF shift, double depth, int series,
               Scene& scene) {
  const QPointF d(depth, -depth);
  if (piece.size() == 1) {
    const QPointF a = piece.front().at + shift;
    scene.faces.push_back(
        {Quad(a - QPointF(2, 0), a + QPointF(2, 0), a + QPointF(2, 0) + d, a - QPointF(2, 0) + d),
         piece.front().color, SideShade(piece.front().color), false, series});
    return;
  }
  // The front edge is a band of the line's width, so that a segment seen edge-on (rising as
  // steeply as the depth goes back) still shows as a line rather than vanishing.
  const QPointF halfWidth(0, 1);
  for (std::size_t i = 1; i < piece.size(); ++i) {
    const QPointF a = piece[i - 1].at + shift, b = piece[i].at + shift;
    const QColor& color = piece[i].color;
    // Seen from above where the line falls to the right or rises less steeply than the depth.
    const bool fromAbove = (b.x() - a.x()) * d.y() - (b.y() - a.y()) * d.x() < 0;
    const QColor surface = fromAbove ? TopShade(color) : SideShade(color);
    scene.faces.push_back({Quad(a, b, b + d, a + d), surface, SideShade(color), false, series});
    scene.faces.push_back({Quad(a - halfWidth, b - halfWidth, b + halfWidth, a + halfWidth), color,
                           color, false, series});
  }
}

// A dense line in 3D: per pixel column the range of its values, drawn as a band in the line's
// colour (what the flat line shows), under a roof that goes back from the band's upper edge.
// A ribbon through the column's lowest and highest points in turn would stand as a wall of
// slanted quads, each as high as the column's range and as deep as the row, that hides
// whatever lies behind the line and shows no shape.
struct ColumnRange {
  QPointF high;  // the point of the highest value in the column
  QPointF low;
  QColor color;  // of the highest point
};

std::vector<ColumnRange> ColumnRanges(const std::vector<LinePoint>& piece, bool horizontal) {
  const auto column = [horizontal](QPointF p) { return std::floor(horizontal ? p.y() : p.x()); };
  // Values grow to the right on a horizontal value axis, upwards (to smaller y) on a vertical.
  const auto higher = [horizontal](QPointF a, QPointF b) {
    return horizontal ? a.x() > b.x() : a.y() < b.y();
  };
  std::vector<ColumnRange> ranges;
  for (const LinePoint& point : piece) {
    if (ranges.empty() || column(ranges.back().high) != column(point.at)) {
      ranges.push_back({point.at, point.at, point.color});
    } else if (higher(point.at, ranges.back().high)) {
      ranges.back().high = point.at;
      ranges.back().color = point.color;
    } else {
      ranges.back().low = point.at;
    }
  }
  return ranges;
}

// Per column the band is one rectangle: a polygon through thousands of column ends costs the
// rasterizer far more than the same area as rectangles.
void AddDenseSlab(const std::vector<LinePoint>& piece, QPointF shift, double depth, bool horizontal,
                  int series, Scene& scene) {
  const std::vector<ColumnRange> ranges = ColumnRanges(piece, horizontal);
  const QPointF d(depth, -depth);
  for (std::size_t i = 1; i < ranges.size(); ++i) {
    const QPointF a = ranges[i - 1].high + shift, b = ranges[i].high + shift;
    scene.faces.push_back(
        {Quad(a, b, b + d, a + d), TopShade(ranges[i].color), QColor(), true, series});
  }
  // Each column's band fills its pixel column, and is at least a pixel long, like a thin line.
  for (const ColumnRange& range : ranges) {
    const QPointF high = range.high + shift, low = range.low + shift;
    QRectF band;
    if (horizontal) {
      const double row = std::floor(high.y());
      band = QRectF(QPointF(low.x() - kDenseBandMin / 2, row),
                    QPointF(high.x() + kDenseBandMin / 2, row + 1));
    } else {
      const double column = std::floor(high.x());
      band = QRectF(QPointF(column, high.y() - kDenseBandMin / 2),
                    QPointF(column + 1, low.y() + kDenseBandMin / 2));
    }
    scene.faces.push_back({QPolygonF(band.normalized()), range.color, QColor(), true, series});
  }
}

// One line series, the `index`-th drawn, in its depth row.
void AddLine(const SeriesModel& series, int index, int row, const Geometry& g, Scene& scene,
             PlotGeometry& geometry) {
  const bool view3D = g.frame.depth > 0;
  const QPointF shift = view3D ? g.RowShift(row) + g.RowInset() : QPointF();
  const bool dense = IsDense(series, g);
  for (const auto& piece : LinePieces(series, g)) {
    if (view3D && dense)
      AddDenseSlab(piece, shift, g.BoxDepth(), g.plan.horizontal, index, scene);
    else if (view3D)
      AddRibbon(piece, shift, g.BoxDepth(), index, scene);
    else
      AddFlatLine(piece, dense, index, scene);
    for (const LinePoint& point : piece)
      geometry.linePoints.push_back({index, point.index, point.at + shift});
  }
}

// A label stands above its point (in 3D above the back edge of its ribbon), or below it where
// that is taken, in the mark's font or the small one; never on another series' line, point or
// ribbon, nor on another point's bar.
void AddLineLabels(const std::vector<const SeriesModel*>& series,
                   const std::vector<std::size_t>& lines, const Geometry& g,
                   const ChartLayout& layout, LabelPlacer& placer) {
  for (const std::size_t s : lines) {
    const SeriesModel* one = series[s];
    if (!one->dataLabelsVisible) continue;
    placer.Want(static_cast<int>(
        std::count_if(one->points.begin(), one->points.end(),
                      [](const ChartPoint& p) { return std::isfinite(p.value); })));
  }
  const QPointF back = g.frame.depth > 0 ? QPointF(g.BoxDepth() / 2, -g.BoxDepth()) : QPointF();
  for (const LinePointSpot& spot : layout.geometry.linePoints) {
    const SeriesModel& one = *series[static_cast<std::size_t>(spot.series)];
    if (!one.dataLabelsVisible) continue;
    const QString text = ValueText(layout.numbers, spot.series,
                                   one.points[static_cast<std::size_t>(spot.point)].value);
    std::vector<TextItem> candidates;
    for (FontRole font : {FontRole::Mark, FontRole::SmallMark}) {
      TextItem label =
          DataLabel(text, {spot.series, spot.point}, font, layout, font == FontRole::Mark);
      const QSizeF size = label.box.size();
      for (const QPointF& at :
           {spot.at + back + QPointF(-size.width() / 2, -size.height() - kMarkGap),
            spot.at + QPointF(-size.width() / 2, kMarkGap)}) {
        PlaceAt(label, g.AlongCategoriesIntoMarkRoom(QRectF(at, size)), false);
        candidates.push_back(label);
      }
    }
    placer.Place(candidates);
  }
}

// Lines each stand in a depth row of their own: a line of few points (the rest gaps) could vanish
// behind the ribbons in front of it, so lines go back from the fewest points to the most, in
// their order where they have as many (as lines from a table always have).
double FewestFirst(const SeriesModel& series) {
  return static_cast<double>(
      std::count_if(series.points.begin(), series.points.end(),
                    [](const ChartPoint& p) { return std::isfinite(p.value); }));
}

class LineLayout : public SeriesLayout {
 public:
  LineLayout(const std::vector<const SeriesModel*>& series, const SeriesGroup& group)
      : series_(series), lines_(group.series) {}

  ValueExtent Extent() const override {
    ValueExtent extent;
    for (const std::size_t s : lines_) {
      for (const ChartPoint& point : series_[s]->points) extent.Add(point.value);
    }
    return extent;
  }

  void Place(const Geometry&, PlotGeometry&) override {}  // as each line is drawn

  void AddShapes(int row, const Geometry& g, Scene& scene, PlotGeometry& geometry) override {
    for (const std::size_t s : lines_) {
      if (g.plan.row[s] == row) AddLine(*series_[s], static_cast<int>(s), row, g, scene, geometry);
    }
  }

  void AddLabels(const Geometry& g, const ChartLayout& layout, LabelPlacer& placer) override {
    AddLineLabels(series_, lines_, g, layout, placer);
  }

 private:
  const std::vector<const SeriesModel*>& series_;
  std::vector<std::size_t> lines_;
};

class Lines : public SeriesLayouter {
 public:
  double RowKey(const SeriesModel& series) const override { return FewestFirst(series); }

  std::unique_ptr<SeriesLayout> Lay(const std::vector<const SeriesModel*>& series,
                                    const SeriesGroup& group, const Plan&) const override {
    return std::make_unique<LineLayout>(series, group);
  }

  // The nearest point within a few pixels: about a line's width beside the point's own pixels.
  std::optional<ChartHit> Hit(const PlotGeometry& geometry, QPointF at) const override {
    const LinePointSpot* nearest = nullptr;
    double best = kPointReach;
    for (const LinePointSpot& spot : geometry.linePoints) {
      const double distance = QLineF(spot.at, at).length();
      if (distance <= best) {  // a later line is drawn in front: it wins a tie
        best = distance;
        nearest = &spot;
      }
    }
    if (!nearest) return std::nullopt;
    return ChartHit{nearest->series, nearest->point};
  }
};

}  // namespace

const SeriesLayouter& LineLayouter() {
  static const Lines lines;
  return lines;
}

}  // namespace chart
