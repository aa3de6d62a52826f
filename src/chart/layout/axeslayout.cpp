// Layout of charts with axes: vertical bars, horizontal bars and lines.
//
// Layout order:
//   1. plan: orientation (from the first series), multi-bar mode (from the first bar series),
//      category count, depth rows in 3D (bar series of mode None from the smallest in front);
//   2. value range: bars include zero; stacked modes sum positives and negatives apart;
//   3. room around the plot (framelayout.cpp): axis titles, value labels, category labels, the
//      depth of the 3D walls, the room for data labels; texts are left out in a fixed order
//      where the plot would keep too little of the area;
//   4. walls, grid lines, axis lines;
//   5. series shapes, each depth row from the back to the front;
//   6. value labels and their scale note, category labels, axis titles, and last the data
//      labels, which keep clear of every other text and of every other point's data.
//
// This file lays out the axes; the bars and the lines by barlayout.cpp and linelayout.cpp, their
// data labels by barlabels.cpp and linelayout.cpp.

#include "chart/layout/axeslayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "chart/layout/axesgeometry.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"

namespace chart {

namespace {

const QColor kAxisColor(96, 96, 96);
const QColor kGridColor(222, 222, 222);

// Step 1.
// The mean size of the finite values: how far the series' bars typically reach from zero, up or
// down. Summed in long double, which no sum of doubles overflows.
double TypicalSize(const SeriesModel& series) {
  long double sum = 0;
  std::size_t count = 0;
  for (const ChartPoint& point : series.points) {
    if (!std::isfinite(point.value)) continue;
    sum += std::abs(point.value);
    ++count;
  }
  return count > 0 ? static_cast<double>(sum / count) : 0;
}

// In 3D each bar series of mode None stands in a depth row of its own. Taken in the series'
// order, a long first series would hide every row behind it. So the rows go back from the series
// whose bars are typically shortest to the one whose bars are longest, whichever side of zero
// they reach to: each row's bars then reach past those in front of them (their tops also stand
// one row higher, their bottoms one row higher too, so that bars hanging below zero show below
// the shorter ones in front), and every series shows, for data whose series keep their order of
// size, as most do. Deeper rows would show more of the back rows' faces, but the walls' depth is
// set by the 3D percent and rows the width of a bar would squeeze the plot.
// Lines each stand in a row of their own too: a line of few points (the rest gaps) could vanish
// behind the ribbons in front of it, so lines go back from the fewest points to the most, in
// their order where they have as many (as lines from a table always have).
double FewestFirst(const SeriesModel& series) {
  return static_cast<double>(
      std::count_if(series.points.begin(), series.points.end(),
                    [](const ChartPoint& p) { return std::isfinite(p.value); }));
}

// The rows of the `chosen` series (of one shape) handed out again in the order of `key`.
template <class Key>
void OrderRows(const std::vector<const SeriesModel*>& series, std::vector<std::size_t> chosen,
               Plan& plan, Key key) {
  std::vector<int> rows;  // their rows, from the front
  for (const std::size_t s : chosen) rows.push_back(plan.row[s]);
  std::vector<double> order(series.size());
  for (std::size_t s : chosen) order[s] = key(*series[s]);
  std::stable_sort(chosen.begin(), chosen.end(),
                   [&](std::size_t a, std::size_t b) { return order[a] < order[b]; });
  for (std::size_t i = 0; i < chosen.size(); ++i) plan.row[chosen[i]] = rows[i];
}

Plan MakePlan(const ChartModel& model, const std::vector<const SeriesModel*>& series) {
  Plan plan;
  plan.horizontal = Traits(ChartKindOf(model)).horizontal;
  plan.barGrouping = BarGroupingOf(series);
  int nextRow = 0;
  const bool sharedBarRow = plan.barGrouping != BarGrouping::None;
  int barRow = -1;
  for (std::size_t s = 0; s < series.size(); ++s) {
    const SeriesModel* one = series[s];
    plan.categories = std::max(plan.categories, static_cast<int>(one->points.size()));
    const bool bar = IsBar(one->kind);  // the one place that asks
    (bar ? plan.bars : plan.lines).push_back(s);
    plan.barSlot.push_back(bar ? plan.barCount++ : -1);
    if (bar && sharedBarRow) {
      if (barRow < 0) barRow = nextRow++;
      plan.row.push_back(barRow);
    } else {
      plan.row.push_back(nextRow++);
    }
  }
  plan.deep = Depth3DShare(model) > 0;  // 3D at a depth of 0 is drawn flat
  plan.rows = plan.deep ? std::max(nextRow, 1) : 1;
  if (!plan.deep) std::fill(plan.row.begin(), plan.row.end(), 0);
  if (plan.deep && !sharedBarRow) OrderRows(series, plan.bars, plan, TypicalSize);
  if (plan.deep) OrderRows(series, plan.lines, plan, FewestFirst);
  return plan;
}

// Step 2.
std::pair<double, double> ValueRange(const std::vector<const SeriesModel*>& series,
                                     const Spans& spans, const Plan& plan) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  auto add = [&](double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  };
  bool positive = false, negative = false;  // bars of such values
  for (const std::size_t s : plan.bars) {
    add(0);
    for (const Span& span : spans[s]) {
      if (span.valid) add(span.low), add(span.high);
    }
    for (const ChartPoint& point : series[s]->points) {
      positive = positive || (std::isfinite(point.value) && point.value > 0);
      negative = negative || (std::isfinite(point.value) && point.value < 0);
    }
  }
  for (const std::size_t s : plan.lines) {
    for (const ChartPoint& point : series[s]->points) add(point.value);
  }
  if (low > high) return {0, 1};
  // A share too small for a double (1e-300 stacked on 1e300) still gets a pixel past zero.
  const double sliver = (high / 2 - low / 2) * 0.02;
  if (positive && high <= 0) high = sliver;
  if (negative && low >= 0) low = -sliver;
  return {low, high};
}

// Step 4.
void AddWalls(const Frame& frame, bool view3D, ChartLayout& layout) {
  const QRectF& p = frame.plot;
  const QPointF d(frame.depth, -frame.depth);
  const QColor outline(170, 170, 170);
  if (!view3D) {
    layout.scene.walls.push_back({QPolygonF(p), Qt::white, outline});
    return;
  }
  layout.scene.walls.push_back({QPolygonF(p.translated(d)), QColor(250, 250, 250), outline});
  layout.scene.walls.push_back(
      {Quad(p.topLeft(), p.topLeft() + d, p.bottomLeft() + d, p.bottomLeft()),
       QColor(238, 238, 238), outline});
  layout.scene.walls.push_back(
      {Quad(p.bottomLeft(), p.bottomRight(), p.bottomRight() + d, p.bottomLeft() + d),
       QColor(228, 228, 228), outline});
}

void AddValueGrid(const Frame& frame, const ValueScale& scale, bool horizontal,
                  ChartLayout& layout) {
  const QRectF& p = frame.plot;
  const QPointF d(frame.depth, -frame.depth);
  for (double v : frame.ticks.values) {
    const double at = scale.Map(v);
    const QColor color = v == 0 && frame.ticks.min < 0 ? kAxisColor : kGridColor;
    if (horizontal) {
      const QPointF bottom(at, p.bottom()), top(at, p.top());
      layout.scene.grid.push_back({QLineF(bottom + d, top + d), color});
      if (frame.depth > 0) layout.scene.grid.push_back({QLineF(bottom, bottom + d), color});
      layout.scene.strokes.push_back({QLineF(bottom, bottom + QPointF(0, kTick)), kAxisColor});
    } else {
      const QPointF left(p.left(), at), right(p.right(), at);
      layout.scene.grid.push_back({QLineF(left + d, right + d), color});
      if (frame.depth > 0) layout.scene.grid.push_back({QLineF(left, left + d), color});
      layout.scene.strokes.push_back({QLineF(left - QPointF(kTick, 0), left), kAxisColor});
    }
  }
  // The axis lines stand just outside the plot and are drawn before the bars, so that no part of
  // them covers a bar's first pixel.
  const QRectF outside = p.adjusted(-0.5, 0, 0, 0.5);
  layout.scene.grid.push_back({QLineF(outside.topLeft(), outside.bottomLeft()), kAxisColor});
  layout.scene.grid.push_back({QLineF(outside.bottomLeft(), outside.bottomRight()), kAxisColor});
}

// Step 5: rows from the back; boxes and ribbons of one row are painted before those in front.
std::vector<Box> AddSeriesShapes(const std::vector<const SeriesModel*>& series, const Spans& spans,
                                 const Geometry& g, ChartLayout& layout) {
  std::vector<Box> boxes = BarBoxes(series, spans, g);
  for (const Box& box : boxes) {
    layout.geometry.bars.push_back({box.series, box.point, box.front, box.depth, box.dense});
  }
  for (int row = g.plan.rows - 1; row >= 0; --row) {
    for (const Box& box : boxes) {
      if (box.row == row) AddBoxFaces(box, layout);
    }
    for (const std::size_t s : g.plan.lines) {
      if (g.plan.row[s] == row) AddLine(*series[s], static_cast<int>(s), row, g, layout);
    }
  }
  return boxes;
}

// Step 6: the value labels, and where the ticks are divided by a power of ten, its note: above
// the labels of a vertical axis, below those of a horizontal one, where the column of category
// labels begins.
void AddValueLabels(const Geometry& g, ChartLayout& layout) {
  if (!g.frame.texts.tickLabels) return;
  const QFont& font = layout.scene.fonts[FontRole::Tick];
  const double h = LineHeight(font);
  const QRectF& p = g.frame.plot;
  const double labelsRight = p.left() - kLabelOffset + kGap;
  for (double v : g.frame.ticks.values) {
    const QString text = TickText(g.frame.numbers, layout.numbers.locale, v);
    const double w = TextWidth(font, text);
    const double at = g.scale.Map(v);
    const QRectF rect = g.plan.horizontal
                            ? QRectF(at - w / 2, p.bottom() + kLabelOffset - kGap, w, h)
                            : QRectF(labelsRight - w, at - h / 2, w, h);
    TextItem item = BoxedText(text, rect, Qt::AlignCenter, FontRole::Tick);
    item.role = TextRole::TickLabel;
    layout.scene.texts.push_back(item);
  }
  const QString note = QString::fromStdString(ScaleNote(g.frame.numbers));
  if (note.isEmpty() || g.frame.ticks.values.empty()) return;
  const double w = TextWidth(font, note);
  const QRectF rect = g.plan.horizontal
                          ? QRectF(g.frame.labelsFrom, p.bottom() + kLabelOffset - kGap + h, w, h)
                          : QRectF(labelsRight - w, p.top() - h * 1.5 - 1, w, h);
  TextItem item = BoxedText(note, rect, Qt::AlignCenter, FontRole::Tick);
  item.role = TextRole::ScaleNote;
  layout.scene.texts.push_back(item);
}

void AddCategoryLabels(std::span<const std::string> labels, const Geometry& g,
                       ChartLayout& layout) {
  const QFont& font = layout.scene.fonts[FontRole::Tick];
  const double h = LineHeight(font);
  const CategoryLabelFit& fit = g.frame.labels;
  layout.geometry.categoryLabelAngle = fit.angle;
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
    layout.geometry.shownCategories.push_back(i);
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
    layout.scene.texts.push_back(item);
  }
}

// Where a text of `length` centred on `center` stays within [from, to].
double CenteredWithin(double center, double length, double from, double to) {
  return std::clamp(center, from + length / 2, std::max(from + length / 2, to - length / 2));
}

void AddAxisTitles(const ChartModel& model, QRectF area, const Geometry& g, ChartLayout& layout) {
  const QRectF& p = g.frame.plot;
  const QFont& leftFont = layout.scene.fonts[FontRole::LeftAxisTitle];
  const QFont& bottomFont = layout.scene.fonts[FontRole::BottomAxisTitle];
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
    layout.scene.texts.push_back(item);
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
    layout.scene.texts.push_back(item);
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
void NoteOmissions(const ChartModel& model, const Geometry& g, ChartLayout& layout) {
  Omissions& omitted = layout.omitted;
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
  const Spans spans = BarSpans(series, g.plan);  // step 2
  const auto range = ValueRange(series, spans, g.plan);
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
  AddWalls(g.frame, g.plan.deep, layout);  // step 4
  AddValueGrid(g.frame, g.scale, g.plan.horizontal, layout);
  const std::vector<Box> boxes = AddSeriesShapes(series, spans, g, layout);  // step 5
  AddValueLabels(g, layout);                                                 // step 6
  AddCategoryLabels(model.labels, g, layout);
  AddAxisTitles(model, area, g, layout);
  NoteOmissions(model, g, layout);
  LabelPlacer placer(layout, g.frame.markRoom);
  AddBarLabels(series, boxes, g, placer, layout);
  AddLineLabels(series, g, placer, layout);
}

}  // namespace chart
