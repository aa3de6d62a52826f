// Layout of pie charts. Several pie series share the area side by side, each under its title.
//
// Layout order, per pie:
//   1. its column of the area, less its title;
//   2. room for the marks around the disc, and in 3D the tilt and the edge height;
//   3. slices: absolute values, zero and non-finite ones skipped, from 12 o'clock clockwise,
//      the sweeps adding up to exactly 360 degrees;
//   4. faces: in 3D the edge of the front half first, then the slice tops;
//   5. marks outside with short connectors; a mark that would cover another is left out.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layoutsteps.h"
#include "niceticks.h"
#include "palette.h"

namespace {

constexpr double kConnector = 12;
constexpr double kColumnGap = 10;
// In 3D the disc is seen at a slant: its height shrinks by 2.4 % of its width per 3D percent,
// to half its width at most, and its edge is 1.2 % of its radius high per 3D percent.
constexpr double kTiltPerPercent = 2.4;
constexpr double kMinTilt = 0.5;
constexpr double kEdgePerPercent = 1.2;
// Marks take at most a quarter of the column on either side of the disc, and may be elided to
// no less than 30 % of it; the padding is the frame around the text and the gap to the tip.
constexpr double kMaxMarkShare = 0.25;
constexpr double kMinMarkTextShare = 0.3;
constexpr double kMarkPadding = 8;

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

double WidestMark(const SeriesModel& series, std::span<const std::string> labels,
                  const QFont& font) {
  double width = 0;
  // Enough to size the room; the rest are mostly left out.
  const std::size_t counted = std::min<std::size_t>(series.points.size(), 200);
  for (std::size_t i = 0; i < counted; ++i) {
    width = std::max(width, TextWidth(font, MarkLabel(series, labels, i)));
  }
  return width;
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

// Step 5.
void AddMarks(const SeriesModel& series, std::span<const std::string> labels,
              const PieGeometry& pie, double maxWidth, MarkPlacer& placer, ChartLayout& layout) {
  const QFont& font = layout.fonts[FontRole::Mark];
  const QFontMetricsF metrics(font);
  const double height = LineHeight(font) + 2;
  for (const PieSlice& slice : pie.slices) {
    const double mid = slice.startDegrees + slice.sweepDegrees / 2;
    const double c = std::cos(Radians(mid)), s = std::sin(Radians(mid));
    const double drop = s < 0 ? pie.thickness : 0;
    const QPointF rim = OnEllipse(pie, mid) + QPointF(0, drop);
    const QPointF tip(pie.center.x() + (pie.radiusX + kConnector) * c,
                      pie.center.y() - (pie.radiusY + kConnector) * s + drop);
    const QString text = metrics.elidedText(
        MarkLabel(series, labels, static_cast<std::size_t>(slice.point)), Qt::ElideRight, maxWidth);
    const double width = metrics.horizontalAdvance(text) + 6;
    // Pushed back inside the chart rather than cut at its edge.
    const double left = std::clamp(c >= 0 ? tip.x() + 2 : tip.x() - 2 - width, 1.0,
                                   std::max(1.0, layout.size.width() - width - 1));
    TextItem mark = BoxedText(text, QRectF(left, tip.y() - height / 2, width, height),
                              Qt::AlignCenter, FontRole::Mark);
    mark.framed = true;
    if (text.isEmpty() || !placer.TryPlace(PlacedRect(mark))) continue;
    layout.strokes.push_back({QLineF(rim, tip), QColor(110, 110, 110)});
    layout.texts.push_back(mark);
  }
}

}  // namespace

void LayoutPies(const ChartModel& model, const std::vector<const SeriesModel*>& pies, QRectF area,
                ChartLayout& layout) {
  if (pies.empty()) return;
  const int count = static_cast<int>(pies.size());
  const double columnWidth = (area.width() - kColumnGap * (count - 1)) / count;
  const double percent = Depth3DShare(model);
  const double tilt = std::max(kMinTilt, 1 - percent * kTiltPerPercent);
  const QFont& markFont = layout.fonts[FontRole::Mark];
  MarkPlacer placer(QRectF(QPointF(0, 0), layout.size));
  for (int i = 0; i < count; ++i) {
    const SeriesModel& series = *pies[static_cast<std::size_t>(i)];
    QRectF column(area.left() + i * (columnWidth + kColumnGap), area.top(), columnWidth,
                  area.height());
    const double titleHeight = count > 1 ? LineHeight(layout.fonts[FontRole::SeriesTitle]) : 0;
    column.setTop(column.top() + (count > 1 ? titleHeight + 4 : 0));  // step 1
    const bool marks = series.marksVisible;                           // step 2
    const double markWidth =
        marks ? std::min(WidestMark(series, model.labels, markFont) + kMarkPadding,
                         column.width() * kMaxMarkShare)
              : 0;
    const double markHeight = marks ? LineHeight(markFont) + 4 : 0;
    const double roomX = column.width() / 2 - markWidth - (marks ? kConnector : 0);
    const double roomY = (column.height() / 2 - markHeight - (marks ? kConnector : 0)) /
                         (tilt + percent * (kEdgePerPercent / 2));  // the disc and half its edge
    PieGeometry pie;
    pie.series = i;
    pie.radiusX = std::max(0.0, std::min(roomX, roomY));
    pie.radiusY = pie.radiusX * tilt;
    pie.thickness = pie.radiusX * percent * kEdgePerPercent;
    pie.center = column.center() - QPointF(0, pie.thickness / 2);
    if (pie.radiusX < 2) continue;
    if (count > 1) {
      // The title stands just above its disc and the marks over it, not at the column's top.
      const double above = pie.radiusY + (marks ? markHeight + kConnector : 0) + 4 + titleHeight;
      const double top = std::max(area.top(), pie.center.y() - above);
      layout.texts.push_back(BoxedText(SeriesName(series),
                                       QRectF(column.left(), top, column.width(), titleHeight),
                                       Qt::AlignCenter, FontRole::SeriesTitle));
    }
    pie.slices = Slices(series);                   // step 3
    if (pie.thickness > 0) AddEdges(pie, layout);  // step 4
    AddTops(pie, layout);
    if (marks)
      AddMarks(series, model.labels, pie,
               std::max(markWidth - kMarkPadding, column.width() * kMinMarkTextShare), placer,
               layout);  // step 5
    layout.pies.push_back(std::move(pie));
  }
}
