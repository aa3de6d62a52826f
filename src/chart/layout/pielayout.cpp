// Layout of pie charts. Several pie series share the area in a grid of cells, each pie under
// its title, all of one radius.
//
// Layout order:
//   1. per pie: the sum of its values' sizes, and the marks it may show: those of its largest
//      slices, as many as could ever stand beside it, with the widths of their texts;
//   2. the grid (one row side by side, or more rows) whose cells hold the largest disc with, in
//      3D, its tilt and edge height, and a column of marks on either side; one radius for all
//      pies. The marks never take more than half of the radius the disc would have without them.
//      Where that disc leaves marks out, the grid and disc (down to 55 % of that disc) under
//      which the most marks stand;
//   per pie, in its cell:
//   3. the title just above the disc;
//   4. slices from 12 o'clock clockwise, the sweeps adding up to exactly 360 degrees; zero and
//      non-finite values skipped; runs of slices thinner than a pixel of the rim drawn as one
//      wedge (in the colour of its largest), so that the cost follows the pixels; a pie whose
//      values are all zero is an empty disc; faces: in 3D the edge of the front half first,
//      then the slice tops;
//   5. marks in a column on the slice's side of the disc, each joined to its slice by a leader
//      line and within a few mark heights of it; where thin slices near the top or bottom crowd,
//      their marks cross to the other column above or below the disc; the smallest slices'
//      marks that find no place are left out (the legend still lists every slice);
//      piemarks.cpp.

#include "chart/layout/pielayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <queue>
#include <tuple>

#include "chart/layout/piemarks.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"
#include "chart/model/niceticks.h"
#include "chart/model/palette.h"

namespace chart {

namespace {

constexpr double kCellGap = 10;
// In 3D the disc is seen at a slant: its height shrinks by 2.4 % of its width per 3D percent,
// to half its width at most, and its edge is 1.2 % of its radius high per 3D percent.
constexpr double kTiltPerPercent = 2.4;
constexpr double kMinTilt = 0.5;
constexpr double kEdgePerPercent = 1.2;
constexpr double kMinDiscShare = 0.5;     // the marks leave the disc at least this of its radius
constexpr std::size_t kMarksSized = 200;  // more marks never stand beside one pie
// The discs tried, as shares of a grid's largest, where the largest leaves marks out.
constexpr std::array kDiscShrinks = {1.0, 0.85, 0.7, 0.55};
const QColor kEmptyDisc(238, 238, 238);

// Points along the rim from `from` to `to` degrees, about one per two degrees.
QPolygonF Arc(const PieGeometry& pie, double from, double to) {
  const int steps = std::max(2, static_cast<int>(std::ceil(std::abs(to - from) / 2)));
  QPolygonF points;
  for (int i = 0; i <= steps; ++i) points.push_back(OnEllipse(pie, from + (to - from) * i / steps));
  return points;
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

// Step 1: see PiePlan (piemarks.h).
// The points of the largest values, at most kMarksSized of them, in the order of the points.
std::vector<int> LargestSlices(const SeriesModel& series) {
  using Entry = std::pair<double, int>;  // size, point
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> smallest;
  const auto& points = series.points;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!IsSlice(points[i].value)) continue;
    smallest.push({std::abs(points[i].value), static_cast<int>(i)});
    if (smallest.size() > kMarksSized) smallest.pop();
  }
  std::vector<int> indexes;
  for (; !smallest.empty(); smallest.pop()) indexes.push_back(smallest.top().second);
  std::sort(indexes.begin(), indexes.end());
  return indexes;
}

PiePlan PlanPie(const SeriesModel& series, int drawn, std::span<const std::string> labels,
                const ChartLayout& layout) {
  const QFont& markFont = layout.scene.fonts[FontRole::Mark];
  PiePlan plan;
  for (const ChartPoint& point : series.points) {
    if (!std::isfinite(point.value)) continue;
    plan.anyValue = true;
    plan.sum += std::abs(point.value);
  }
  if (!(plan.sum > 0) || !series.dataLabelsVisible) return plan;
  plan.marked = LargestSlices(series);
  for (int point : plan.marked) {
    plan.marks.push_back(MarkLabel(series, drawn, labels, static_cast<std::size_t>(point), layout));
    plan.markWidths.push_back(TextWidth(markFont, plan.marks.back()));
    plan.widestMark = std::max(plan.widestMark, plan.markWidths.back());
  }
  return plan;
}

// The largest radius at which the disc and its edge fit in `room`, centred, with a column of
// marks on either side (their texts shortened to `maxText`); the marks give way where they would
// take more than half the radius.
double FitRadius(const PiePlan& plan, QSizeF room, double maxText, Tilt tilt) {
  const double halfWidth = room.width() / 2, halfHeight = room.height() / 2;
  const double alone =
      std::max(0.0, std::min(halfWidth, halfHeight / (tilt.squash + tilt.edge / 2)));
  if (plan.marked.empty()) return alone;
  const double column = kConnector + kMarkGap + kMarkFrame + std::min(plan.widestMark, maxText);
  return std::max(alone * kMinDiscShare, std::min(alone, halfWidth - column));
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

// Every grid that leaves no row empty, each with the largest radius at which all pies fit.
std::vector<PieGrid> Grids(const std::vector<PiePlan>& plans, QRectF area, double titleRoom,
                           Tilt tilt) {
  const int count = static_cast<int>(plans.size());
  std::vector<PieGrid> grids;
  for (int rows = 1; rows <= count; ++rows) {
    const int columns = (count + rows - 1) / rows;
    if ((rows - 1) * columns >= count) continue;  // a row would stay empty
    const QSizeF cell = CellSize(area, rows, columns);
    const QSizeF room(cell.width(), cell.height() - titleRoom);
    double radius = std::numeric_limits<double>::infinity();
    for (const PiePlan& plan : plans) {
      radius = std::min(radius, FitRadius(plan, room, cell.width() * kMaxMarkTextShare, tilt));
    }
    grids.push_back({rows, columns, radius});
  }
  return grids;
}

// The grid of the largest disc; more rows only for a disc more than a pixel larger.
PieGrid ChooseGrid(const std::vector<PiePlan>& plans, QRectF area, double titleRoom, Tilt tilt) {
  const std::vector<PieGrid> grids = Grids(plans, area, titleRoom, tilt);
  PieGrid best = grids.front();
  for (const PieGrid& grid : grids) {
    if (grid.radius > best.radius + 1) best = grid;
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

// Step 4: the slices as drawn. A run of slices each thinner than a pixel of the rim becomes one
// wedge once it is a pixel wide, shown by its largest point.
struct SliceRun {
  PieSlice slice;
  double largest = -1;
  bool open = false;
};

std::vector<PieSlice> DrawnSlices(const SeriesModel& series, long double sum, double radius) {
  std::vector<PieSlice> slices;
  SliceRun run;
  auto close = [&] {
    if (run.open) slices.push_back(run.slice);
    run = SliceRun{};
  };
  long double before = 0;
  const auto& points = series.points;
  const std::vector<Color> colors = PointColors(series);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double value = points[i].value;
    if (!IsSlice(value)) continue;
    const double start = static_cast<double>(90 - before / sum * 360);
    before += std::abs(value);
    const double end = static_cast<double>(90 - before / sum * 360);
    const bool thin = radius * Radians(start - end) < 1;
    if (!thin) close();
    if (!run.open) run.slice.startDegrees = start;
    run.slice.sweepDegrees = end - run.slice.startDegrees;
    if (std::abs(value) > run.largest) {
      run.largest = std::abs(value);
      run.slice.point = static_cast<int>(i);
      run.slice.color = ToQColor(colors[i]);
    }
    run.open = true;
    if (!thin || radius * Radians(-run.slice.sweepDegrees) >= 1) close();
  }
  close();
  // The last wedge closes the circle exactly, whatever the rounding of the sums.
  if (!slices.empty()) slices.back().sweepDegrees = -270 - slices.back().startDegrees;
  return slices;
}

// The edge below the front half of the rim (angles -180 to 0 in this sweep).
void AddEdges(const PieGeometry& pie, int series, Scene& scene) {
  const QPointF down(0, pie.thickness);
  for (const PieSlice& slice : pie.slices) {
    const double from = std::max(slice.startDegrees + slice.sweepDegrees, -180.0);
    const double to = std::min(slice.startDegrees, 0.0);
    if (from >= to) continue;
    const QPolygonF rim = Arc(pie, from, to);
    QPolygonF edge = rim;
    for (auto it = rim.rbegin(); it != rim.rend(); ++it) edge.push_back(*it + down);
    scene.faces.push_back(
        {edge, EdgeShade(slice.color), SideShade(slice.color), false, series, false, slice.point});
  }
}

void AddTops(const PieGeometry& pie, int series, Scene& scene) {
  for (const PieSlice& slice : pie.slices) {
    QPolygonF top = Arc(pie, slice.startDegrees, slice.startDegrees + slice.sweepDegrees);
    if (std::abs(slice.sweepDegrees) < 360) top.prepend(pie.center);
    scene.faces.push_back(
        {top, slice.color, QColor(255, 255, 255), false, series, true, slice.point});
  }
}

// A pie whose values are all zero: the disc, empty.
void AddEmptyDisc(const PieGeometry& pie, int series, Scene& scene) {
  PieGeometry disc = pie;
  disc.slices = {PieSlice{0, 90, -360, kEmptyDisc}};
  if (disc.thickness > 0) AddEdges(disc, series, scene);
  scene.faces.push_back(
      {Arc(disc, 90, -270), kEmptyDisc, QColor(180, 180, 180), false, series, true});
}

}  // namespace

// Where pie `index` stands in `grid`: its disc in the cell below the title's room, the title just
// above the disc (with more than one pie), and the room of its marks below the title.
struct PiePlace {
  PieGeometry pie;
  QRectF title;
  QRectF markRoom;
};

PiePlace PlaceOf(const PieGrid& grid, int index, int count, QRectF area, double titleRoom,
                 Tilt tilt) {
  const QRectF cell = CellOf(grid, index, count, area);
  const QRectF room = cell.adjusted(0, titleRoom, 0, 0);
  PiePlace place;
  place.pie.series = index;
  place.pie.radiusX = grid.radius;
  place.pie.radiusY = grid.radius * tilt.squash;
  place.pie.thickness = grid.radius * tilt.edge;
  place.pie.center = room.center() - QPointF(0, place.pie.thickness / 2);
  place.markRoom = room;
  if (count > 1) {
    const double top = std::max(cell.top(), place.pie.center.y() - place.pie.radiusY - titleRoom);
    place.title = QRectF(cell.left(), top, cell.width(), titleRoom - 4);
    place.markRoom.setTop(place.title.bottom() + 2);
  }
  return place;
}

struct PieSet {
  const ChartModel& model;
  const std::vector<const SeriesModel*>& pies;
  const std::vector<PiePlan>& plans;
  QRectF area;
  double titleRoom;
  Tilt tilt;
  std::vector<double> titleWidths;  // with more than one pie
};

int MarksScoreIn(const PieSet& set, const PieGrid& grid, const ChartLayout& layout) {
  const int count = static_cast<int>(set.pies.size());
  int standing = 0;
  for (int i = 0; i < count; ++i) {
    const PiePlan& plan = set.plans[static_cast<std::size_t>(i)];
    if (plan.marked.empty() || !(plan.sum > 0)) continue;
    const PiePlace place = PlaceOf(grid, i, count, set.area, set.titleRoom, set.tilt);
    if (place.pie.radiusX < 2) continue;
    standing += MarksStanding(*set.pies[static_cast<std::size_t>(i)], set.model.labels, place.pie,
                              plan, place.markRoom, layout);
  }
  return standing;
}

// How much of the pies' titles a grid's cells show, in whole pixels of their widths.
int TitleRoomShown(const PieSet& set, const PieGrid& grid) {
  const double cell = CellSize(set.area, grid.rows, grid.columns).width();
  double shown = 0;
  for (double width : set.titleWidths) shown += std::min(width, cell);
  return static_cast<int>(shown);
}

// Step 2 where the largest disc leaves marks out or shortens them: every grid, each with its disc
// down to the last of kDiscShrinks of its largest, scored by the marks that stand (whole ones
// count twice), then by how much of the titles shows, then by the disc; no disc smaller than
// that share of the largest of all. So a larger area, which can hold every arrangement a smaller
// one could, does not show fewer marks because its largest disc crowds them.
PieGrid GridForMarks(const PieSet& set, const PieGrid& largest, const ChartLayout& layout) {
  std::size_t wanted = 0;
  for (const PiePlan& plan : set.plans) wanted += plan.marked.size();
  const auto score = [&](const PieGrid& grid) {
    return std::tuple(MarksScoreIn(set, grid, layout), TitleRoomShown(set, grid), grid.radius);
  };
  const double smallest = std::max(2.0, largest.radius * kDiscShrinks.back());
  PieGrid best = largest;
  auto most = score(largest);
  if (std::get<0>(most) == 2 * static_cast<int>(wanted)) return best;  // all of them whole
  for (const PieGrid& grid : Grids(set.plans, set.area, set.titleRoom, set.tilt)) {
    for (double share : kDiscShrinks) {
      const PieGrid shrunk{grid.rows, grid.columns, grid.radius * share};
      if (shrunk.radius < smallest) continue;
      if (const auto tried = score(shrunk); tried > most) best = shrunk, most = tried;
    }
  }
  return best;
}

void LayoutPies(const ChartModel& model, const std::vector<const SeriesModel*>& pies, QRectF area,
                ChartLayout& layout) {
  if (pies.empty()) return;
  const int count = static_cast<int>(pies.size());
  const Tilt tilt = TiltOf(model);
  const double titleRoom =
      count > 1 ? LineHeight(layout.scene.fonts[FontRole::SeriesTitle]) + 4 : 0;
  std::vector<PiePlan> plans;  // step 1
  for (std::size_t p = 0; p < pies.size(); ++p) {
    plans.push_back(PlanPie(*pies[p], static_cast<int>(p), model.labels, layout));
  }
  QStringList names;
  for (const SeriesModel* series : pies) names.push_back(SeriesName(*series));
  PieSet set{model, pies, plans, area, titleRoom, tilt, {}};
  if (count > 1) {  // titles only above several pies
    for (const QString& name : names)
      set.titleWidths.push_back(TextWidth(layout.scene.fonts[FontRole::SeriesTitle], name));
  }
  const PieGrid grid = GridForMarks(set, ChooseGrid(plans, area, titleRoom, tilt), layout);
  const QStringList titles = DistinctlyShortened(layout.scene.fonts[FontRole::SeriesTitle], names,
                                                 CellOf(grid, 0, count, area).width());
  for (int i = 0; i < count; ++i) {
    const SeriesModel& series = *pies[static_cast<std::size_t>(i)];
    const PiePlan& plan = plans[static_cast<std::size_t>(i)];
    PiePlace place = PlaceOf(grid, i, count, area, titleRoom, tilt);
    PieGeometry& pie = place.pie;
    if (pie.radiusX < 2 || !plan.anyValue) continue;
    if (count > 1) {  // step 3
      const QString whole = SeriesName(series);
      TextItem item = BoxedText(titles[i], place.title, Qt::AlignCenter, FontRole::SeriesTitle);
      item.role = TextRole::SeriesTitle;
      if (item.text != whole) item.fullText = whole;
      if (!item.text.isEmpty()) layout.scene.texts.push_back(item);
    }
    if (!(plan.sum > 0)) {  // step 4
      AddEmptyDisc(pie, i, layout.scene);
      layout.geometry.pies.push_back(std::move(pie));
      continue;
    }
    pie.slices = DrawnSlices(series, plan.sum, pie.radiusX);
    if (pie.thickness > 0) AddEdges(pie, i, layout.scene);
    AddTops(pie, i, layout.scene);
    if (!plan.marked.empty()) AddMarks(series, model.labels, pie, plan, place.markRoom, layout);
    layout.geometry.pies.push_back(std::move(pie));  // 5
  }
}

}  // namespace chart
