// Layout of the lines of a chart with axes, within the order that axeslayout.cpp sets out:
//   5. the points of a line, thinned to the lowest and highest of each pixel column where
//      there are more points than pixels, split at gaps (non-finite values); drawn flat as
//      polylines, in 3D as a ribbon in the line's depth row;
//   6. marks above the points, where they do not cover earlier ones.

#include <algorithm>
#include <cmath>
#include <limits>

#include "axesgeometry.h"
#include "palette.h"

namespace {

constexpr qsizetype kPolylineChunk = 8;
constexpr double kLineWidth = 2;
constexpr double kDenseLineWidth = 1.5;  // thinner where the points crowd

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
void AddFlatLine(const std::vector<LinePoint>& piece, bool dense, ChartLayout& layout) {
  if (piece.empty()) return;
  Polyline current{QPolygonF({piece.front().at}),
                   piece.size() > 1 ? piece[1].color : piece.front().color,
                   dense ? kDenseLineWidth : kLineWidth, dense};
  for (std::size_t i = 1; i < piece.size(); ++i) {
    // Short polylines: the stroker slows down sharply on long, dense, self-crossing ones.
    if (piece[i].color != current.color || current.points.size() >= kPolylineChunk) {
      layout.lines.push_back(current);
      current = Polyline{QPolygonF({piece[i - 1].at}), piece[i].color, current.width, dense};
    }
    current.points.push_back(piece[i].at);
  }
  if (current.points.size() == 1) {  // a single point: a short dash
    current.points.push_back(current.points.front() + QPointF(0.01, 0));
    current.width = 5;
  }
  layout.lines.push_back(current);
}

// A 3D line: a ribbon of quads going back by the row's depth.
void AddRibbon(const std::vector<LinePoint>& piece, QPointF shift, double depth, bool dense,
               ChartLayout& layout) {
  const QPointF d(depth, -depth);
  if (piece.size() == 1) {
    const QPointF a = piece.front().at + shift;
    layout.faces.push_back(
        {Quad(a - QPointF(2, 0), a + QPointF(2, 0), a + QPointF(2, 0) + d, a - QPointF(2, 0) + d),
         piece.front().color, SideShade(piece.front().color)});
    return;
  }
  // The front edge is a band of the line's width, so that a segment seen edge-on (rising as
  // steeply as the depth goes back) still shows as a line rather than vanishing.
  const QPointF halfWidth(0, dense ? 0.5 : 1);
  for (std::size_t i = 1; i < piece.size(); ++i) {
    const QPointF a = piece[i - 1].at + shift, b = piece[i].at + shift;
    const QColor& color = piece[i].color;
    // Seen from above where the line falls to the right or rises less steeply than the depth.
    const bool fromAbove = (b.x() - a.x()) * d.y() - (b.y() - a.y()) * d.x() < 0;
    const QColor surface = fromAbove ? TopShade(color) : SideShade(color);
    layout.faces.push_back({Quad(a, b, b + d, a + d), surface, SideShade(color), dense});
    layout.faces.push_back(
        {Quad(a - halfWidth, b - halfWidth, b + halfWidth, a + halfWidth), color, color, dense});
  }
}

void AddLineMarks(const SeriesModel& series, const std::vector<LinePoint>& piece, QPointF shift,
                  MarkPlacer& placer, ChartLayout& layout) {
  const QFont& font = layout.fonts[FontRole::Mark];
  for (const LinePoint& point : piece) {
    const double value = series.points[static_cast<std::size_t>(point.index)].value;
    TextItem mark = MarkText(QString::fromStdString(FormatValue(value)), QPointF(), font);
    mark.origin = point.at + shift - QPointF(mark.box.width() / 2, mark.box.height() + 4);
    if (placer.TryPlace(PlacedRect(mark))) layout.texts.push_back(mark);
  }
}

}  // namespace

void AddLine(const SeriesModel& series, int row, const Geometry& g, MarkPlacer& placer,
             ChartLayout& layout) {
  const bool view3D = g.frame.depth > 0;
  const QPointF shift = view3D ? g.RowShift(row) + g.RowInset() : QPointF();
  const bool dense = IsDense(series, g);
  for (const auto& piece : LinePieces(series, g)) {
    if (view3D)
      AddRibbon(piece, shift, g.BoxDepth(), dense, layout);
    else
      AddFlatLine(piece, dense, layout);
    if (series.marksVisible) AddLineMarks(series, piece, shift, placer, layout);
  }
}
