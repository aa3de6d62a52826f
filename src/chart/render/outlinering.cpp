#include "chart/render/outlinering.h"

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

// The rectangle whose corners these are, where they are four corners at whole pixels with sides
// along the axes; an empty rectangle otherwise.
QRect PixelRectangle(const QPolygonF& corners) {
  if (corners.size() != 4) return {};
  for (qsizetype i = 0; i < 4; ++i) {
    const QPointF a = corners[i], b = corners[(i + 1) % 4];
    if ((a.x() == b.x()) == (a.y() == b.y())) return {};
    if (a.x() != std::round(a.x()) || a.y() != std::round(a.y())) return {};
  }
  const QRectF bounds = corners.boundingRect();
  return QRect(int(bounds.left()), int(bounds.top()), int(bounds.width()), int(bounds.height()));
}

// Fills the rows and columns `inset` to `inset + count` from each side of `outer`. Where they
// cross, at the corners, the columns paint over the rows where `corners` asks it.
enum class CornerPixels { PaintedOnce, PaintedTwice };
void FillBands(QPainter& painter, const QRect& outer, int inset, int count, const QColor& color,
               CornerPixels corners) {
  const QRect inner = outer.adjusted(inset, inset, -inset, -inset);
  const int skip = corners == CornerPixels::PaintedOnce ? count : 0;
  const QRect sides = inner.adjusted(0, skip, 0, -skip);
  const QRect bands[] = {QRect(inner.left(), inner.top(), inner.width(), count),
                         QRect(inner.left(), inner.bottom() - count + 1, inner.width(), count),
                         QRect(sides.left(), sides.top(), count, sides.height()),
                         QRect(sides.right() - count + 1, sides.top(), count, sides.height())};
  painter.setBrush(color);
  // A translucent fill of more than about a hundred rows is handed by Qt to its thread pool in
  // pieces, and waited for: for a band one pixel wide that costs far more than the fill. So a
  // band goes in pieces small enough to be filled where they are drawn.
  constexpr int kRowsAtOnce = 64;
  for (const QRect& band : bands) {
    for (int top = band.top(); top <= band.bottom(); top += kRowsAtOnce)
      painter.drawRect(
          QRect(band.left(), top, band.width(), std::min(kRowsAtOnce, band.bottom() - top + 1)));
  }
}

// A ring inside a rectangle at whole pixels, painted as rectangles: the path rasterizer would
// walk every row of the rectangle for it. Each side takes the width's whole pixels in the colour,
// then one row or column whose alpha is the fraction of a pixel left. The corner pixel of two
// such rows takes both: 1 - (1 - f)^2, the part of it the ring covers.
bool FillPixelRing(QPainter& painter, const QPolygonF& corners, const QColor& color, double width) {
  const QRect outer = PixelRectangle(corners);
  const int whole = int(width);
  const double fraction = width - whole;
  const int reach = whole + (fraction > 0 ? 1 : 0);
  const int room = std::min(outer.width(), outer.height());
  // As the path's ring, none where nothing is left inside it; and none where the part-covered
  // pixels of two sides would meet.
  if (outer.isEmpty() || !(width > 0) || !(2 * width < room) || 2 * reach > room) return false;
  painter.setPen(Qt::NoPen);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (whole > 0) FillBands(painter, outer, 0, whole, color, CornerPixels::PaintedOnce);
  if (fraction > 0) {
    QColor partial = color;
    partial.setAlphaF(float(color.alphaF() * fraction));
    FillBands(painter, outer, whole, 1, partial, CornerPixels::PaintedTwice);
  }
  return true;
}

bool FillRing(QPainter& painter, const QPolygonF& corners, const QColor& color, double width) {
  const QPainterPath ring = OutlineRing(corners, width);
  if (ring.isEmpty()) return false;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(ring, color);
  return true;
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
  const bool image = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
  if (image) {
    for (QPointF& corner : corners)
      corner = QPointF(std::round(corner.x()), std::round(corner.y()));
  }
  painter.save();
  painter.resetTransform();
  const bool painted = (image && FillPixelRing(painter, Corners(corners), color, deviceWidth)) ||
                       FillRing(painter, corners, color, deviceWidth);
  painter.restore();
  return painted;
}

}  // namespace chart
