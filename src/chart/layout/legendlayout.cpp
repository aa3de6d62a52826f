// Layout of the legend: a frame of entries, a swatch and a text each, at the right of the chart
// (the entries down one or more columns) or below it (across, in rows). Of the shapes that hold
// every entry within a share of the chart, the one that leaves the chart the most room wins,
// less what it shortens texts: one that shortens none wins over one that does unless it costs a
// fifth of that room, and texts cut to a few letters count for little.
// A pie's slices may be more than any shape holds: then a last line counts those left out.

#include "chart/layout/legendlayout.h"

#include <cmath>
#include <optional>

#include "chart/layout/textfit.h"

namespace chart {

namespace {

constexpr double kPadding = 6;
constexpr double kSwatch = 10;
// Of the width beside the chart, or of the height below it: a small chart may give its legend
// half, rather than draw no chart for want of room for every entry.
constexpr double kShares[] = {0.35, 0.5};
constexpr int kMaxColumns = 4;
constexpr double kShortenedCost = 0.8;  // how much less a shape that shortens texts is worth

struct Shape {
  bool below = false;
  int columns = 1;
  int rows = 1;
  double textWidth = 0;
  QSizeF frame;
  double score = -1;
};

struct Measures {
  double share = kShares[0];
  int count = 0;
  double rowHeight = 0;
  double widest = 0;      // the widest text
  double leastText = 0;   // the least room a text may be shortened to
  double countWidth = 0;  // of the shortest line that counts the entries left out
};

double EntryWidth(double textWidth) { return kSwatch + 2 * kPadding + textWidth; }

Shape Finish(Shape shape, const Measures& m, QRectF area) {
  shape.frame = QSizeF(kPadding + shape.columns * EntryWidth(shape.textWidth),
                       shape.rows * m.rowHeight + 2 * kPadding);
  const double left = shape.below
                          ? area.width() * (area.height() - shape.frame.height() - kPadding)
                          : (area.width() - shape.frame.width() - 2 * kPadding) * area.height();
  const bool fits = shape.frame.width() <= area.width() && shape.frame.height() <= area.height() &&
                    shape.textWidth >= std::min(m.widest, m.leastText);
  // Room for the chart, less for texts shortened: much less for texts cut to a few letters.
  const double kept = m.widest > 0 ? std::min(1.0, shape.textWidth / m.widest) : 1;
  const double cost = kept < 1 ? kShortenedCost * std::sqrt(kept) : 1;
  shape.score = fits && left > 0 ? left * cost : -1;
  return shape;
}

Shape Beside(int columns, const Measures& m, QRectF area) {
  Shape shape;
  shape.columns = columns;
  shape.rows = (m.count + columns - 1) / columns;
  const double room = (area.width() * m.share - kPadding) / columns - EntryWidth(0);
  shape.textWidth = std::min(m.widest, room);
  return Finish(shape, m, area);
}

Shape Below(const Measures& m, QRectF area) {
  Shape shape;
  shape.below = true;
  const int maxRows = static_cast<int>((area.height() * m.share - 2 * kPadding) / m.rowHeight);
  if (maxRows < 1) return shape;
  const int needed = (m.count + maxRows - 1) / maxRows;
  const int atFullWidth = static_cast<int>((area.width() - kPadding) / EntryWidth(m.widest));
  shape.columns = std::clamp(std::max(needed, atFullWidth), 1, m.count);
  shape.rows = (m.count + shape.columns - 1) / shape.columns;
  shape.textWidth = std::min(m.widest, (area.width() - kPadding) / shape.columns - EntryWidth(0));
  return Finish(shape, m, area);
}

// A pie with more slices than any shape holds: columns at the right, full, the last line
// counting the rest.
// Its columns are wide enough for the count at least ("+60").
std::optional<Shape> Counting(Measures m, QRectF area) {
  const int rows = static_cast<int>((area.height() - 2 * kPadding) / m.rowHeight);
  if (rows < 1) return std::nullopt;
  m.widest = std::max(m.widest, m.countWidth);
  for (int columns = kMaxColumns; columns >= 1; --columns) {
    Shape shape = Beside(columns, m, area);
    shape.rows = rows;
    shape = Finish(shape, m, area);
    if (shape.score > 0 && shape.textWidth >= m.countWidth) return shape;
  }
  return std::nullopt;
}

std::optional<Shape> ChooseShape(Measures m, bool mayCount, QRectF area) {
  for (double share : kShares) {
    m.share = share;
    Shape best = Below(m, area);
    for (int columns = 1; columns <= kMaxColumns; ++columns) {
      const Shape beside = Beside(columns, m, area);
      if (beside.score > best.score) best = beside;
    }
    if (best.score > 0) return best;
  }
  return mayCount ? Counting(m, area) : std::nullopt;
}

QRectF FrameRect(const Shape& shape, QRectF area) {
  const QSizeF& size = shape.frame;
  if (shape.below) {
    return QRectF(area.center().x() - size.width() / 2, area.bottom() - size.height(), size.width(),
                  size.height());
  }
  return QRectF(area.right() - size.width(), area.center().y() - size.height() / 2, size.width(),
                size.height());
}

}  // namespace

std::optional<QRectF> LayoutLegend(const std::vector<LegendEntry>& entries, std::size_t total,
                                   QRectF area, Scene& scene, Omissions& omitted) {
  if (entries.empty()) return area;
  const bool mayCount = total > 0;
  const QFont& font = scene.fonts[FontRole::Legend];
  Measures m;
  m.count = static_cast<int>(std::max(entries.size(), total));
  m.rowHeight = std::max(LineHeight(font), kSwatch) + 3;
  for (const LegendEntry& entry : entries)
    m.widest = std::max(m.widest, TextWidth(font, entry.text));
  m.leastText = TextWidth(font, "W\u2026");  // a letter and "…": the swatch says the rest
  m.countWidth = TextWidth(font, QString("+%1").arg(m.count));
  const std::optional<Shape> chosen = ChooseShape(m, mayCount, area);
  if (!chosen) return std::nullopt;
  const Shape& shape = *chosen;
  scene.legendFrame = FrameRect(shape, area);
  const int places = shape.rows * shape.columns;
  const int shown = m.count <= places ? m.count : places - 1;
  if (shown > static_cast<int>(entries.size())) return std::nullopt;  // a caller's mistake
  omitted.legendEntriesLeftOut = m.count - shown;
  QStringList names;
  for (int i = 0; i < shown; ++i) names.push_back(entries[static_cast<std::size_t>(i)].text);
  const std::vector<double> widths(static_cast<std::size_t>(shown), shape.textWidth);
  const QStringList shortenedNames = DistinctlyShortened(font, names, widths, Qt::ElideMiddle);
  for (int i = 0; i < std::min(m.count, places); ++i) {
    const int row = shape.below ? i / shape.columns : i % shape.rows;
    const int column = shape.below ? i % shape.columns : i / shape.rows;
    const QPointF corner =
        scene.legendFrame.topLeft() +
        QPointF(kPadding + column * EntryWidth(shape.textWidth), kPadding + row * m.rowHeight);
    const bool counting = i == shown;
    const QString whole = counting ? QString("\u2026 %1 more").arg(m.count - shown)
                                   : entries[static_cast<std::size_t>(i)].text;
    const QRectF swatch(corner.x(), corner.y() + (m.rowHeight - kSwatch) / 2, kSwatch, kSwatch);
    const QRectF textRect(swatch.right() + kPadding, corner.y(), shape.textWidth, m.rowHeight);
    QString shortened =
        counting ? Shortened(font, whole, shape.textWidth, Qt::ElideMiddle) : shortenedNames[i];
    if (counting && shortened != whole) {  // in a narrow column the count alone
      shortened = Shortened(font, QString("+%1").arg(m.count - shown), shape.textWidth);
    }
    TextItem text =
        BoxedText(shortened, textRect, Qt::AlignLeft | Qt::AlignVCenter, FontRole::Legend);
    text.role = TextRole::Legend;
    if (text.text != whole) text.fullText = whole;
    if (counting) {
      scene.legend.push_back({swatch, QColor(Qt::transparent), text, -1});
    } else {
      const LegendEntry& entry = entries[static_cast<std::size_t>(i)];
      scene.legend.push_back({swatch, entry.color, text, entry.entry, entry.sample});
    }
  }
  if (shape.below) {
    return QRectF(area.left(), area.top(), area.width(),
                  area.height() - shape.frame.height() - kPadding);
  }
  return QRectF(area.left(), area.top(), area.width() - shape.frame.width() - 2 * kPadding,
                area.height());
}

}  // namespace chart
