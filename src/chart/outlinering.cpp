#include "chart/outlinering.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>
#include <cstddef>

namespace chart {

namespace {

// A corner sharper than this (the cosine of the angle between its edges' normals above
// -kSharpest) is left to the caller: its inset corner lies far inside the face.
constexpr double kSharpest = 0.9;

double Cross(QPointF a, QPointF b) { return a.x() * b.y() - a.y() * b.x(); }
double Dot(QPointF a, QPointF b) { return a.x() * b.x() + a.y() * b.y(); }

// The corners without repeats and without the closing point.
QPolygonF Corners(const QPolygonF& polygon) {
  QPolygonF corners;
  for (const QPointF& point : polygon) {
    if (corners.isEmpty() || point != corners.back()) corners.push_back(point);
  }
  while (corners.size() > 1 && corners.front() == corners.back()) corners.pop_back();
  return corners;
}

// Twice the signed area: its sign tells on which side of each edge the inside lies.
double TwiceArea(const QPolygonF& corners) {
  double sum = 0;
  for (qsizetype i = 0; i < corners.size(); ++i)
    sum += Cross(corners[i], corners[(i + 1) % corners.size()]);
  return sum;
}

// The unit normal of the edge from `a` to `b` pointing to the inside (`side` the area's sign).
QPointF InwardNormal(QPointF a, QPointF b, double side) {
  const QPointF edge = b - a;
  const double length = std::hypot(edge.x(), edge.y());
  return QPointF(-edge.y(), edge.x()) * (side / length);
}

}  // namespace

QPolygonF InsetPolygon(const QPolygonF& polygon, double inset) {
  const QPolygonF corners = Corners(polygon);
  const qsizetype n = corners.size();
  const double area = n >= 3 ? TwiceArea(corners) : 0;
  if (!(std::abs(area) > 0) || !std::isfinite(area)) return {};
  const double side = area > 0 ? 1 : -1;
  QPolygonF normals;
  for (qsizetype i = 0; i < n; ++i)
    normals.push_back(InwardNormal(corners[i], corners[(i + 1) % n], side));
  QPolygonF inner;
  for (qsizetype i = 0; i < n; ++i) {
    // Where the edges before and after the corner meet once both moved in by `inset`.
    const QPointF before = normals[(i + n - 1) % n], after = normals[i];
    const double cosine = Dot(before, after);
    if (cosine < -kSharpest) return {};
    inner.push_back(corners[i] + (before + after) * (inset / (1 + cosine)));
  }
  for (qsizetype i = 0; i < n; ++i) {
    const QPointF edge = corners[(i + 1) % n] - corners[i];
    const QPointF innerEdge = inner[(i + 1) % n] - inner[i];
    if (!(Dot(edge, innerEdge) > 0)) return {};
  }
  return inner;
}

QPainterPath OutlineRing(const QPolygonF& polygon, double width) {
  const QPolygonF inner = InsetPolygon(polygon, width);
  if (inner.isEmpty()) return {};
  QPainterPath ring;
  ring.setFillRule(Qt::OddEvenFill);
  ring.addPolygon(polygon);
  ring.closeSubpath();
  ring.addPolygon(inner);
  ring.closeSubpath();
  return ring;
}

bool PaintOutlineRing(QPainter& painter, const QPolygonF& face, const QColor& color,
                      double deviceWidth) {
  QPolygonF corners = painter.transform().map(face);
  if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster) {
    for (QPointF& corner : corners)
      corner = QPointF(std::round(corner.x()), std::round(corner.y()));
  }
  const QPainterPath ring = OutlineRing(corners, deviceWidth);
  if (ring.isEmpty()) return false;
  painter.save();
  painter.resetTransform();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(ring, color);
  painter.restore();
  return true;
}

}  // namespace chart
