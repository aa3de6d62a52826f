// Helpers shared by the layout steps: texts, shades, and the placing of marks.

#include "chart/layoutsteps.h"

#include <algorithm>
#include <cmath>

#include "runtime/text.h"

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

std::vector<ValueStyle> DataSetStyles(const std::vector<const SeriesModel*>& series,
                                      const AxisNumbers& axis) {
  std::vector<ValueStyle> styles;
  std::vector<double> values;
  for (const SeriesModel* one : series) {
    values.clear();
    for (const ChartPoint& point : one->points) values.push_back(point.value);
    styles.push_back(ValueStyleOf(values, axis.exponent, axis.decimals));
  }
  return styles;
}

QString ValueText(const ChartLayout& layout, int series, double value) {
  const auto index = static_cast<std::size_t>(series);
  const ValueStyle style =
      index < layout.valueStyles.size() ? layout.valueStyles[index] : ValueStyle{};
  return QString::fromStdString(FormatValue(value, style, layout.numbers));
}

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

}  // namespace chart
