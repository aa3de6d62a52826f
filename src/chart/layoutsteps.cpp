// Helpers shared by the layout steps: texts, shades, and the placing of marks.

#include "chart/layoutsteps.h"

#include <algorithm>
#include <cmath>

#include "runtime.h"

namespace chart {

QString DisplayText(const std::string& text) { return ToDisplayText(text); }

QString CategoryLabel(std::span<const std::string> labels, std::size_t index) {
  return index < labels.size() ? DisplayText(labels[index]) : QString();
}

double TextWidth(const QFont& font, const QString& text) {
  return QFontMetricsF(font).horizontalAdvance(text);
}

double LineHeight(const QFont& font) { return QFontMetricsF(font).height(); }

TextItem BoxedText(const QString& text, const QRectF& rect, int align, FontRole font) {
  TextItem item;
  item.text = text;
  item.origin = rect.topLeft();
  item.box = QRectF(QPointF(0, 0), rect.size());
  item.align = align;
  item.font = font;
  return item;
}

TextItem MarkText(const QString& text, QPointF center, const QFont& font) {
  const double width = TextWidth(font, text) + 6, height = LineHeight(font) + 2;
  TextItem item =
      BoxedText(text, QRectF(center.x() - width / 2, center.y() - height / 2, width, height),
                Qt::AlignCenter, FontRole::Mark);
  item.framed = true;
  return item;
}

QRectF PlacedRect(const TextItem& item) { return item.box.translated(item.origin); }

QString SeriesName(const SeriesModel& series) {
  const QString title = DisplayText(series.title).trimmed();
  return title.isEmpty() ? QString("Series%1").arg(series.paletteIndex + 1) : title;
}

double Depth3DShare(const ChartModel& model) {
  return model.view3D ? std::clamp(model.percent3D, 0, 100) / 100.0 : 0;
}

QColor TopShade(const QColor& color) { return color.lighter(125); }
QColor SideShade(const QColor& color) { return color.darker(135); }
QColor EdgeShade(const QColor& color) { return color.darker(120); }

bool MarkPlacer::TryPlace(const QRectF& rect) {
  if (!bounds_.contains(rect)) return false;
  const auto cellOf = [](double v) { return static_cast<long long>(std::floor(v / kCell)); };
  const long long x0 = cellOf(rect.left()), x1 = cellOf(rect.right());
  const long long y0 = cellOf(rect.top()), y1 = cellOf(rect.bottom());
  for (long long x = x0; x <= x1; ++x) {
    for (long long y = y0; y <= y1; ++y) {
      const auto found = cells_.find(x * 1000003 + y);
      if (found == cells_.end()) continue;
      for (int index : found->second) {
        if (placed_[static_cast<std::size_t>(index)].intersects(rect)) return false;
      }
    }
  }
  Add(rect);
  return true;
}

void MarkPlacer::Add(const QRectF& rect) {
  const auto cellOf = [](double v) { return static_cast<long long>(std::floor(v / kCell)); };
  const long long x0 = cellOf(rect.left()), x1 = cellOf(rect.right());
  const long long y0 = cellOf(rect.top()), y1 = cellOf(rect.bottom());
  placed_.push_back(rect);
  for (long long x = x0; x <= x1; ++x) {
    for (long long y = y0; y <= y1; ++y) {
      cells_[x * 1000003 + y].push_back(static_cast<int>(placed_.size() - 1));
    }
  }
}

}  // namespace chart
