#include "chartoptions.h"
#include "report.h"
#include "sections.h"

using namespace chart;

namespace {

const char* KindText(SeriesKind kind) {
  switch (kind) {
    case SeriesKind::Pie:
      return "pie";
    case SeriesKind::Line:
      return "line";
    case SeriesKind::Bar:
      return "vertical bar";
    case SeriesKind::HorizBar:
      break;
  }
  return "horizontal bar";
}

std::string MultiBarText(TMultiBar number) {
  const std::string mode = "multi-bar mode " + std::to_string(number);
  switch (MultiBarFromNumber(number)) {
    case MultiBar::SideBySide:
      return mode + ": side by side";
    case MultiBar::Stacked:
      return mode + ": stacked";
    case MultiBar::Stacked100:
      return mode + ": stacked to 100 %";
    case MultiBar::None:
      break;
  }
  return mode + (number == 0 ? "" : " (acts as 0)") +
         ": in 3D one depth row per series, flat they overlap";
}

std::string MarksText(const SeriesPlan& plan) {
  const bool shown = !plan.hideMarks && MarksVisibleByDefault(*plan.kind);
  return shown ? "value marks shown" : "value marks hidden";
}

std::string SeriesLine(const SeriesPlan& plan, const ChartOptions& options, int i) {
  const std::string& title = options.dataSetTitles[std::size_t(i)];
  const char* ownColor = *plan.kind == SeriesKind::Pie ? "each slice its own" : "the chart's own";
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
  out << "  " << plan.count << " " << KindText(*plan.kind) << " series, " << MarksText(plan);
  if (plan.kind == SeriesKind::Bar || plan.kind == SeriesKind::HorizBar) {
    out << ", " << MultiBarText(plan.multiBar);
  }
  out << "\n";
  for (int i = 0; i < plan.count; ++i) out << SeriesLine(plan, options, i) << "\n";
}
