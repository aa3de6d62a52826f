// Layout of the bars of a chart with axes, within the order that axeslayout.cpp sets out:
//   2. the span of every bar: from zero, or in stacked modes on top of the bars before it
//      (positive and negative sums apart), in percent of the category's total when stacked to
//      100 percent;
//   3. the room that the marks need past the ends of the bars;
//   5. boxes in their depth rows, sorted from the back to the front, and their faces;
//   6. marks: past the end of single bars (just inside it where the room for marks ends), on
//      the front of stacked ones; none for hidden boxes.

#include <algorithm>
#include <cmath>

#include "axesgeometry.h"
#include "palette.h"

namespace {

constexpr double kMarkGap = 2;  // between a bar's end and its mark

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

// Where the mark of a box goes: on the front of stacked bars; past the end of single bars, or
// where there is no room for it there, just inside the end.
QPointF MarkCenter(const Box& box, bool horizontal, bool stacked, bool negative, bool inside,
                   QSizeF mark) {
  const QRectF& f = box.front;
  if (stacked) return f.center();
  const double d = inside ? 0 : box.depth / 2;  // outside, level with the middle of the top
  const double back = inside ? -1 : 1;          // past the end, or back inside it
  if (horizontal) {
    const double outwards = negative ? -1 : 1;
    const double end = negative ? f.left() : f.right() + (inside ? 0 : box.depth);
    return QPointF(end + outwards * back * (mark.width() / 2 + kMarkGap), f.center().y() - d);
  }
  const double outwards = negative ? 1 : -1;
  const double end = negative ? f.bottom() : f.top() - (inside ? 0 : box.depth);
  return QPointF(f.center().x() + d, end + outwards * back * (mark.height() / 2 + kMarkGap));
}

// How near a box is to the viewer, 0 nearest: its depth row, and in mode 0 its series (later
// series are drawn over earlier ones).
int Nearness(const Box& box, const Plan& plan) {
  const int overlap =
      plan.multiBar == MultiBar::None ? plan.barCount - plan.barSlot[box.series] : 0;
  return box.row * (plan.barCount + 1) + overlap;
}

}  // namespace

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
      // Shares that add up to 100.00000000000001 would take the axis on to the next tick.
      if (plan.multiBar == MultiBar::Stacked100) {
        span.low = std::max(span.low, -100.0);
        span.high = std::min(span.high, 100.0);
      }
    }
  }
  return spans;
}

// Room that value marks need past the ends of the bars: the widest mark is guessed from the
// widest value, as marks show values.
QSizeF BarMarkRoom(const std::vector<const SeriesModel*>& series, std::pair<double, double> range,
                   const QFont& font) {
  bool any = false;
  for (const SeriesModel* one : series) any = any || (IsBar(*one) && one->marksVisible);
  if (!any) return {};
  const double widest =
      std::max(TextWidth(font, QString::fromStdString(FormatValue(range.first))),
               TextWidth(font, QString::fromStdString(FormatValue(range.second))));
  return QSizeF(widest + 10, LineHeight(font) + 6);
}

std::vector<Box> BarBoxes(const std::vector<const SeriesModel*>& series, const Spans& spans,
                          const Geometry& g) {
  std::vector<Box> boxes = MakeBoxes(series, spans, g);
  SortBackToFront(boxes, g.plan.horizontal);
  return boxes;
}

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
    const QSizeF size = mark.box.size();
    const double across = g.plan.horizontal ? box.front.width() : box.front.height();
    if (stacked && across < (g.plan.horizontal ? size.width() : size.height())) continue;
    for (bool inside : {false, true}) {
      const QPointF center = MarkCenter(box, g.plan.horizontal, stacked, value < 0, inside, size);
      mark.origin = g.AlongCategoriesIntoMarkRoom(
                         QRectF(center - QPointF(size.width() / 2, size.height() / 2), size))
                        .topLeft();
      if (placer.TryPlace(PlacedRect(mark))) {
        layout.texts.push_back(mark);
        break;
      }
      if (stacked) break;
    }
  }
}
