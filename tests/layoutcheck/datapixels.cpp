#include "layoutcheck/datapixels.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {

namespace {

// A line's point takes 5 pixels square around it; a line its width and half a pixel each side.
constexpr double kPointSide = 5;
constexpr double kLineMargin = 1;
// No chart of a sound size has more pixels on a side; a larger one is not read.
constexpr int kLargestSide = 16384;
constexpr QRgb kCovered = 0xFFFFFF;

QRgb ColourOf(std::size_t mark) {
  return static_cast<QRgb>(std::min<std::size_t>(mark + 1, kCovered - 1));
}

// Whether `point` lies inside the convex `shape`, not on an edge: a text whose edge runs through
// a pixel's middle leaves that pixel to what lies beside it.
bool StrictlyInside(const QPolygonF& shape, QPointF point) {
  int turn = 0;
  for (qsizetype i = 0; i < shape.size(); ++i) {
    const QPointF a = shape.at(i), b = shape.at((i + 1) % shape.size());
    if (a == b) continue;
    const double cross =
        (b.x() - a.x()) * (point.y() - a.y()) - (b.y() - a.y()) * (point.x() - a.x());
    if (cross == 0) return false;
    const int side = cross > 0 ? 1 : -1;
    if (turn != 0 && side != turn) return false;
    turn = side;
  }
  return turn != 0;
}

}  // namespace

DataPixels::DataPixels(const ChartLayout& layout, QRectF area) {
  area &= QRectF(QPointF(0, 0), layout.scene.size);
  const QRect pixels = area.toAlignedRect();
  if (pixels.isEmpty() || pixels.width() > kLargestSide || pixels.height() > kLargestSide) return;
  offset_ = pixels.topLeft();
  image_ = QImage(pixels.size(), QImage::Format_RGB32);
  image_.fill(0);
  Paint(layout);
}

void DataPixels::Paint(const ChartLayout& layout) {
  QPainter painter(&image_);
  painter.translate(-offset_);
  painter.setPen(Qt::NoPen);
  for (const Face& face : layout.scene.faces) {
    painter.setBrush(QColor(ColourOf(marks_.size())));
    marks_.push_back({face.series, face.point});
    painter.drawPolygon(face.polygon);
  }
  painter.setBrush(Qt::NoBrush);
  for (const Polyline& line : layout.scene.lines) {
    painter.setPen(QPen(QColor(ColourOf(marks_.size())), line.width + kLineMargin, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    marks_.push_back({line.series, -1});
    painter.drawPolyline(line.points);
  }
  painter.setPen(Qt::NoPen);
  for (const LinePointSpot& spot : layout.geometry.linePoints) {
    painter.setBrush(QColor(ColourOf(marks_.size())));
    marks_.push_back({spot.series, spot.point});
    painter.drawRect(
        QRectF(spot.at.x() - kPointSide / 2, spot.at.y() - kPointSide / 2, kPointSide, kPointSide));
  }
}

DataOwner DataPixels::OwnerAt(int x, int y) const {
  const QRgb colour = image_.pixel(x, y) & 0xFFFFFF;
  if (colour == 0 || colour == kCovered) return {};
  return marks_[std::min<std::size_t>(colour, marks_.size()) - 1];
}

std::optional<DataOwner> DataPixels::OtherUnder(const QPolygonF& corners, DataOwner text) const {
  if (image_.isNull()) return std::nullopt;
  const QRect within = corners.boundingRect().translated(-offset_).toAlignedRect() & image_.rect();
  for (int y = within.top(); y <= within.bottom(); ++y) {
    for (int x = within.left(); x <= within.right(); ++x) {
      const QPointF middle = QPointF(x + 0.5, y + 0.5) + offset_;
      if (!StrictlyInside(corners, middle)) continue;
      const DataOwner owner = OwnerAt(x, y);
      if (owner.series < 0) continue;
      const bool own =
          owner.series == text.series && (owner.point == text.point || owner.point < 0);
      if (!own) return owner;
    }
  }
  return std::nullopt;
}

void DataPixels::Cover(const QPolygonF& corners) {
  if (image_.isNull()) return;
  QPainter painter(&image_);
  painter.translate(-offset_);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(kCovered));
  painter.drawPolygon(corners);
}

std::set<std::pair<int, int>> DataPixels::Shown() const {
  std::set<std::pair<int, int>> shown;
  for (int y = 0; y < image_.height(); ++y) {
    for (int x = 0; x < image_.width(); ++x) {
      const DataOwner owner = OwnerAt(x, y);
      if (owner.series >= 0) shown.insert({owner.series, owner.point});
    }
  }
  return shown;
}

// An unframed text's letters stand in its box by its alignment, as wide as they advance and a
// line high.
QPolygonF LetterCorners(const ChartLayout& layout, const TextItem& item) {
  QRectF letters = item.box;
  if (!item.framed) {
    const QFontMetricsF metrics(layout.scene.fonts[item.font]);
    letters.setSize(QSizeF(metrics.horizontalAdvance(item.text), metrics.height()));
    const QRectF& box = item.box;
    if (item.align & Qt::AlignRight) letters.moveRight(box.right());
    if (item.align & Qt::AlignHCenter) letters.moveLeft(box.center().x() - letters.width() / 2);
    if (item.align & Qt::AlignBottom) letters.moveBottom(box.bottom());
    if (item.align & Qt::AlignVCenter) letters.moveTop(box.center().y() - letters.height() / 2);
  }
  QTransform place;
  place.translate(item.origin.x(), item.origin.y());
  place.rotate(-item.angle);
  return place.map(QPolygonF(
      {letters.topLeft(), letters.topRight(), letters.bottomRight(), letters.bottomLeft()}));
}

bool ShapesApart(const QPolygonF& a, const QPolygonF& b, double slack) {
  const auto span = [](const QPolygonF& shape, QPointF axis) {
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const QPointF& corner : shape) {
      const double along = QPointF::dotProduct(corner, axis);
      low = std::min(low, along);
      high = std::max(high, along);
    }
    return std::pair(low, high);
  };
  for (const QPolygonF* shape : {&a, &b}) {
    for (qsizetype i = 0; i < shape->size(); ++i) {
      const QPointF edge = shape->at((i + 1) % shape->size()) - shape->at(i);
      const double length = std::hypot(edge.x(), edge.y());
      if (length == 0) continue;
      const QPointF axis(-edge.y() / length, edge.x() / length);
      const auto [aLow, aHigh] = span(a, axis);
      const auto [bLow, bHigh] = span(b, axis);
      if (aHigh <= bLow + slack || bHigh <= aLow + slack) return true;
    }
  }
  return false;
}

}  // namespace chart
