#include "startup/chartseries.h"

#include "chart/document/chartdocument.h"
#include "dbf/fielderror.h"
#include "properties/chartoptions.h"
#include "properties/chartstyle.h"
#include "properties/colorname.h"
#include "runtime/numbers.h"

using chart::SeriesKind;

namespace {

constexpr int kOnePieLeftMargin = 5;

// The style's second item, read strictly; the control takes the number's low byte.
chart::TMultiBar MultiBarNumber(const ChartOptions& options, const std::string& item,
                                const std::string& table) {
  const int number = DecodeField(table, options.chartStyleRecord, "value item 2 (multi-bar mode)",
                                 [&] { return StrToInt(item); });
  return static_cast<chart::TMultiBar>(number & 0xFF);
}

}  // namespace

SeriesPlan PlanDataSetSeries(const ChartOptions& options, const std::string& propertyTable) {
  const ChartStyle& style = options.chartStyle;
  SeriesPlan plan{.kind = style.kind, .count = options.dataSetCount};
  if (!style.kind || !chart::IsBar(*style.kind)) return plan;
  plan.hideMarks = !options.dataLabels;
  if (style.multiBarItem)
    plan.multiBar = MultiBarNumber(options, *style.multiBarItem, propertyTable);
  return plan;
}

void CreateDataSetSeries(const ChartOptions& options, const SeriesPlan& plan,
                         chart::ChartDocument& chart) {
  for (int i = 0; plan.kind && i < plan.count; ++i) {
    chart::ChartSeries series = chart.AddSeries(*plan.kind);
    if (*plan.kind == SeriesKind::Pie && plan.count == 1) chart.SetMargin(0, kOnePieLeftMargin);
    if (!chart::IsBar(*plan.kind)) continue;
    if (plan.hideMarks) series.SetMarksVisible(false);
    series.SetMultiBar(plan.multiBar);
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
