// Layout of charts with axes: vertical bars, horizontal bars and lines.
//
// Layout order:
//   1. plan: orientation (from the first series), multi-bar mode (from the first bar series),
//      category count, depth rows in 3D;
//   2. value range: bars include zero; stacked modes sum positives and negatives apart;
//   3. room around the plot: axis titles, value labels (their width needs the ticks, which
//      need the plot length: estimated once, then done again with the final length),
//      category labels (turned, then thinned), the depth of the 3D walls;
//   4. walls, grid lines, axis lines;
//   5. series shapes, each depth row from the back to the front;
//   6. marks, labels and axis titles.

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "layoutsteps.h"
#include "niceticks.h"
#include "palette.h"

namespace {

constexpr double kGroupShare = 0.7;  // share of a category slot taken by its bars
constexpr double kTick = 4;
constexpr double kGap = 4;
constexpr double kValueTickSpacing = 36;
constexpr qsizetype kPolylineChunk = 8;
const QColor kAxisColor(96, 96, 96);
const QColor kGridColor(222, 222, 222);

bool IsBar(const SeriesModel& series) {
  return series.kind == SeriesKind::Bar || series.kind == SeriesKind::HorizBar;
}

// Step 1.
struct Plan {
  bool horizontal = false;
  MultiBar multiBar = MultiBar::None;
  int categories = 0;
  int barCount = 0;
  std::vector<int> barSlot;  // per series: index among the bar series, -1 for lines
  std::vector<int> row;      // per series: depth row, 0 at the front
  int rows = 1;
};

bool IsStacked(MultiBar mode) { return mode == MultiBar::Stacked || mode == MultiBar::Stacked100; }

// The mode of the first bar series. A model may hold any number there: unknown ones act as None.
MultiBar MultiBarOf(const std::vector<const SeriesModel*>& series) {
  for (const SeriesModel* one : series) {
    if (IsBar(*one)) return MultiBarFromNumber(static_cast<std::uint8_t>(one->multiBar));
  }
  return MultiBar::None;
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
  return plan;
}

// Step 2. The span [low, high] of every bar, per series and category, in value units.
struct Span {
  double low = 0;
  double high = 0;
  bool valid = false;
};
using Spans = std::vector<std::vector<Span>>;

Spans BarSpans(const std::vector<const SeriesModel*>& series, const Plan& plan) {
  const auto n = static_cast<std::size_t>(plan.categories);
  std::vector<double> positive(n, 0), negative(n, 0), total(n, 0);
  for (const SeriesModel* one : series) {
    if (!IsBar(*one)) continue;
    const auto& points = one->points;
    for (std::size_t c = 0; c < points.size(); ++c) {
      if (std::isfinite(points[c].value)) total[c] += std::abs(points[c].value);
    }
  }
  Spans spans(series.size());
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (!IsBar(*series[s])) continue;
    const auto& points = series[s]->points;
    spans[s].resize(points.size());
    for (std::size_t c = 0; c < points.size(); ++c) {
      double value = points[c].value;
      if (!std::isfinite(value)) continue;
      if (plan.multiBar == MultiBar::Stacked100) {
        if (total[c] <= 0 || !std::isfinite(total[c])) continue;
        value = value / total[c] * 100;
      }
      Span& span = spans[s][c];
      span.valid = true;
      if (!IsStacked(plan.multiBar)) {
        span = {std::min(0.0, value), std::max(0.0, value), true};
      } else if (value >= 0) {
        span = {positive[c], positive[c] + value, true};
        positive[c] += value;
      } else {
        span = {negative[c] + value, negative[c], true};
        negative[c] += value;
      }
    }
  }
  return spans;
}

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

// Maps values to pixels along the value axis.
struct ValueScale {
  double v0 = 0, v1 = 1, p0 = 0, p1 = 1;
  double Map(double v) const {
    const double p = p0 + (v - v0) * (p1 - p0) / (v1 - v0);
    return std::clamp(p, std::min(p0, p1) - 1e6, std::max(p0, p1) + 1e6);
  }
};

// Step 3: category labels, turned and thinned.
struct CategoryLabelFit {
  double angle = 0;  // degrees, counter-clockwise; vertical charts only
  int step = 1;
  double maxWidth = 0;
  double extent = 0;  // room taken across the axis
};

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

// Room that value marks need past the ends of the bars: the widest mark is guessed from the
// widest value, as marks show values.
QSizeF MarkRoom(const std::vector<const SeriesModel*>& series, std::pair<double, double> range,
                const QFont& font) {
  bool any = false;
  for (const SeriesModel* one : series) any = any || (IsBar(*one) && one->marksVisible);
  if (!any) return {};
  const double widest =
      std::max(TextWidth(font, QString::fromStdString(FormatValue(range.first))),
               TextWidth(font, QString::fromStdString(FormatValue(range.second))));
  return QSizeF(widest + 10, LineHeight(font) + 6);
}

struct Frame {
  QRectF plot;  // front plot rectangle
  double depth = 0;
  NiceTicks ticks;
  CategoryLabelFit labels;
};

Frame ComputeFrame(const ChartModel& model, const std::vector<const SeriesModel*>& series,
                   const Plan& plan, std::pair<double, double> range, QRectF area,
                   const ChartFonts& fonts) {
  const double lineHeight = LineHeight(fonts[FontRole::Tick]);
  const double leftTitle =
      model.leftAxisTitle.caption.empty() ? 0 : LineHeight(fonts[FontRole::LeftAxisTitle]) + kGap;
  const double bottomTitle = model.bottomAxisTitle.caption.empty()
                                 ? 0
                                 : LineHeight(fonts[FontRole::BottomAxisTitle]) + kGap;
  const QSizeF marks = MarkRoom(series, range, fonts[FontRole::Mark]);
  Frame frame;
  const double percent = model.view3D ? std::clamp(model.percent3D, 0, 100) : 0;
  frame.depth = std::min(area.width(), area.height()) * std::min(0.4, percent / 100 * 0.6);
  if (plan.barCount > 0) {
    // Deeper boxes than a category is wide would hide their neighbours.
    const double slot =
        (plan.horizontal ? area.height() : area.width()) / std::max(plan.categories, 1);
    const double thickness =
        slot * kGroupShare / (plan.multiBar == MultiBar::SideBySide ? plan.barCount : 1);
    frame.depth = std::min(frame.depth, std::max(thickness * 1.3, 4.0) * plan.rows);
  }
  frame.depth = std::round(frame.depth);
  QRectF plot =
      area.adjusted(leftTitle, frame.depth + lineHeight / 2, -frame.depth - kGap, -bottomTitle);
  for (int pass = 0; pass < 2; ++pass) {
    const double valueLength = plan.horizontal ? plot.width() : plot.height();
    const double spacing = plan.horizontal
                               ? std::max(kValueTickSpacing * 1.6,
                                          MaxTickWidth(frame.ticks, fonts[FontRole::Tick]) + 12)
                               : kValueTickSpacing;
    frame.ticks = ChooseNiceTicks(range.first, range.second, valueLength, spacing);
    const double tickWidth = MaxTickWidth(frame.ticks, fonts[FontRole::Tick]);
    const double categoryLength = plan.horizontal ? plot.height() : plot.width();
    const double slot = categoryLength / std::max(plan.categories, 1);
    const double maxLength = plan.horizontal ? area.width() * 0.3 : area.height() * 0.4;
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
  return frame;
}

// Step 4.
QPolygonF Quad(QPointF a, QPointF b, QPointF c, QPointF d) { return QPolygonF({a, b, c, d}); }

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

// Step 5: bars as boxes (a front face, and in 3D a top and a side).
struct Box {
  int row = 0;
  QRectF front;  // already moved back to its row
  double depth = 0;
  QColor color;
  int series = 0;
  int point = 0;
};

void AddBoxFaces(const Box& box, ChartLayout& layout) {
  const QRectF& f = box.front;
  const QColor outline = SideShade(box.color);
  if (box.depth > 0) {
    const QPointF d(box.depth, -box.depth);
    layout.faces.push_back(
        {Quad(f.topRight(), f.topRight() + d, f.bottomRight() + d, f.bottomRight()),
         SideShade(box.color), outline});
    layout.faces.push_back({Quad(f.topLeft(), f.topRight(), f.topRight() + d, f.topLeft() + d),
                            TopShade(box.color), outline});
  }
  layout.faces.push_back({QPolygonF(f), box.color, outline});
}

struct Geometry {
  Plan plan;
  Frame frame;
  ValueScale scale;
  double slot = 0;
  double rowDepth = 0;
  double CategoryCenter(int i) const {
    return plan.horizontal ? frame.plot.top() + (i + 0.5) * slot
                           : frame.plot.left() + (i + 0.5) * slot;
  }
  QPointF RowShift(int row) const { return QPointF(row * rowDepth, -row * rowDepth); }
  double BoxDepth() const { return rowDepth * 0.75; }
  QPointF RowInset() const { return QPointF(rowDepth * 0.125, -rowDepth * 0.125); }
  QPointF At(int category, double value) const {
    const double c = CategoryCenter(category), v = scale.Map(value);
    return plan.horizontal ? QPointF(v, c) : QPointF(c, v);
  }
};

QRectF BarRect(const Geometry& g, int barSlot, int category, const Span& span) {
  const double group = g.slot * kGroupShare;
  double width = group, offset = 0;
  if (g.plan.multiBar == MultiBar::SideBySide && g.plan.barCount > 0) {
    width = group / g.plan.barCount;
    offset = (barSlot + 0.5) * width - group / 2;
  }
  const double center = g.CategoryCenter(category) + offset;
  double a = std::round(center - width / 2), b = std::round(center + width / 2);
  if (b <= a) b = a + 1;
  double lowPixel = std::round(g.scale.Map(span.low)),
         highPixel = std::round(g.scale.Map(span.high));
  if (g.plan.horizontal) return QRectF(QPointF(lowPixel, a), QPointF(highPixel, b)).normalized();
  return QRectF(QPointF(a, highPixel), QPointF(b, lowPixel)).normalized();
}

std::vector<Box> MakeBoxes(const std::vector<const SeriesModel*>& series, const Spans& spans,
                           const Geometry& g) {
  std::vector<Box> boxes;
  for (std::size_t s = 0; s < series.size(); ++s) {
    if (!IsBar(*series[s])) continue;
    const int row = g.plan.row[s];
    const QPointF shift = g.RowShift(row) + (g.frame.depth > 0 ? g.RowInset() : QPointF());
    for (std::size_t c = 0; c < spans[s].size(); ++c) {
      if (!spans[s][c].valid) continue;
      const QRectF front = BarRect(g, g.plan.barSlot[s], static_cast<int>(c), spans[s][c]);
      boxes.push_back({row, front.translated(shift), g.frame.depth > 0 ? g.BoxDepth() : 0,
                       ToQColor(ResolvePointColor(*series[s], static_cast<int>(c))),
                       static_cast<int>(s), static_cast<int>(c)});
    }
  }
  return boxes;
}

// The viewer looks from the upper right: rows from the back, then boxes further left and
// lower first, so nearer faces cover farther ones.
void SortBackToFront(std::vector<Box>& boxes, bool horizontal) {
  std::stable_sort(boxes.begin(), boxes.end(), [horizontal](const Box& a, const Box& b) {
    if (a.row != b.row) return a.row > b.row;
    if (horizontal) {
      if (a.front.center().y() != b.front.center().y())
        return a.front.center().y() > b.front.center().y();
      return a.front.center().x() < b.front.center().x();
    }
    if (a.front.center().x() != b.front.center().x())
      return a.front.center().x() < b.front.center().x();
    return a.front.bottom() > b.front.bottom();
  });
}

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
                   piece.size() > 1 ? piece[1].color : piece.front().color, dense ? 1.5 : 2.0,
                   dense};
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

// Step 6: marks.
TextItem MarkText(const QString& text, QPointF center, const QFont& font) {
  const double width = TextWidth(font, text) + 6, height = LineHeight(font) + 2;
  TextItem item =
      BoxedText(text, QRectF(center.x() - width / 2, center.y() - height / 2, width, height),
                Qt::AlignCenter, FontRole::Mark);
  item.framed = true;
  return item;
}

QRectF PlacedRect(const TextItem& item) { return item.box.translated(item.origin); }

// Where the mark of a box goes: past its end for single bars, inside for stacked ones.
QPointF MarkCenter(const Box& box, bool horizontal, bool stacked, bool negative, QSizeF mark) {
  const QRectF& f = box.front;
  const double d = box.depth / 2;
  if (stacked) return f.center() + QPointF(d, -d);
  if (horizontal) {
    const double x =
        negative ? f.left() - mark.width() / 2 - 2 : f.right() + box.depth + mark.width() / 2 + 2;
    return QPointF(x, f.center().y() - d);
  }
  const double y =
      negative ? f.bottom() + mark.height() / 2 + 2 : f.top() - box.depth - mark.height() / 2 - 2;
  return QPointF(f.center().x() + d, y);
}

// How near a box is to the viewer, 0 nearest: its depth row, and in mode 0 its series (later
// series are drawn over earlier ones).
int Nearness(const Box& box, const Plan& plan) {
  const int overlap =
      plan.multiBar == MultiBar::None ? plan.barCount - plan.barSlot[box.series] : 0;
  return box.row * (plan.barCount + 1) + overlap;
}

// Marks of boxes hidden behind nearer boxes are left out: boxes are taken from the nearest,
// and each level of nearness blocks the room of its boxes for the levels behind it.
void AddBarMarks(const std::vector<const SeriesModel*>& series, std::vector<Box> boxes,
                 const Geometry& g, MarkPlacer& placer, ChartLayout& layout) {
  const bool stacked = IsStacked(g.plan.multiBar);
  const QFont& font = layout.fonts[FontRole::Mark];
  std::stable_sort(boxes.begin(), boxes.end(), [&](const Box& a, const Box& b) {
    return Nearness(a, g.plan) < Nearness(b, g.plan);
  });
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const Box& box = boxes[i];
    if (i > 0 && Nearness(boxes[i - 1], g.plan) != Nearness(box, g.plan)) {
      for (std::size_t k = i;
           k-- > 0 && Nearness(boxes[k], g.plan) == Nearness(boxes[i - 1], g.plan);) {
        placer.Block(boxes[k].front.adjusted(1, 1 - boxes[k].depth, boxes[k].depth - 1, -1));
      }
    }
    const SeriesModel& one = *series[static_cast<std::size_t>(box.series)];
    if (!one.marksVisible) continue;
    const double value = one.points[static_cast<std::size_t>(box.point)].value;
    TextItem mark = MarkText(QString::fromStdString(FormatValue(value)), QPointF(), font);
    const QPointF center = MarkCenter(box, g.plan.horizontal, stacked, value < 0, mark.box.size());
    mark.origin = center - QPointF(mark.box.width() / 2, mark.box.height() / 2);
    const QRectF placed = PlacedRect(mark);
    const double across = g.plan.horizontal ? box.front.width() : box.front.height();
    const double markAcross = g.plan.horizontal ? placed.width() : placed.height();
    if (stacked && across < markAcross) continue;
    if (placer.TryPlace(placed)) layout.texts.push_back(mark);
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

void AddSeriesShapes(const std::vector<const SeriesModel*>& series, const Spans& spans,
                     const Geometry& g, ChartLayout& layout) {
  MarkPlacer placer(QRectF(QPointF(0, 0), layout.size));
  std::vector<Box> boxes = MakeBoxes(series, spans, g);
  SortBackToFront(boxes, g.plan.horizontal);
  for (const Box& box : boxes) layout.bars.push_back({box.series, box.point, box.front});
  const bool view3D = g.frame.depth > 0;
  // Rows from the back: boxes and ribbons of one row are painted before those in front.
  for (int row = g.plan.rows - 1; row >= 0; --row) {
    for (const Box& box : boxes) {
      if (box.row == row) AddBoxFaces(box, layout);
    }
    for (std::size_t s = 0; s < series.size(); ++s) {
      if (IsBar(*series[s]) || g.plan.row[s] != row) continue;
      const QPointF shift = view3D ? g.RowShift(row) + g.RowInset() : QPointF();
      for (const auto& piece : LinePieces(*series[s], g)) {
        if (view3D)
          AddRibbon(piece, shift, g.BoxDepth(), IsDense(*series[s], g), layout);
        else
          AddFlatLine(piece, IsDense(*series[s], g), layout);
        if (series[s]->marksVisible) AddLineMarks(*series[s], piece, shift, placer, layout);
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
    item.box = QRectF(-p.height() / 2 - 40, 0, p.height() + 80, h);
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
