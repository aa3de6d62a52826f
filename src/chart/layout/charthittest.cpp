#include "chart/layout/charthittest.h"

#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "chart/layout/serieslayouter.h"
#include "chart/layout/textfit.h"
#include "chart/layout/valuetext.h"
#include "chart/model/niceticks.h"

namespace chart {

namespace {

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }

ChartHit InModel(const PlotGeometry& geometry, int series, int point) {
  const auto drawn = static_cast<std::size_t>(series);
  return {drawn < geometry.drawnSeries.size() ? geometry.drawnSeries[drawn] : series, point};
}

// The slice that covers `degrees` (slices run clockwise from 90 down to -270).
const PieSlice* SliceAt(const PieGeometry& pie, double degrees) {
  while (degrees > 90) degrees -= 360;
  while (degrees <= -270) degrees += 360;
  for (const PieSlice& slice : pie.slices) {
    const double from = std::min(slice.startDegrees, slice.startDegrees + slice.sweepDegrees);
    const double to = std::max(slice.startDegrees, slice.startDegrees + slice.sweepDegrees);
    if (degrees >= from && degrees <= to) return &slice;
  }
  return nullptr;
}

// The angle of the rim point that `at` lies on or below: on the disc's top, or in 3D on the edge
// under the front half of the rim.
std::optional<double> PieAngle(const PieGeometry& pie, QPointF at) {
  if (pie.radiusX <= 0 || pie.radiusY <= 0) return std::nullopt;
  const double x = (at.x() - pie.center.x()) / pie.radiusX;
  const double y = (pie.center.y() - at.y()) / pie.radiusY;
  if (x * x + y * y <= 1) return Degrees(std::atan2(y, x));
  if (pie.thickness <= 0 || y > 0 || std::abs(x) > 1) return std::nullopt;
  const double rimY = pie.center.y() + pie.radiusY * std::sqrt(1 - x * x);
  if (at.y() < rimY || at.y() > rimY + pie.thickness) return std::nullopt;
  return -Degrees(std::acos(x));
}

std::optional<ChartHit> PieSliceUnder(const PlotGeometry& geometry, QPointF at) {
  for (const PieGeometry& pie : geometry.pies) {
    const std::optional<double> degrees = PieAngle(pie, at);
    if (!degrees) continue;
    if (const PieSlice* slice = SliceAt(pie, *degrees)) {
      return InModel(geometry, pie.series, slice->point);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<ChartHit> HitTest(const PlotGeometry& geometry, QPointF at) {
  const auto& layouters = SeriesLayouters();
  for (auto layouter = layouters.rbegin(); layouter != layouters.rend(); ++layouter) {
    if (auto hit = (*layouter)->Hit(geometry, at))
      return InModel(geometry, hit->series, hit->point);
  }
  return PieSliceUnder(geometry, at);
}

QString WholeTextAt(const Scene& scene, QPointF at) {
  const auto under = [at](const TextItem& item) {
    if (item.fullText.isEmpty()) return false;
    QTransform place;
    place.translate(item.origin.x(), item.origin.y());
    place.rotate(-item.angle);
    return place.map(QPolygonF(item.box)).containsPoint(at, Qt::OddEvenFill);
  };
  for (const TextItem& item : scene.texts) {
    if (under(item)) return item.fullText;
  }
  for (const LegendItem& item : scene.legend) {
    if (under(item.text)) return item.text.fullText;
  }
  return {};
}

HitDescription DescribeHit(const ChartModel& model, const ChartLayout& layout,
                           const ChartHit& hit) {
  const auto seriesIndex = static_cast<std::size_t>(hit.series);
  const auto pointIndex = static_cast<std::size_t>(hit.point);
  if (seriesIndex >= model.series.size()) return {};
  const SeriesModel& series = model.series[seriesIndex];
  if (pointIndex >= series.points.size()) return {};
  const auto drawn =
      std::find(layout.geometry.drawnSeries.begin(), layout.geometry.drawnSeries.end(), hit.series);
  const QString value =
      ValueText(layout.numbers, static_cast<int>(drawn - layout.geometry.drawnSeries.begin()),
                series.points[pointIndex].value);
  const QString label = CategoryLabel(model.labels, pointIndex).trimmed();
  return {SeriesName(series), label.isEmpty() ? value : label + ": " + value};
}

}  // namespace chart
