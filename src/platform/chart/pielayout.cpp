// Layout of pie charts. Several pie series share the area in a grid of cells, each pie under
// its title, all of one radius.
//
// Layout order:
//   1. slices of every pie: absolute values, zero and non-finite ones skipped, from 12 o'clock
//      clockwise, the sweeps adding up to exactly 360 degrees; the size of each slice's mark;
//   2. the grid (one row side by side, or more rows) whose cells hold the largest disc, the
//      marks around it and, in 3D, its tilt and edge height; one radius for all pies;
//   per pie, in its cell:
//   3. the title just above the disc and its marks;
//   4. faces: in 3D the edge of the front half first, then the slice tops;
//   5. marks outside with short connectors; a mark that would cover another is left out.

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "layoutsteps.h"
#include "niceticks.h"
#include "palette.h"

namespace {

constexpr double kConnector = 12;
constexpr double kCellGap = 10;
// In 3D the disc is seen at a slant: its height shrinks by 2.4 % of its width per 3D percent,
// to half its width at most, and its edge is 1.2 % of its radius high per 3D percent.
constexpr double kTiltPerPercent = 2.4;
constexpr double kMinTilt = 0.5;
constexpr double kEdgePerPercent = 1.2;
// A mark's text is elided to 30 % of its cell's width, so that marks on both sides of the disc
// leave it at least the rest.
constexpr double kMaxMarkTextShare = 0.3;
constexpr double kMarkFrame = 6;  // the frame around a mark's text, across
constexpr double kMarkGap = 2;    // between the connector's tip and the mark
constexpr std::size_t kMarksSized = 200;

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

QPointF OnEllipse(const PieGeometry& pie, double degrees) {
  return QPointF(pie.center.x() + pie.radiusX * std::cos(Radians(degrees)),
                 pie.center.y() - pie.radiusY * std::sin(Radians(degrees)));
}

// Points along the rim from `from` to `to` degrees, about one per two degrees.
QPolygonF Arc(const PieGeometry& pie, double from, double to) {
  const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(to - from) / 2)));
  QPolygonF points;
  for (int i = 0; i <= steps; ++i) points.push_back(OnEllipse(pie, from + (to - from) * i / steps));
  return points;
}

std::vector<PieSlice> Slices(const SeriesModel& series) {
  const auto& points = series.points;
  double sum = 0;
  for (const ChartPoint& point : points) {
    if (std::isfinite(point.value)) sum += std::abs(point.value);
  }
  std::vector<PieSlice> slices;
  if (!(sum > 0) || !std::isfinite(sum)) return slices;
  double before = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double value = points[i].value;
    if (!std::isfinite(value) || value == 0) continue;
    const double start = 90 - before / sum * 360;
    before += std::abs(value);
    const double end = 90 - before / sum * 360;
    slices.push_back({static_cast<int>(i), start, end - start,
                      ToQColor(ResolvePointColor(series, static_cast<int>(i)))});
  }
  // The last slice closes the circle exactly, whatever the rounding of the sums.
  slices.back().sweepDegrees = -270 - slices.back().startDegrees;
  return slices;
}

// The mark of point `index`: its label and value, or the value alone.
QString MarkLabel(const SeriesModel& series, std::span<const std::string> labels,
                  std::size_t index) {
  const QString value = QString::fromStdString(FormatValue(series.points[index].value));
  const QString label = CategoryLabel(labels, index).trimmed();
  return label.isEmpty() ? value : label + ": " + value;
}

// In 3D the disc is squashed and stands on an edge; both scale with its radius.
struct Tilt {
  double squash = 1;  // height of the disc per width
  double edge = 0;    // edge height per radius
};

Tilt TiltOf(const ChartModel& model) {
  const double percent = Depth3DShare(model);
  return {std::max(kMinTilt, 1 - percent * kTiltPerPercent), percent * kEdgePerPercent};
}

double MarkHeight(const QFont& font) { return LineHeight(font) + 2; }

// Step 1: a slice's mark points away from the centre at the slice's middle angle.
struct SliceMark {
  double cosine = 0;
  double sine = 0;
  double textWidth = 0;  // before eliding
};

struct PiePlan {
  std::vector<PieSlice> slices;
  std::vector<SliceMark> marks;  // empty where the marks are hidden
  double markHeight = 0;
};

PiePlan PlanPie(const SeriesModel& series, std::span<const std::string> labels,
                const QFont& markFont) {
  PiePlan plan;
  plan.slices = Slices(series);
  if (!series.marksVisible) return plan;
  plan.markHeight = MarkHeight(markFont);
  // Enough to size the room: with more slices most marks are left out anyway.
  const std::size_t counted = std::min<std::size_t>(plan.slices.size(), kMarksSized);
  for (std::size_t i = 0; i < counted; ++i) {
    const PieSlice& slice = plan.slices[i];
    const double mid = Radians(slice.startDegrees + slice.sweepDegrees / 2);
    const auto point = static_cast<std::size_t>(slice.point);
    plan.marks.push_back(
        {std::cos(mid), std::sin(mid), TextWidth(markFont, MarkLabel(series, labels, point))});
  }
  return plan;
}

// The largest radius at which the disc, its edge and its marks (elided to `maxText`) fit in
// `room`, centred in it. A mark at angle a stands (radius + connector) * cos(a) beside the centre
// and reaches its text's width further out, so each mark bounds the radius by itself.
double FitRadius(const PiePlan& plan, QSizeF room, double maxText, Tilt tilt) {
  const double halfWidth = room.width() / 2, halfHeight = room.height() / 2;
  double radius = std::min(halfWidth, halfHeight / (tilt.squash + tilt.edge / 2));
  if (!plan.marks.empty()) radius = std::min(radius, halfWidth - kConnector);
  for (const SliceMark& mark : plan.marks) {
    const double c = std::abs(mark.cosine), s = std::abs(mark.sine);
    const double across = halfWidth - kMarkGap - std::min(mark.textWidth, maxText) - kMarkFrame;
    if (c > 0 && across > 0) radius = std::min(radius, across / c - kConnector);
    const double down = halfHeight - plan.markHeight / 2 - kConnector * s;
    const double perRadius = tilt.squash * s + tilt.edge / 2;  // 0 for a flat mark at 3 o'clock
    if (down <= 0) return 0;
    if (perRadius > 0) radius = std::min(radius, down / perRadius);
  }
  return std::max(0.0, radius);
}

// Step 2.
struct PieGrid {
  int rows = 1;
  int columns = 1;
  double radius = 0;
};

QSizeF CellSize(QRectF area, int rows, int columns) {
  return QSizeF((area.width() - kCellGap * (columns - 1)) / columns,
                (area.height() - kCellGap * (rows - 1)) / rows);
}

PieGrid ChooseGrid(const std::vector<PiePlan>& plans, QRectF area, double titleRoom, Tilt tilt) {
  const int count = static_cast<int>(plans.size());
  PieGrid best;
  for (int rows = 1; rows <= count; ++rows) {
    const int columns = (count + rows - 1) / rows;
    if ((rows - 1) * columns >= count) continue;  // a row would stay empty
    const QSizeF cell = CellSize(area, rows, columns);
    const QSizeF room(cell.width(), cell.height() - titleRoom);
    double radius = std::numeric_limits<double>::infinity();
    for (const PiePlan& plan : plans) {
      radius = std::min(radius, FitRadius(plan, room, cell.width() * kMaxMarkTextShare, tilt));
    }
    if (rows == 1 || radius > best.radius + 1) best = {rows, columns, radius};
  }
  return best;
}

// Cells fill the rows from the left; a last row of fewer pies is centred.
QRectF CellOf(const PieGrid& grid, int index, int count, QRectF area) {
  const QSizeF cell = CellSize(area, grid.rows, grid.columns);
  const int row = index / grid.columns, column = index % grid.columns;
  const int inRow = std::min(grid.columns, count - row * grid.columns);
  const double indent = (grid.columns - inRow) * (cell.width() + kCellGap) / 2;
  return QRectF(QPointF(area.left() + indent + column * (cell.width() + kCellGap),
                        area.top() + row * (cell.height() + kCellGap)),
                cell);
}

// Step 4: the edge below the front half of the rim (angles -180 to 0 in this sweep).
void AddEdges(const PieGeometry& pie, ChartLayout& layout) {
  const QPointF down(0, pie.thickness);
  for (const PieSlice& slice : pie.slices) {
    const double from = std::max(slice.startDegrees + slice.sweepDegrees, -180.0);
    const double to = std::min(slice.startDegrees, 0.0);
    if (from >= to) continue;
    const QPolygonF rim = Arc(pie, from, to);
    QPolygonF edge = rim;
    for (auto it = rim.rbegin(); it != rim.rend(); ++it) edge.push_back(*it + down);
    layout.faces.push_back({edge, EdgeShade(slice.color), SideShade(slice.color)});
  }
}

void AddTops(const PieGeometry& pie, ChartLayout& layout) {
  for (const PieSlice& slice : pie.slices) {
    QPolygonF top = Arc(pie, slice.startDegrees, slice.startDegrees + slice.sweepDegrees);
    if (std::abs(slice.sweepDegrees) < 360) top.prepend(pie.center);
    layout.faces.push_back({top, slice.color, QColor(255, 255, 255)});
  }
}

// Step 5: each mark beside its slice, at the end of a connector from the rim.
struct PieMark {
  QString text;
  QPointF rim;
  QPointF tip;
  QRectF rect;
};

std::vector<PieMark> PieMarks(const SeriesModel& series, std::span<const std::string> labels,
                              const PieGeometry& pie, double maxWidth, const ChartLayout& layout) {
  const QFont& font = layout.fonts[FontRole::Mark];
  const QFontMetricsF metrics(font);
  const double height = MarkHeight(font);
  std::vector<PieMark> marks;
  for (const PieSlice& slice : pie.slices) {
    const double mid = slice.startDegrees + slice.sweepDegrees / 2;
    const double c = std::cos(Radians(mid)), s = std::sin(Radians(mid));
    const double drop = s < 0 ? pie.thickness : 0;
    PieMark mark;
    mark.rim = OnEllipse(pie, mid) + QPointF(0, drop);
    mark.tip = QPointF(pie.center.x() + (pie.radiusX + kConnector) * c,
                       pie.center.y() - (pie.radiusY + kConnector) * s + drop);
    mark.text = metrics.elidedText(MarkLabel(series, labels, static_cast<std::size_t>(slice.point)),
                                   Qt::ElideRight, maxWidth);
    if (mark.text.isEmpty()) continue;
    const double width = metrics.horizontalAdvance(mark.text) + kMarkFrame;
    // Pushed back inside the chart rather than cut at its edge.
    const double left =
        std::clamp(c >= 0 ? mark.tip.x() + kMarkGap : mark.tip.x() - kMarkGap - width, 1.0,
                   std::max(1.0, layout.size.width() - width - 1));
    mark.rect = QRectF(left, mark.tip.y() - height / 2, width, height);
    marks.push_back(mark);
  }
  return marks;
}

// Marks on one side of the disc, from the top down, move apart just enough not to overlap,
// then back up where the lowest would leave the cell.
void SpreadColumn(std::vector<PieMark*>& column, QRectF cell) {
  std::sort(column.begin(), column.end(),
            [](const PieMark* a, const PieMark* b) { return a->tip.y() < b->tip.y(); });
  for (std::size_t i = 1; i < column.size(); ++i) {
    const double below = column[i - 1]->rect.bottom();
    if (column[i]->rect.top() < below) column[i]->rect.moveTop(below);
  }
  double floor = cell.bottom();
  for (auto it = column.rbegin(); it != column.rend(); ++it) {
    if ((*it)->rect.bottom() > floor) (*it)->rect.moveBottom(floor);
    floor = (*it)->rect.top();
  }
}

// A mark that still covers an earlier one, or was moved out of the cell, is left out.
void AddMarks(const SeriesModel& series, std::span<const std::string> labels,
              const PieGeometry& pie, double maxWidth, QRectF cell, MarkPlacer& placer,
              ChartLayout& layout) {
  std::vector<PieMark> marks = PieMarks(series, labels, pie, maxWidth, layout);
  std::vector<PieMark*> left, right;
  for (PieMark& mark : marks) (mark.tip.x() < pie.center.x() ? left : right).push_back(&mark);
  SpreadColumn(left, cell);
  SpreadColumn(right, cell);
  for (const PieMark& mark : marks) {
    const bool moved = mark.rect.center().y() != mark.tip.y();
    if ((moved && !cell.contains(mark.rect)) || !placer.TryPlace(mark.rect)) continue;
    TextItem item = BoxedText(mark.text, mark.rect, Qt::AlignCenter, FontRole::Mark);
    item.framed = true;
    layout.texts.push_back(item);
    layout.strokes.push_back(
        {QLineF(mark.rim, QPointF(mark.tip.x(), mark.rect.center().y())), QColor(110, 110, 110)});
  }
}

}  // namespace

void LayoutPies(const ChartModel& model, const std::vector<const SeriesModel*>& pies, QRectF area,
                ChartLayout& layout) {
  if (pies.empty()) return;
  const int count = static_cast<int>(pies.size());
  const Tilt tilt = TiltOf(model);
  const double titleRoom = count > 1 ? LineHeight(layout.fonts[FontRole::SeriesTitle]) + 4 : 0;
  std::vector<PiePlan> plans;  // step 1
  for (const SeriesModel* series : pies) {
    plans.push_back(PlanPie(*series, model.labels, layout.fonts[FontRole::Mark]));
  }
  const PieGrid grid = ChooseGrid(plans, area, titleRoom, tilt);  // step 2
  MarkPlacer placer(QRectF(QPointF(0, 0), layout.size));
  for (int i = 0; i < count; ++i) {
    const SeriesModel& series = *pies[static_cast<std::size_t>(i)];
    const QRectF cell = CellOf(grid, i, count, area);
    const QRectF room = cell.adjusted(0, titleRoom, 0, 0);
    PieGeometry pie;
    pie.series = i;
    pie.radiusX = grid.radius;
    pie.radiusY = pie.radiusX * tilt.squash;
    pie.thickness = pie.radiusX * tilt.edge;
    pie.center = room.center() - QPointF(0, pie.thickness / 2);
    if (pie.radiusX < 2) continue;
    const bool marks = series.marksVisible;
    if (count > 1) {  // step 3
      const double markHeight = MarkHeight(layout.fonts[FontRole::Mark]);
      const double above = pie.radiusY + (marks ? markHeight / 2 + kConnector : 0) + titleRoom;
      const double top = std::max(cell.top(), pie.center.y() - above);
      const QRectF title(cell.left(), top, cell.width(), titleRoom - 4);
      layout.texts.push_back(
          BoxedText(SeriesName(series), title, Qt::AlignCenter, FontRole::SeriesTitle));
      placer.Block(title);
    }
    pie.slices = std::move(plans[static_cast<std::size_t>(i)].slices);
    if (pie.thickness > 0) AddEdges(pie, layout);  // step 4
    AddTops(pie, layout);
    if (marks)
      AddMarks(series, model.labels, pie, cell.width() * kMaxMarkTextShare, cell, placer,
               layout);  // step 5
    layout.pies.push_back(std::move(pie));
  }
}
