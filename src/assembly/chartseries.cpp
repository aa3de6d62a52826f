#include "chartseries.h"

#include "chartoptions.h"
#include "chartstyle.h"
#include "colorname.h"
#include "fielderror.h"
#include "tchart.h"
#include "valuelist.h"

namespace {

constexpr int kOnePieLeftMargin = 5;

template <class Series>
Series* AddSeries(SeriesTargets& targets) {
  auto* series = new Series(&targets.owner);
  targets.chart.AddSeries(series);
  return series;
}

void AddPieSeries(int count, SeriesTargets& targets) {
  for (int i = 0; i < count; ++i) {
    AddSeries<TPieSeries>(targets);
    if (count == 1) targets.chart.SetMargin(0, kOnePieLeftMargin);
  }
}

void AddLineSeries(int count, SeriesTargets& targets) {
  for (int i = 0; i < count; ++i) AddSeries<TLineSeries>(targets);
}

// The mode is the style's second item, read strictly, when the style has exactly two items.
int MultiBarMode(const ChartOptions& options, int items, const ValueList& list,
                 const std::string& table) {
  if (items != 2) return 0;
  return DecodeField(table, options.chartStyleRecord, "value item 2 (multi-bar mode)",
                     [&] { return StrToInt(list.Entry(2)); });
}

void AddBarSeries(const ChartOptions& options, SeriesTargets& targets) {
  const int items = SplitValueList(options.chartStyle, targets.valueList);
  const int mode = MultiBarMode(options, items, targets.valueList, targets.propertyTable);
  const bool vertical = targets.valueList.Entry(1) == "VERTBAR";
  for (int i = 0; i < options.dataSetCount; ++i) {
    TCustomBarSeries* series = vertical
                                   ? static_cast<TCustomBarSeries*>(AddSeries<TBarSeries>(targets))
                                   : AddSeries<THorizBarSeries>(targets);
    if (!options.dataLabels) series->SetMarksVisible(false);
    series->SetMultiBar(static_cast<TMultiBar>(mode & 0xFF));  // the control takes the low byte
  }
}

}  // namespace

void CreateDataSetSeries(const ChartOptions& options, SeriesTargets& targets) {
  switch (ChartStyleOf(options.chartStyle)) {
    case ChartStyleKind::Pie:
      AddPieSeries(options.dataSetCount, targets);
      break;
    case ChartStyleKind::Line:
      AddLineSeries(options.dataSetCount, targets);
      break;
    case ChartStyleKind::Bars:
      AddBarSeries(options, targets);
      break;
    case ChartStyleKind::Unknown:
      break;  // refused by the option check before this step
  }
  ApplyDataSetColors(options, targets.chart);
  ApplyDataSetTitles(options, targets.chart);
}

void ApplyDataSetColors(const ChartOptions& options, TChart& chart) {
  for (int i = 0; i < options.dataSetCount && i < chart.SeriesCount(); ++i) {
    TChartSeries& series = *chart.GetSeries(i);
    series.SetSeriesColor(
        ColorFromName(options.dataSetColors[std::size_t(i)], series.SeriesColor()));
  }
}

void ApplyDataSetTitles(const ChartOptions& options, TChart& chart) {
  for (int i = 0; i < options.dataSetCount && i < chart.SeriesCount(); ++i) {
    const std::string& title = options.dataSetTitles[std::size_t(i)];
    if (!title.empty()) chart.GetSeries(i)->SetTitle(title);
  }
}
