#include "chart/layout/labelplacer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/layout/textfit.h"

namespace chart {

namespace {

constexpr double kLinePointHalf = 2.5;  // a line's point covers a few pixels around it
// A chart larger than this many pixels on a side is one of a broken size: its labels get no
// raster, and find no place.
constexpr int kMaxRasterSide = 16384;

QPolygonF Corners(const QRectF& rect) {
  return QPolygonF({rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()});
}

// Where the letters of an unframed text lie within its box, by its alignment.
QRectF LetterRect(const ChartLayout& layout, const TextItem& item) {
  if (item.framed) return item.box;
  const QFontMetricsF metrics(layout.scene.fonts[item.font]);
  const double width = metrics.horizontalAdvance(item.text), height = metrics.height();
  const QRectF& box = item.box;
  double left = box.left(), top = box.top();
  if (item.align & Qt::AlignRight) left = box.right() - width;
  if (item.align & Qt::AlignHCenter) left = box.center().x() - width / 2;
  if (item.align & Qt::AlignBottom) top = box.bottom() - height;
  if (item.align & Qt::AlignVCenter) top = box.center().y() - height / 2;
  return QRectF(left, top, width, height);
}

// White or near black, whichever stands out more on `color` (by the contrast ratio of their
// relative luminances, as the web's accessibility guidelines measure it).
QColor StandsOut(const QColor& color) {
  auto linear = [](double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  const double luminance = 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
                           0.0722 * linear(color.blueF());
  const QColor dark(20, 20, 20);
  const double darkLuminance = 0.0070;  // of (20, 20, 20)
  const double onWhite = 1.05 / (luminance + 0.05),
               onDark = (luminance + 0.05) / (darkLuminance + 0.05);
  return onWhite >= onDark ? QColor(Qt::white) : dark;
}

}  // namespace

QPolygonF TextCorners(const ChartLayout& layout, const TextItem& item) {
  QTransform turn;
  turn.translate(item.origin.x(), item.origin.y());
  turn.rotate(-item.angle);
  return turn.map(Corners(LetterRect(layout, item)));
}

OwnerRaster::OwnerRaster(const ChartLayout& layout, QRectF area) {
  area = area.intersected(QRectF(QPointF(0, 0), layout.scene.size));
  const QRect pixels(
      QPoint(static_cast<int>(std::floor(area.left())), static_cast<int>(std::floor(area.top()))),
      QPoint(static_cast<int>(std::ceil(area.right())),
             static_cast<int>(std::ceil(area.bottom()))));
  if (area.isEmpty() || pixels.width() > kMaxRasterSide || pixels.height() > kMaxRasterSide) return;
  origin_ = pixels.topLeft();
  image_ = QImage(pixels.size(), QImage::Format_RGB32);
  image_.fill(QColor::fromRgb(kNothing));
  QPainter painter(&image_);
  painter.translate(-origin_);
  painter.setPen(Qt::NoPen);
  for (const Face& face : layout.scene.faces) {
    painter.setBrush(QColor::fromRgb(IdOf({face.series, face.point})));
    painter.drawPolygon(face.polygon);
  }
  for (const Polyline& line : layout.scene.lines) {
    painter.setPen(QPen(QColor::fromRgb(IdOf({line.series, -1})), line.width + 1, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line.points);
  }
  painter.setPen(Qt::NoPen);
  for (const LinePointSpot& spot : layout.geometry.linePoints) {
    painter.setBrush(QColor::fromRgb(IdOf({spot.series, spot.point})));
    const QPointF half(kLinePointHalf, kLinePointHalf);
    painter.drawRect(QRectF(spot.at - half, spot.at + half));
  }
}

// Ids run from 1 up in 24 bits; more owners than that share the last one.
unsigned OwnerRaster::IdOf(Owner owner) {
  constexpr unsigned kLast = kCovered - 1;
  const long long key = (static_cast<long long>(owner.series) + 1) * (1LL << 32) + owner.point + 1;
  const auto [found, added] = ids_.try_emplace(key, static_cast<unsigned>(owners_.size() + 1));
  if (added) owners_.push_back(owner);
  return std::min(found->second, kLast);
}

bool OwnerRaster::Covers(QRectF area) const {
  const QRectF raster(origin_, image_.size());
  return !image_.isNull() && raster.contains(area);
}

// Visits the pixel centre and id of every pixel whose middle lies inside `rect`, until `visit`
// returns false.
template <class Visit>
void OwnerRaster::EveryPixel(const QRectF& rect, Visit visit) const {
  if (image_.isNull()) return;
  const int x0 = std::max(0, static_cast<int>(std::floor(rect.left() - 0.5)) + 1 - origin_.x());
  const int x1 = std::min(image_.width() - 1,
                          static_cast<int>(std::ceil(rect.right() - 0.5)) - 1 - origin_.x());
  const int y0 = std::max(0, static_cast<int>(std::floor(rect.top() - 0.5)) + 1 - origin_.y());
  const int y1 = std::min(image_.height() - 1,
                          static_cast<int>(std::ceil(rect.bottom() - 0.5)) - 1 - origin_.y());
  for (int y = y0; y <= y1; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    for (int x = x0; x <= x1; ++x) {
      const QPointF centre(x + origin_.x() + 0.5, y + origin_.y() + 0.5);
      if (!visit(centre, row[x] & 0xFFFFFFu)) return;
    }
  }
}

std::optional<Owner> OwnerRaster::OtherUnder(const QRectF& rect, Owner label) const {
  return OtherUnder(QPolygonF(rect), label);
}

std::optional<Owner> OwnerRaster::OtherUnder(const QPolygonF& corners, Owner label) const {
  std::optional<Owner> other;
  const bool upright = corners.size() == 5 && corners.isClosed();  // a QRectF's polygon
  EveryPixel(corners.boundingRect(), [&](QPointF centre, unsigned id) {
    if (id == kNothing || id == kCovered) return true;
    if (!upright && !corners.containsPoint(centre, Qt::OddEvenFill)) return true;
    const Owner& owner = owners_[std::min<std::size_t>(id, owners_.size()) - 1];
    const bool own =
        owner.series == label.series && (owner.point == label.point || owner.point < 0);
    if (!own) other = owner;
    return own;
  });
  return other;
}

void OwnerRaster::Cover(const QPolygonF& corners) {
  if (image_.isNull()) return;
  QPainter painter(&image_);
  painter.translate(-origin_);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgb(kCovered));
  painter.drawPolygon(corners);
}

std::set<std::pair<int, int>> OwnerRaster::Shown() const {
  std::set<unsigned> ids;
  for (int y = 0; y < image_.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    for (int x = 0; x < image_.width(); ++x) ids.insert(row[x] & 0xFFFFFFu);
  }
  std::set<std::pair<int, int>> shown;
  for (unsigned id : ids) {
    if (id == kNothing || id == kCovered) continue;
    const Owner& owner = owners_[std::min<std::size_t>(id, owners_.size()) - 1];
    shown.insert({owner.series, owner.point});
  }
  return shown;
}

bool Separated(const QPolygonF& a, const QPolygonF& b, double slack) {
  for (const QPolygonF* shape : {&a, &b}) {
    for (qsizetype i = 0; i < shape->size(); ++i) {
      const QPointF edge = (*shape)[(i + 1) % shape->size()] - (*shape)[i];
      const double length = std::hypot(edge.x(), edge.y());
      if (length == 0) continue;
      const QPointF normal(-edge.y() / length, edge.x() / length);
      auto project = [&](const QPolygonF& p) {
        double low = std::numeric_limits<double>::infinity(), high = -low;
        for (const QPointF& point : p) {
          const double at = QPointF::dotProduct(point, normal);
          low = std::min(low, at);
          high = std::max(high, at);
        }
        return std::pair(low, high);
      };
      const auto [aLow, aHigh] = project(a);
      const auto [bLow, bHigh] = project(b);
      if (aHigh <= bLow + slack || bHigh <= aLow + slack) return true;
    }
  }
  return false;
}

template <class Visit>
void TextIndex::ForCells(const QRectF& bounds, Visit visit) {
  const auto cellOf = [](double v) { return static_cast<long long>(std::floor(v / kCell)); };
  if (!std::isfinite(bounds.width()) || !std::isfinite(bounds.height())) return;
  for (long long x = cellOf(bounds.left()); x <= cellOf(bounds.right()); ++x) {
    for (long long y = cellOf(bounds.top()); y <= cellOf(bounds.bottom()); ++y)
      visit(x * 1000003 + y);
  }
}

bool TextIndex::Overlaps(const QPolygonF& corners) const {
  bool overlaps = false;
  ForCells(corners.boundingRect(), [&](long long cell) {
    const auto found = cells_.find(cell);
    if (overlaps || found == cells_.end()) return;
    for (std::size_t i : found->second) {
      if (!Separated(texts_[i], corners, 0)) overlaps = true;
    }
  });
  return overlaps;
}

void TextIndex::Add(const QPolygonF& corners) {
  texts_.push_back(corners);
  ForCells(corners.boundingRect(),
           [&](long long cell) { cells_[cell].push_back(texts_.size() - 1); });
}

LabelPlacer::LabelPlacer(ChartLayout& layout, QRectF bounds)
    : layout_(layout), bounds_(bounds), raster_(layout, bounds.adjusted(-1, -1, 1, 1)) {
  for (const TextItem& item : layout.scene.texts) texts_.Add(TextCorners(layout, item));
  if (!layout.scene.legend.empty()) texts_.Add(Corners(layout.scene.legendFrame));
}

bool LabelPlacer::Free(const TextItem& item) const {
  const QPolygonF corners = TextCorners(layout_, item);
  const QRectF rect = corners.boundingRect();
  constexpr double kSlack = 1e-6;
  if (!bounds_.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(rect)) return false;
  return raster_.Covers(rect) && !raster_.OtherUnder(rect, {item.series, item.point}) &&
         !texts_.Overlaps(corners);
}

void LabelPlacer::Want(int count) { layout_.omitted.dataLabels.wanted += count; }

bool LabelPlacer::Place(std::span<const TextItem> candidates) {
  for (const TextItem& candidate : candidates) {
    if (!Free(candidate)) continue;
    texts_.Add(TextCorners(layout_, candidate));
    layout_.scene.texts.push_back(candidate);
    ++layout_.omitted.dataLabels.shown;
    if (candidate.font == FontRole::SmallMark) ++layout_.omitted.dataLabels.small;
    return true;
  }
  return false;
}

TextItem DataLabel(const QString& text, Owner owner, FontRole font, const ChartLayout& layout,
                   bool framed, const QColor& on) {
  const QFont& letters = layout.scene.fonts[font];
  const double along = TextWidth(letters, text) + (framed ? 6 : 2);
  const double across = LineHeight(letters) + (framed ? 2 : 0);
  TextItem item = BoxedText(text, QRectF(0, 0, along, across), Qt::AlignCenter, font);
  item.framed = framed;
  item.role = TextRole::DataLabel;
  item.series = owner.series;
  item.point = owner.point;
  if (!framed) item.color = StandsOut(on);
  return item;
}

QSizeF Extent(const TextItem& label, bool upright) {
  const QSizeF box = label.box.size();
  return upright ? box.transposed() : box;
}

void PlaceAt(TextItem& label, const QRectF& rect, bool upright) {
  label.angle = upright ? 90 : 0;
  label.origin = upright ? rect.bottomLeft() : rect.topLeft();
}

}  // namespace chart
