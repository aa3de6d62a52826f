// Layout of charts with axes: vertical bars, horizontal bars and lines.
//
// Layout order:
//   1. plan: orientation (from the first series), multi-bar mode (from the first bar series),
//      category count, depth rows in 3D (bar series of mode None from the smallest in front);
//   2. value range: bars include zero; stacked modes sum positives and negatives apart;
//   3. room around the plot: axis titles, value labels (their width needs the ticks, which
//      need the plot length: estimated once, then done again with the final length),
//      category labels (turned, then thinned), the depth of the 3D walls;
//   4. walls, grid lines, axis lines;
//   5. series shapes, each depth row from the back to the front;
//   6. marks, labels and axis titles.
//
// This file lays out the frame and the axes; the bars and the lines, with their marks, are
// laid out by barlayout.cpp and linelayout.cpp.

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "axesgeometry.h"

namespace {

constexpr double kTick = 4;
constexpr double kGap = 4;
constexpr double kValueTickSpacing = 36;
// Tick labels along a horizontal value axis stand side by side, so they need more room apart,
// and at least this gap between the widest two.
constexpr double kSideBySideTickSpacing = kValueTickSpacing * 1.6;
constexpr double kTickLabelGap = 12;
// Category labels take at most this share of the chart: beside a horizontal chart of its width,
// below a vertical one (turned) of its height.
constexpr double kMaxLabelWidthShare = 0.3;
constexpr double kMaxLabelHeightShare = 0.4;
// The 3D walls go back by 0.6 % of the smaller side per 3D percent, by at most 40 % of it.
constexpr double kDepthPerPercent = 0.6;
constexpr double kMaxDepthShare = 0.4;
// Bar boxes go back at most 1.3 times as far as the bars are thick (deeper ones would hide
// their neighbours), and at least a few pixels per depth row.
constexpr double kMaxDepthPerThickness = 1.3;
constexpr double kMinRowDepth = 4;
const QColor kAxisColor(96, 96, 96);
const QColor kGridColor(222, 222, 222);

// Step 1.
// The mode of the first bar series. A model may hold any number there: unknown ones act as None.
MultiBar MultiBarOf(const std::vector<const SeriesModel*>& series) {
  for (const SeriesModel* one : series) {
    if (IsBar(*one)) return MultiBarFromNumber(static_cast<std::uint8_t>(one->multiBar));
  }
  return MultiBar::None;
}

// The mean of the finite values' sizes: how tall the series' bars typically stand.
double TypicalSize(const SeriesModel& series) {
  double sum = 0;
  std::size_t count = 0;
  for (const ChartPoint& point : series.points) {
    if (!std::isfinite(point.value)) continue;
    sum += std::abs(point.value);
    ++count;
  }
  return count > 0 ? sum / static_cast<double>(count) : 0;
}

// In 3D each bar series of mode None stands in a depth row of its own. Taken in the series'
// order, a tall first series would hide every row behind it. So the rows go back from the
// typically smallest series to the typically largest: each row's bars then rise above those in
// front of them (their tops also stand one row higher), and every series shows, for data whose
// series keep their order of size, as most do. Deeper rows would show more of the back rows'
// faces, but the walls' depth is set by the 3D percent and rows the width of a bar would squeeze
// the plot.
void OrderBarRowsBySize(const std::vector<const SeriesModel*>& series, Plan& plan) {
  std::vector<std::size_t> bars;
  std::vector<int> rows;  // the bar series' rows, from the front
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (!IsBar(*series[s])) continue;
    bars.push_back(s);
    rows.push_back(plan.row[s]);
  }
  std::vector<double> size(series.size());
  for (std::size_t s : bars) size[s] = TypicalSize(*series[s]);
  std::stable_sort(bars.begin(), bars.end(),
                   [&](std::size_t a, std::size_t b) { return size[a] < size[b]; });
  for (std::size_t i = 0; i < bars.size(); ++i) plan.row[bars[i]] = rows[i];
}

Plan MakePlan(const ChartModel& model, const std::vector<const SeriesModel*>& series) {
  Plan plan;
  plan.horizontal = !series.empty() && series.front()->kind == SeriesKind::HorizBar;
  plan.multiBar = MultiBarOf(series);
  int nextRow = 0;
  const bool sharedBarRow = plan.multiBar != MultiBar::None;
  int barRow = -1;
  for (const SeriesModel* one : series) {
    plan.categories = std::max(plan.categories, static_cast<int>(one->points.size()));
    const bool bar = IsBar(*one);
    plan.barSlot.push_back(bar ? plan.barCount++ : -1);
    if (bar && sharedBarRow) {
      if (barRow < 0) barRow = nextRow++;
      plan.row.push_back(barRow);
    } else {
      plan.row.push_back(nextRow++);
    }
  }
  plan.rows = model.view3D ? std::max(nextRow, 1) : 1;
  if (!model.view3D) std::fill(plan.row.begin(), plan.row.end(), 0);
  if (model.view3D && !sharedBarRow) OrderBarRowsBySize(series, plan);
  return plan;
}

// Step 2.
std::pair<double, double> ValueRange(const std::vector<const SeriesModel*>& series,
                                     const Spans& spans) {
  double low = std::numeric_limits<double>::infinity();
  double high = -low;
  auto add = [&](double v) {
    if (!std::isfinite(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  };
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (IsBar(*series[s])) {
      add(0);
      for (const Span& span : spans[s]) {
        if (span.valid) add(span.low), add(span.high);
      }
    } else {
      for (const ChartPoint& point : series[s]->points) add(point.value);
    }
  }
  if (low > high) return {0, 1};
  return {low, high};
}

// Step 3.
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
  fit.maxWidth = std::min(MaxLabelWidth(labels, plan.categories, fit.step, font), maxLength);
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
  for (double v : ticks.values) {
    width = std::max(width, TextWidth(font, QString::fromStdString(FormatTick(v, ticks.step))));
  }
  return width;
}

// How far a turned first label reaches left of the plot.
double LabelOverhang(const CategoryLabelFit& labels, double slot) {
  if (labels.angle == 0) return 0;
  return labels.maxWidth * std::cos(labels.angle * std::numbers::pi / 180) - slot / 2 - kTick;
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
  return std::round(depth);
}

Frame ComputeFrame(const ChartModel& model, const std::vector<const SeriesModel*>& series,
                   const Plan& plan, std::pair<double, double> range, QRectF area,
                   const ChartFonts& fonts) {
  const double lineHeight = LineHeight(fonts[FontRole::Tick]);
  const double leftTitle =
      model.leftAxisTitle.caption.empty() ? 0 : LineHeight(fonts[FontRole::LeftAxisTitle]) + kGap;
  const double bottomTitle = model.bottomAxisTitle.caption.empty()
                                 ? 0
                                 : LineHeight(fonts[FontRole::BottomAxisTitle]) + kGap;
  const QSizeF marks = BarMarkRoom(series, range, fonts[FontRole::Mark]);
  Frame frame;
  frame.depth = FrameDepth(model, plan, area);
  QRectF plot =
      area.adjusted(leftTitle, frame.depth + lineHeight / 2, -frame.depth - kGap, -bottomTitle);
  for (int pass = 0; pass < 2; ++pass) {
    const double valueLength = plan.horizontal ? plot.width() : plot.height();
    const double spacing =
        plan.horizontal ? std::max(kSideBySideTickSpacing,
                                   MaxTickWidth(frame.ticks, fonts[FontRole::Tick]) + kTickLabelGap)
                        : kValueTickSpacing;
    frame.ticks = ChooseNiceTicks(range.first, range.second, valueLength, spacing);
    const double tickWidth = MaxTickWidth(frame.ticks, fonts[FontRole::Tick]);
    const double categoryLength = plan.horizontal ? plot.height() : plot.width();
    const double slot = categoryLength / std::max(plan.categories, 1);
    const double maxLength =
        plan.horizontal ? area.width() * kMaxLabelWidthShare : area.height() * kMaxLabelHeightShare;
    frame.labels = FitCategoryLabels(model.labels, plan, slot, maxLength, fonts[FontRole::Tick]);
    const double leftRoom = plan.horizontal
                                ? frame.labels.extent
                                : std::max(tickWidth, LabelOverhang(frame.labels, slot));
    const double bottomRoom = plan.horizontal ? lineHeight : frame.labels.extent;
    const double rightRoom = plan.horizontal ? tickWidth / 2 + marks.width() : 0;
    const double topRoom = plan.horizontal ? lineHeight / 2 : marks.height();
    plot =
        area.adjusted(leftTitle + leftRoom + kTick + kGap, frame.depth + topRoom,
                      -frame.depth - kGap - rightRoom, -(bottomTitle + bottomRoom + kTick + kGap));
  }
  frame.plot = plot;
  frame.markRoom = plan.horizontal
                       ? plot.adjusted(0, -frame.depth, frame.depth + marks.width(), 0)
                       : plot.adjusted(0, -frame.depth - marks.height(), frame.depth, 0);
  return frame;
}

// Step 4.
void AddWalls(const Frame& frame, bool view3D, ChartLayout& layout) {
  const QRectF& p = frame.plot;
  const QPointF d(frame.depth, -frame.depth);
  const QColor outline(170, 170, 170);
  if (!view3D) {
    layout.walls.push_back({QPolygonF(p), Qt::white, outline});
    return;
  }
  layout.walls.push_back({QPolygonF(p.translated(d)), QColor(250, 250, 250), outline});
  layout.walls.push_back({Quad(p.topLeft(), p.topLeft() + d, p.bottomLeft() + d, p.bottomLeft()),
                          QColor(238, 238, 238), outline});
  layout.walls.push_back(
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
      layout.grid.push_back({QLineF(bottom + d, top + d), color});
      if (frame.depth > 0) layout.grid.push_back({QLineF(bottom, bottom + d), color});
      layout.strokes.push_back({QLineF(bottom, bottom + QPointF(0, kTick)), kAxisColor});
    } else {
      const QPointF left(p.left(), at), right(p.right(), at);
      layout.grid.push_back({QLineF(left + d, right + d), color});
      if (frame.depth > 0) layout.grid.push_back({QLineF(left, left + d), color});
      layout.strokes.push_back({QLineF(left - QPointF(kTick, 0), left), kAxisColor});
    }
  }
  layout.strokes.push_back({QLineF(p.topLeft(), p.bottomLeft()), kAxisColor});
  layout.strokes.push_back({QLineF(p.bottomLeft(), p.bottomRight()), kAxisColor});
}

// Step 5: rows from the back; boxes and ribbons of one row are painted before those in front.
void AddSeriesShapes(const std::vector<const SeriesModel*>& series, const Spans& spans,
                     const Geometry& g, ChartLayout& layout) {
  MarkPlacer placer(g.frame.markRoom);
  const std::vector<Box> boxes = BarBoxes(series, spans, g);
  for (const Box& box : boxes) layout.bars.push_back({box.series, box.point, box.front, box.depth});
  for (int row = g.plan.rows - 1; row >= 0; --row) {
    for (const Box& box : boxes) {
      if (box.row == row) AddBoxFaces(box, layout);
    }
    for (std::size_t s = 0; s < series.size(); ++s) {
      if (!IsBar(*series[s]) && g.plan.row[s] == row) {
        AddLine(*series[s], static_cast<int>(s), row, g, placer, layout);
      }
    }
  }
  AddBarMarks(series, boxes, g, placer, layout);
}

// Step 6: labels and axis titles.
void AddValueLabels(const Geometry& g, ChartLayout& layout) {
  const QFont& font = layout.fonts[FontRole::Tick];
  const double h = LineHeight(font);
  for (double v : g.frame.ticks.values) {
    const QString text = QString::fromStdString(FormatTick(v, g.frame.ticks.step));
    const double w = TextWidth(font, text) + 2;
    const double at = g.scale.Map(v);
    const QRectF rect = g.plan.horizontal
                            ? QRectF(at - w / 2, g.frame.plot.bottom() + kTick + 2, w, h)
                            : QRectF(g.frame.plot.left() - kTick - 3 - w, at - h / 2, w, h);
    layout.texts.push_back(
        BoxedText(text, rect,
                  g.plan.horizontal ? int(Qt::AlignCenter) : int(Qt::AlignRight | Qt::AlignVCenter),
                  FontRole::Tick));
  }
}

void AddCategoryLabels(std::span<const std::string> labels, const Geometry& g,
                       ChartLayout& layout) {
  const QFont& font = layout.fonts[FontRole::Tick];
  const QFontMetricsF metrics(font);
  const double h = LineHeight(font);
  const CategoryLabelFit& fit = g.frame.labels;
  layout.categoryLabelAngle = fit.angle;
  if (fit.maxWidth <= 0) return;
  const double radians = fit.angle * std::numbers::pi / 180;
  for (int i = 0; i < g.plan.categories; i += fit.step) {
    const QString text = metrics.elidedText(CategoryLabel(labels, static_cast<std::size_t>(i)),
                                            Qt::ElideRight, fit.maxWidth + 1);
    if (text.isEmpty()) continue;
    layout.shownCategories.push_back(i);
    const double c = g.CategoryCenter(i);
    TextItem item;
    item.text = text;
    item.font = FontRole::Tick;
    if (g.plan.horizontal) {
      item.origin = QPointF(g.frame.plot.left() - kTick - 3, c);
      item.box = QRectF(-fit.maxWidth - 1, -h / 2, fit.maxWidth + 1, h);
      item.align = Qt::AlignRight | Qt::AlignVCenter;
    } else if (fit.angle == 0) {
      item.origin = QPointF(c, g.frame.plot.bottom() + kTick + 2);
      item.box = QRectF(-g.slot / 2, 0, g.slot, h);
      item.align = Qt::AlignHCenter | Qt::AlignTop;
    } else {
      item.origin = QPointF(c, g.frame.plot.bottom() + kTick + 2 + h / 2 * std::cos(radians));
      item.angle = fit.angle;
      item.box = QRectF(-fit.maxWidth - 1, -h / 2, fit.maxWidth + 1, h);
      item.align = Qt::AlignRight | Qt::AlignVCenter;
    }
    layout.texts.push_back(item);
  }
}

void AddAxisTitles(const ChartModel& model, QRectF area, const Geometry& g, ChartLayout& layout) {
  const QRectF& p = g.frame.plot;
  if (!model.leftAxisTitle.caption.empty()) {
    const double h = LineHeight(layout.fonts[FontRole::LeftAxisTitle]);
    TextItem item;
    item.text = DisplayText(model.leftAxisTitle.caption);
    item.font = FontRole::LeftAxisTitle;
    item.angle = 90;
    item.origin = QPointF(area.left(), p.center().y());
    item.box = QRectF(-p.height() / 2 - 40, 0, p.height() + 80, h);  // may run past the plot
    item.align = Qt::AlignCenter;
    layout.texts.push_back(item);
  }
  if (!model.bottomAxisTitle.caption.empty()) {
    const double h = LineHeight(layout.fonts[FontRole::BottomAxisTitle]);
    layout.texts.push_back(BoxedText(DisplayText(model.bottomAxisTitle.caption),
                                     QRectF(p.left(), area.bottom() - h, p.width(), h),
                                     Qt::AlignCenter, FontRole::BottomAxisTitle));
  }
}

}  // namespace

void LayoutAxes(const ChartModel& model, const std::vector<const SeriesModel*>& series, QRectF area,
                ChartLayout& layout) {
  Geometry g;
  g.plan = MakePlan(model, series);              // step 1
  const Spans spans = BarSpans(series, g.plan);  // step 2
  const auto range = ValueRange(series, spans);
  g.frame = ComputeFrame(model, series, g.plan, range, area, layout.fonts);  // step 3
  const QRectF& p = g.frame.plot;
  if (p.width() < 4 || p.height() < 4) return;
  g.scale = g.plan.horizontal
                ? ValueScale{g.frame.ticks.min, g.frame.ticks.max, p.left(), p.right()}
                : ValueScale{g.frame.ticks.min, g.frame.ticks.max, p.bottom(), p.top()};
  g.slot = (g.plan.horizontal ? p.height() : p.width()) / std::max(g.plan.categories, 1);
  g.rowDepth = g.frame.depth / g.plan.rows;
  layout.plot = p;
  layout.depthOffset = QPointF(g.frame.depth, -g.frame.depth);
  layout.valueTicks = g.frame.ticks.values;
  AddWalls(g.frame, model.view3D, layout);  // step 4
  AddValueGrid(g.frame, g.scale, g.plan.horizontal, layout);
  AddSeriesShapes(series, spans, g, layout);  // step 5
  AddValueLabels(g, layout);                  // step 6
  AddCategoryLabels(model.labels, g, layout);
  AddAxisTitles(model, area, g, layout);
}
