// Layout of charts with axes: vertical bars, horizontal bars, lines, and any kind of series with
// a layouter of its own.
//
// Layout order:
//   1. plan: orientation (from the first series), bar grouping (from the first series that
//      shares the category slot), category count, the series by layouter, depth rows in 3D;
//   2. value range: what each layouter's marks reach (bars include zero; stacked modes sum
//      positives and negatives apart);
//   3. room around the plot (framelayout.cpp): axis titles, value labels, category labels, the
//      depth of the 3D walls, the room for data labels; texts are left out in a fixed order
//      where the plot would keep too little of the area;
//   4. walls, grid lines, axis lines;
//   5. series shapes, each depth row from the back to the front;
//   6. value labels and their scale note, category labels, axis titles, and last the data
//      labels, which keep clear of every other text and of every other point's data.
//
// This file lays out the axes; the series and their data labels by their kinds' layouters
// (serieslayouter.h).

#include "chart/layout/axeslayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/layout/axesgeometry.h"
#include "chart/layout/serieslayouter.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"

namespace chart {

namespace {

const QColor kAxisColor(96, 96, 96);
const QColor kGridColor(222, 222, 222);

// Step 1.
// The series grouped by their layouters, in the layouters' paint order. A series of a kind with
// none is not drawn.
std::vector<SeriesGroup> GroupByLayouter(const std::vector<const SeriesModel*>& series) {
  std::vector<SeriesGroup> groups;
  for (const SeriesLayouter* layouter : SeriesLayouters()) {
    SeriesGroup group{layouter, {}};
    for (std::size_t s = 0; s < series.size(); ++s) {
      if (LayouterOf(series[s]->kind) == layouter) group.series.push_back(s);
    }
    if (!group.series.empty()) groups.push_back(std::move(group));
  }
  return groups;
}

// The rows of a group's series handed out again in the order of its layouter's key (not worked
// out where they share one row, as bars of a grouped mode do).
void OrderRows(const std::vector<const SeriesModel*>& series, const SeriesGroup& group,
               Plan& plan) {
  std::vector<std::size_t> chosen = group.series;
  std::vector<int> rows;  // their rows, from the front
  for (const std::size_t s : chosen) rows.push_back(plan.row[s]);
  if (std::adjacent_find(rows.begin(), rows.end(), std::not_equal_to()) == rows.end()) return;
  std::vector<double> order(series.size());
  for (std::size_t s : chosen) order[s] = group.layouter->RowKey(*series[s]);
  std::stable_sort(chosen.begin(), chosen.end(),
                   [&](std::size_t a, std::size_t b) { return order[a] < order[b]; });
  for (std::size_t i = 0; i < chosen.size(); ++i) plan.row[chosen[i]] = rows[i];
}

// In 3D each series stands in a depth row of its own, but series that share the category slot
// in a grouped mode stand in one row together.
Plan MakePlan(const ChartModel& model, const std::vector<const SeriesModel*>& series) {
  Plan plan;
  plan.horizontal = Traits(ChartKindOf(model)).horizontal;
  plan.barGrouping = BarGroupingOf(series);
  plan.groups = GroupByLayouter(series);
  int nextRow = 0;
  const bool sharedRow = plan.barGrouping != BarGrouping::None;
  int slotRow = -1;
  for (std::size_t s = 0; s < series.size(); ++s) {
    const SeriesModel* one = series[s];
    const SeriesKindTraits& kind = Traits(one->kind);
    plan.categories = std::max(plan.categories, static_cast<int>(one->points.size()));
    if (kind.fromZero) plan.fromZero.push_back(s);
    plan.barSlot.push_back(kind.sharesSlot ? plan.barCount++ : -1);
    if (kind.sharesSlot && sharedRow) {
      if (slotRow < 0) slotRow = nextRow++;
      plan.row.push_back(slotRow);
    } else {
      plan.row.push_back(nextRow++);
    }
  }
  plan.deep = Depth3DShare(model) > 0;  // 3D at a depth of 0 is drawn flat
  plan.rows = plan.deep ? std::max(nextRow, 1) : 1;
  if (!plan.deep) std::fill(plan.row.begin(), plan.row.end(), 0);
  if (plan.deep) {
    for (const SeriesGroup& group : plan.groups) OrderRows(series, group, plan);
  }
  return plan;
}

using SeriesLayouts = std::vector<std::unique_ptr<SeriesLayout>>;

// Step 2.
std::pair<double, double> ValueRange(const SeriesLayouts& layouts) {
  ValueExtent extent;
  for (const auto& one : layouts) extent.Add(one->Extent());
  if (extent.low > extent.high) return {0, 1};
  auto [low, high] = std::pair(extent.low, extent.high);
  // A share too small for a double (1e-300 stacked on 1e300) still gets a pixel past zero.
  const double sliver = (high / 2 - low / 2) * 0.02;
  if (extent.above && high <= 0) high = sliver;
  if (extent.below && low >= 0) low = -sliver;
  return {low, high};
}

// Step 4.
void AddWalls(const Frame& frame, bool view3D, Scene& scene) {
  const QRectF& p = frame.plot;
  const QPointF d(frame.depth, -frame.depth);
  const QColor outline(170, 170, 170);
  if (!view3D) {
    scene.walls.push_back({QPolygonF(p), Qt::white, outline});
    return;
  }
  scene.walls.push_back({QPolygonF(p.translated(d)), QColor(250, 250, 250), outline});
  scene.walls.push_back({Quad(p.topLeft(), p.topLeft() + d, p.bottomLeft() + d, p.bottomLeft()),
                         QColor(238, 238, 238), outline});
  scene.walls.push_back(
      {Quad(p.bottomLeft(), p.bottomRight(), p.bottomRight() + d, p.bottomLeft() + d),
       QColor(228, 228, 228), outline});
}

void AddValueGrid(const Frame& frame, const ValueScale& scale, bool horizontal, Scene& scene) {
  const QRectF& p = frame.plot;
  const QPointF d(frame.depth, -frame.depth);
  for (double v : frame.ticks.values) {
    const double at = scale.Map(v);
    const QColor color = v == 0 && frame.ticks.min < 0 ? kAxisColor : kGridColor;
    if (horizontal) {
      const QPointF bottom(at, p.bottom()), top(at, p.top());
      scene.grid.push_back({QLineF(bottom + d, top + d), color});
      if (frame.depth > 0) scene.grid.push_back({QLineF(bottom, bottom + d), color});
      scene.strokes.push_back({QLineF(bottom, bottom + QPointF(0, kTick)), kAxisColor});
    } else {
      const QPointF left(p.left(), at), right(p.right(), at);
      scene.grid.push_back({QLineF(left + d, right + d), color});
      if (frame.depth > 0) scene.grid.push_back({QLineF(left, left + d), color});
      scene.strokes.push_back({QLineF(left - QPointF(kTick, 0), left), kAxisColor});
    }
  }
  // The axis lines stand just outside the plot and are drawn before the bars, so that no part of
  // them covers a bar's first pixel.
  const QRectF outside = p.adjusted(-0.5, 0, 0, 0.5);
  scene.grid.push_back({QLineF(outside.topLeft(), outside.bottomLeft()), kAxisColor});
  scene.grid.push_back({QLineF(outside.bottomLeft(), outside.bottomRight()), kAxisColor});
}

// Step 5: rows from the back; the shapes of one row are painted before those in front.
void AddSeriesShapes(const SeriesLayouts& layouts, const Geometry& g, Scene& scene,
                     PlotGeometry& geometry) {
  for (const auto& one : layouts) one->Place(g, geometry);
  for (int row = g.plan.rows - 1; row >= 0; --row) {
    for (const auto& one : layouts) one->AddShapes(row, g, scene, geometry);
  }
}

// Step 6: the value labels, and where the ticks are divided by a power of ten, its note: above
// the labels of a vertical axis, below those of a horizontal one, where the column of category
// labels begins.
void AddValueLabels(const Geometry& g, const NumberLocale& locale, Scene& scene) {
  if (!g.frame.texts.tickLabels) return;
  const QFont& font = scene.fonts[FontRole::Tick];
  const double h = LineHeight(font);
  const QRectF& p = g.frame.plot;
  const double labelsRight = p.left() - kLabelOffset + kGap;
  for (double v : g.frame.ticks.values) {
    const QString text = TickText(g.frame.numbers, locale, v);
    const double w = TextWidth(font, text);
    const double at = g.scale.Map(v);
    const QRectF rect = g.plan.horizontal
                            ? QRectF(at - w / 2, p.bottom() + kLabelOffset - kGap, w, h)
                            : QRectF(labelsRight - w, at - h / 2, w, h);
    TextItem item = BoxedText(text, rect, Qt::AlignCenter, FontRole::Tick);
    item.role = TextRole::TickLabel;
    scene.texts.push_back(item);
  }
  const QString note = QString::fromStdString(ScaleNote(g.frame.numbers));
  if (note.isEmpty() || g.frame.ticks.values.empty()) return;
  const double w = TextWidth(font, note);
  const QRectF rect = g.plan.horizontal
                          ? QRectF(g.frame.labelsFrom, p.bottom() + kLabelOffset - kGap + h, w, h)
                          : QRectF(labelsRight - w, p.top() - h * 1.5 - 1, w, h);
  TextItem item = BoxedText(note, rect, Qt::AlignCenter, FontRole::Tick);
  item.role = TextRole::ScaleNote;
  scene.texts.push_back(item);
}

void AddCategoryLabels(std::span<const std::string> labels, const Geometry& g, Scene& scene,
                       PlotGeometry& geometry) {
  const QFont& font = scene.fonts[FontRole::Tick];
  const double h = LineHeight(font);
  const CategoryLabelFit& fit = g.frame.labels;
  geometry.categoryLabelAngle = fit.angle;
  if (fit.maxWidth <= 0) return;
  const double radians = fit.angle * std::numbers::pi / 180;
  // Between the axis and its labels, beyond the room for the labels of bars below zero.
  const double gap = kLabelOffset - kGap + g.frame.negativeLabelRoom;
  QStringList wholes;
  std::vector<double> widths;
  for (int i = 0; i < g.plan.categories; i += fit.step) {
    // A turned label near the left end is shortened where it would reach past the room there.
    double width = fit.maxWidth;
    if (fit.angle > 0) {
      const double reach = g.CategoryCenter(i) - g.frame.labelsFrom - h / 2 * std::sin(radians);
      width = std::min(width, reach / std::cos(radians) - 1);
    }
    wholes.push_back(CategoryLabel(labels, static_cast<std::size_t>(i)));
    widths.push_back(width);
  }
  const QStringList shown = DistinctlyShortened(font, wholes, widths, Qt::ElideMiddle);
  for (int i = 0, k = 0; i < g.plan.categories; i += fit.step, ++k) {
    const double c = g.CategoryCenter(i);
    const QString& whole = wholes[k];
    const QString& text = shown[k];
    if (text.isEmpty()) continue;
    geometry.shownCategories.push_back(i);
    TextItem item;
    item.text = text;
    if (text != whole) item.fullText = whole;
    item.font = FontRole::Tick;
    item.role = TextRole::CategoryLabel;
    if (g.plan.horizontal) {
      item.origin = QPointF(g.frame.plot.left() - gap, c);
      item.box = QRectF(-fit.maxWidth - 1, -h / 2, fit.maxWidth + 1, h);
      item.align = Qt::AlignRight | Qt::AlignVCenter;
    } else if (fit.angle == 0) {
      item.origin = QPointF(c, g.frame.plot.bottom() + gap);
      item.box = QRectF(-g.slot / 2, 0, g.slot, h);
      item.align = Qt::AlignHCenter | Qt::AlignTop;
    } else {
      item.origin = QPointF(c, g.frame.plot.bottom() + gap + h / 2 * std::cos(radians));
      item.angle = fit.angle;
      item.box = QRectF(-fit.maxWidth - 1, -h / 2, fit.maxWidth + 1, h);
      item.align = Qt::AlignRight | Qt::AlignVCenter;
    }
    scene.texts.push_back(item);
  }
}

// Where a text of `length` centred on `center` stays within [from, to].
double CenteredWithin(double center, double length, double from, double to) {
  return std::clamp(center, from + length / 2, std::max(from + length / 2, to - length / 2));
}

void AddAxisTitles(const ChartModel& model, QRectF area, const Geometry& g, Scene& scene) {
  const QRectF& p = g.frame.plot;
  const QFont& leftFont = scene.fonts[FontRole::LeftAxisTitle];
  const QFont& bottomFont = scene.fonts[FontRole::BottomAxisTitle];
  const qsizetype lines = g.frame.bottomTitle.size();
  const double bottomRoom = lines * LineHeight(bottomFont);
  const double leftRoom = g.frame.leftTitle.size() * LineHeight(leftFont);
  const QString leftWhole = DisplayText(model.leftAxisTitle.caption).trimmed();
  for (qsizetype i = 0; i < g.frame.leftTitle.size(); ++i) {
    const QString& line = g.frame.leftTitle[i];
    const double h = LineHeight(leftFont), w = TextWidth(leftFont, line);
    TextItem item;
    item.text = line;
    if (g.frame.leftTitle.size() > 1 || line != leftWhole) item.fullText = leftWhole;
    item.font = FontRole::LeftAxisTitle;
    item.role = TextRole::AxisTitle;
    item.angle = 90;  // read from the bottom up
    item.origin = QPointF(area.left() + i * h, CenteredWithin(p.center().y(), w, area.top(),
                                                              area.bottom() - bottomRoom));
    item.box = QRectF(-w / 2, 0, w, h);
    item.align = Qt::AlignCenter;
    scene.texts.push_back(item);
  }
  const QString bottomWhole = DisplayText(model.bottomAxisTitle.caption).trimmed();
  for (qsizetype i = 0; i < lines; ++i) {
    const QString& line = g.frame.bottomTitle[i];
    const double h = LineHeight(bottomFont), w = TextWidth(bottomFont, line);
    const double x = CenteredWithin(p.center().x(), w, area.left() + leftRoom, area.right());
    TextItem item = BoxedText(line, QRectF(x - w / 2, area.bottom() - (lines - i) * h, w, h),
                              Qt::AlignCenter, FontRole::BottomAxisTitle);
    item.role = TextRole::AxisTitle;
    if (lines > 1 || line != bottomWhole) item.fullText = bottomWhole;
    scene.texts.push_back(item);
  }
}

// The axis' numbers as its labels show them: without a power of ten where no scale note shows,
// so that data labels are divided by one only under its note.
AxisNumbers NoteNumbers(const Frame& frame) {
  AxisNumbers numbers = frame.numbers;
  if (!frame.texts.tickLabels || frame.ticks.values.empty()) numbers.exponent = 0;
  return numbers;
}

// Data labels are measured only where a bar could be thick enough to hold one.
LabelSizes DataLabelSizes(const std::vector<const SeriesModel*>& series, const Plan& plan,
                          QRectF area, const ChartLayout& layout) {
  const double length = plan.horizontal ? area.height() : area.width();
  const double thinnest = LineHeight(layout.scene.fonts[FontRole::SmallMark]);
  if (length / std::max(plan.categories, 1) * kGroupShare < thinnest) return {};
  return MeasureDataLabels(series, plan, layout);
}

// What the frame left out, for the reports.
void NoteOmissions(const ChartModel& model, const Geometry& g, Omissions& omitted) {
  omitted.categoryLabels = g.plan.categories;
  omitted.tickLabelsLeftOut = !g.frame.texts.tickLabels || g.frame.ticksCrowded;
  omitted.axisTitlesLeftOut =
      (!model.leftAxisTitle.caption.empty() && g.frame.leftTitle.isEmpty()) ||
      (!model.bottomAxisTitle.caption.empty() && g.frame.bottomTitle.isEmpty());
}

}  // namespace

void LayoutAxes(const ChartModel& model, const std::vector<const SeriesModel*>& series, QRectF area,
                ChartLayout& layout) {
  Geometry g;
  g.plan = MakePlan(model, series);  // step 1
  g.plan.leastPixels = layout.geometry.leastPixels;
  SeriesLayouts layouts;
  for (const SeriesGroup& group : g.plan.groups)
    layouts.push_back(group.layouter->Lay(series, group, g.plan));
  const auto range = ValueRange(layouts);  // step 2
  g.frame = ComputeFrame(model, series, g.plan, range, area, layout,
                         DataLabelSizes(series, g.plan, area, layout));  // step 3
  // The data labels follow the axis' scale note: where the frame shows one, they are measured
  // again as they will read, once.
  if (NoteNumbers(g.frame).exponent != 0) {
    layout.numbers.valueStyles = DataSetStyles(series, NoteNumbers(g.frame));
    g.frame = ComputeFrame(model, series, g.plan, range, area, layout,
                           DataLabelSizes(series, g.plan, area, layout));
    layout.numbers.valueStyles = DataSetStyles(series, NoteNumbers(g.frame));
  }
  const QRectF& p = g.frame.plot;
  if (p.width() < 4 || p.height() < 4) return;
  g.scale = g.plan.horizontal
                ? ValueScale{g.frame.ticks.min, g.frame.ticks.max, p.left(), p.right()}
                : ValueScale{g.frame.ticks.min, g.frame.ticks.max, p.bottom(), p.top()};
  g.slot = (g.plan.horizontal ? p.height() : p.width()) / std::max(g.plan.categories, 1);
  g.rowDepth = g.frame.depth / g.plan.rows;
  layout.geometry.plot = p;
  layout.geometry.depthOffset = QPointF(g.frame.depth, -g.frame.depth);
  layout.geometry.valueMin = g.frame.ticks.min;
  layout.geometry.valueMax = g.frame.ticks.max;
  layout.geometry.valueTicks = g.frame.ticks.values;
  AddWalls(g.frame, g.plan.deep, layout.scene);  // step 4
  AddValueGrid(g.frame, g.scale, g.plan.horizontal, layout.scene);
  AddSeriesShapes(layouts, g, layout.scene, layout.geometry);  // step 5
  AddValueLabels(g, layout.numbers.locale, layout.scene);      // step 6
  AddCategoryLabels(model.labels, g, layout.scene, layout.geometry);
  AddAxisTitles(model, area, g, layout.scene);
  NoteOmissions(model, g, layout.omitted);
  LabelPlacer placer(layout, g.frame.markRoom);
  for (const auto& one : layouts) one->AddLabels(g, layout, placer);
}

}  // namespace chart
