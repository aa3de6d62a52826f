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
TChartSeries* AddSeries(SeriesTargets& targets) {
  auto* series = new Series(&targets.owner);
  targets.chart.AddSeries(series);
  return series;
}

TChartSeries* AddSeriesOfKind(SeriesKind kind, SeriesTargets& targets) {
  switch (kind) {
    case SeriesKind::Pie:
      return AddSeries<TPieSeries>(targets);
    case SeriesKind::Line:
      return AddSeries<TLineSeries>(targets);
    case SeriesKind::Bar:
      return AddSeries<TBarSeries>(targets);
    case SeriesKind::HorizBar:
      return AddSeries<THorizBarSeries>(targets);
  }
  return nullptr;
}

// The mode is the style's second item, read strictly, when the style has exactly two items.
int MultiBarMode(const ChartOptions& options, int items, const ValueList& list,
                 const std::string& table) {
  if (items != 2) return 0;
  return DecodeField(table, options.chartStyleRecord, "value item 2 (multi-bar mode)",
                     [&] { return StrToInt(list.Entry(2)); });
}

SeriesPlan PlanBarSeries(const ChartOptions& options, ValueList& list, const std::string& table) {
  const int items = SplitValueList(options.chartStyle, list);
  const int mode = MultiBarMode(options, items, list, table);
  return SeriesPlan{
      .kind = list.Entry(1) == "VERTBAR" ? SeriesKind::Bar : SeriesKind::HorizBar,
      .count = options.dataSetCount,
      .hideMarks = !options.dataLabels,
      .multiBar = static_cast<TMultiBar>(mode & 0xFF),  // the control takes the low byte
  };
}

void ApplyBarPlan(const SeriesPlan& plan, TChartSeries& series) {
  auto& bars = static_cast<TCustomBarSeries&>(series);
  if (plan.hideMarks) bars.SetMarksVisible(false);
  bars.SetMultiBar(plan.multiBar);
}

bool IsBarKind(SeriesKind kind) { return kind == SeriesKind::Bar || kind == SeriesKind::HorizBar; }

}  // namespace

SeriesPlan PlanDataSetSeries(const ChartOptions& options, ValueList& valueList,
                             const std::string& propertyTable) {
  switch (ChartStyleOf(options.chartStyle)) {
    case ChartStyleKind::Pie:
      return SeriesPlan{.kind = SeriesKind::Pie, .count = options.dataSetCount};
    case ChartStyleKind::Line:
      return SeriesPlan{.kind = SeriesKind::Line, .count = options.dataSetCount};
    case ChartStyleKind::Bars:
      return PlanBarSeries(options, valueList, propertyTable);
    case ChartStyleKind::Unknown:
      break;  // refused by the option check before this step
  }
  return SeriesPlan{};
}

void CreateDataSetSeries(const ChartOptions& options, SeriesTargets& targets) {
  const SeriesPlan plan = PlanDataSetSeries(options, targets.valueList, targets.propertyTable);
  for (int i = 0; plan.kind && i < plan.count; ++i) {
    TChartSeries* series = AddSeriesOfKind(*plan.kind, targets);
    if (*plan.kind == SeriesKind::Pie && plan.count == 1) {
      targets.chart.SetMargin(0, kOnePieLeftMargin);
    }
    if (IsBarKind(*plan.kind)) ApplyBarPlan(plan, *series);
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
