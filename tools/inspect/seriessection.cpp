#include "inspect/report.h"
#include "inspect/sections.h"
#include "properties/chartoptions.h"

using namespace chart;

namespace {

std::string MultiBarText(TMultiBar number) {
  const std::string mode = "multi-bar mode " + std::to_string(number);
  switch (BarGroupingFromNumber(number)) {
    case BarGrouping::SideBySide:
      return mode + ": side by side";
    case BarGrouping::Stacked:
      return mode + ": stacked";
    case BarGrouping::Stacked100:
      return mode + ": stacked to 100 %";
    case BarGrouping::None:
      break;
  }
  return mode + (number == 0 ? "" : " (acts as 0)") +
         ": in 3D one depth row per series, flat they overlap";
}

std::string MarksText(const SeriesPlan& plan) {
  const bool shown = !plan.hideMarks && Traits(*plan.kind).dataLabelsByDefault;
  return shown ? "value marks shown" : "value marks hidden";
}

std::string SeriesLine(const SeriesPlan& plan, const ChartOptions& options, int i) {
  const std::string& title = options.dataSetTitles[std::size_t(i)];
  const char* ownColor =
      Traits(*plan.kind).colorPerPoint ? "each slice its own" : "the chart's own";
  return "  series " + std::to_string(i + 1) + ": " +
         (title.empty() ? "no title" : "title " + Quoted(title)) +
         ", colour: " + ColorNameText(options.dataSetColors[std::size_t(i)], ownColor);
}

}  // namespace

void ReportSeries(const SeriesPlan& plan, const ChartOptions& options, std::ostream& out) {
  if (!plan.kind) {
    out << "  none: the style names no kind of chart\n";
    return;
  }
  out << "  " << plan.count << " " << Traits(*plan.kind).name << " series, " << MarksText(plan);
  if (IsBar(*plan.kind)) {
    out << ", " << MultiBarText(plan.multiBar);
  }
  out << "\n";
  for (int i = 0; i < plan.count; ++i) out << SeriesLine(plan, options, i) << "\n";
}
