#include "chartseries.h"

#include "chart/chartdocument.h"
#include "chartoptions.h"
#include "chartstyle.h"
#include "colorname.h"
#include "fielderror.h"
#include "valuelist.h"

using chart::SeriesKind;

namespace {

constexpr int kOnePieLeftMargin = 5;

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
      .multiBar = static_cast<chart::TMultiBar>(mode & 0xFF),  // the control takes the low byte
  };
}

void ApplyBarPlan(const SeriesPlan& plan, chart::ChartSeries series) {
  if (plan.hideMarks) series.SetMarksVisible(false);
  series.SetMultiBar(plan.multiBar);
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

void CreateDataSetSeries(const ChartOptions& options, const SeriesPlan& plan,
                         chart::ChartDocument& chart) {
  for (int i = 0; plan.kind && i < plan.count; ++i) {
    const chart::ChartSeries series = chart.AddSeries(*plan.kind);
    if (*plan.kind == SeriesKind::Pie && plan.count == 1) chart.SetMargin(0, kOnePieLeftMargin);
    if (IsBarKind(*plan.kind)) ApplyBarPlan(plan, series);
  }
  ApplyDataSetColors(options, chart);
  ApplyDataSetTitles(options, chart);
}

void ApplyDataSetColors(const ChartOptions& options, chart::ChartDocument& chart) {
  for (int i = 0; i < options.dataSetCount && i < chart.SeriesCount(); ++i) {
    chart::ChartSeries series = chart.GetSeries(i);
    series.SetSeriesColor(
        ColorFromName(options.dataSetColors[std::size_t(i)], series.SeriesColor()));
  }
}

void ApplyDataSetTitles(const ChartOptions& options, chart::ChartDocument& chart) {
  for (int i = 0; i < options.dataSetCount && i < chart.SeriesCount(); ++i) {
    const std::string& title = options.dataSetTitles[std::size_t(i)];
    if (!title.empty()) chart.GetSeries(i).SetTitle(title);
  }
}
