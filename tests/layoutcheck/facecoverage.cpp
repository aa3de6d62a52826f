#include "layoutcheck/facecoverage.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

constexpr double kColumn = 32;               // pixels
constexpr std::size_t kMostColumns = 10000;  // a face wider than this is one of a broken layout

long long ColumnOf(double x) { return static_cast<long long>(std::floor(x / kColumn)); }

std::vector<QPointF> SamplePoints(const QPolygonF& polygon) {
  QPointF center;
  for (const QPointF& corner : polygon) center += corner;
  center /= static_cast<double>(std::max<qsizetype>(polygon.size(), 1));
  std::vector<QPointF> points{center};
  auto inset = [&](QPointF from) {
    const QPointF toCenter = center - from;
    const double length = std::hypot(toCenter.x(), toCenter.y());
    if (length > 0) points.push_back(from + toCenter * std::min(0.5, 0.5 / length));
  };
  for (qsizetype i = 0; i < polygon.size(); ++i) {
    inset(polygon[i]);
    inset((polygon[i] + polygon[(i + 1) % polygon.size()]) / 2);
  }
  return points;
}

}  // namespace

FaceCoverage::FaceCoverage(const std::vector<Face>& faces, QSizeF size)
    : faces_(faces), chart_(QPointF(0, 0), size) {
  for (std::size_t j = 0; j < faces.size(); ++j) {
    const QRectF bounds = faces[j].polygon.boundingRect();
    if (!std::isfinite(bounds.left()) || !std::isfinite(bounds.right())) continue;
    const long long from = ColumnOf(bounds.left()), to = ColumnOf(bounds.right());
    for (long long c = from; c <= to && static_cast<std::size_t>(c - from) < kMostColumns; ++c)
      columns_[c].push_back(j);
  }
}

std::vector<QPointF> FaceCoverage::VisiblePoints(std::size_t face) const {
  std::vector<QPointF> visible;
  for (const QPointF& point : SamplePoints(faces_[face].polygon)) {
    if (chart_.contains(point) && !CoveredLater(face, point)) visible.push_back(point);
  }
  return visible;
}

bool FaceCoverage::CoveredLater(std::size_t face, QPointF point) const {
  const auto found = columns_.find(ColumnOf(point.x()));
  if (found == columns_.end()) return false;
  for (std::size_t j : found->second) {
    if (j <= face) continue;
    const QPolygonF& later = faces_[j].polygon;
    if (later.boundingRect().contains(point) && later.containsPoint(point, Qt::OddEvenFill))
      return true;
  }
  return false;
}

}  // namespace chart
