#include "chart/layout/valuetext.h"

#include "chart/layout/textfit.h"

namespace chart {

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

QString ValueText(const NumberWriting& numbers, int series, double value) {
  const auto index = static_cast<std::size_t>(series);
  const ValueStyle style =
      index < numbers.valueStyles.size() ? numbers.valueStyles[index] : ValueStyle{};
  return QString::fromStdString(FormatValue(value, style, numbers.locale));
}

QString SeriesName(const SeriesModel& series) {
  const QString title = DisplayText(series.title).trimmed();
  return title.isEmpty() ? QString("Series%1").arg(series.paletteIndex + 1) : title;
}

}  // namespace chart
