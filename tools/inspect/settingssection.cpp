#include "chart/export/imageformats.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "properties/chartstyle.h"
#include "startup/startupoutputs.h"

namespace {

void Row(const char* name, const std::string& value, std::ostream& out) {
  out << "  " << name << std::string(20 - std::string_view(name).size(), ' ') << value << "\n";
}

std::string OnOff(bool on, const char* yes, const char* no) { return on ? yes : no; }

std::string WindowText(const PassSnapshot& state) {
  const WindowModel& window = state.window;
  if (state.skipRun || !window.windowVisible) {
    return "none (NOSHOW): the run ends by itself after its outputs";
  }
  std::string text = "shown, the chart " + OnOff(state.chart.view3D, "in 3D", "flat");
  if (window.checkBoxVisible) {
    text += ", the \"3D\" box " + OnOff(window.checkBoxChecked, "checked", "unchecked");
  }
  if (window.printButtonVisible) text += ", the \"Print Graph\" button";
  return text;
}

std::string TitleText(const chart::ChartTitle& title) {
  std::string text;
  for (const std::string& line : title.lines) text += (text.empty() ? "" : " / ") + Quoted(line);
  const std::size_t lines = title.lines.size();
  return text + " (" + std::to_string(lines) + (lines == 1 ? " line)" : " lines)");
}

std::string ImageText(const ChartOptions& options) {
  if (!options.saveBitmap) return "none";
  const std::string size = std::to_string(options.bitmapHeight) + " high and " +
                           std::to_string(options.bitmapWidth) + " wide";
  if (!WritesImageFile(options))
    return "none: " + size + " (a height or width of 0 writes no file)";
  return Quoted(options.bitmapFile) + ", " +
         std::string(chart::ImageFormatOfFile(options.bitmapFile).name) + ", " + size;
}

// DATALABELS speaks of bars only: a pie always labels its slices and a line never its points.
std::string DataLabelsText(const ChartOptions& options) {
  const std::optional<chart::SeriesKind> kind = options.chartStyle.kind;
  if (kind && chart::IsPie(*kind)) return "on the slices (a pie always shows them)";
  if (kind && !chart::IsBar(*kind)) return "none (a line shows none)";
  return OnOff(options.dataLabels, "on bars", "off");
}

void ReportPrintSettings(const PrintSettings& print, std::ostream& out) {
  out << "\nPrint settings (the \"Print Graph\" button and PRINT)\n";
  Row("margins", MarginsText(print) + " of the page", out);
  Row("print dialog", OnOff(print.showPrintDialog, "before printing", "none"), out);
  Row("page texts", std::to_string(print.pageTextCount), out);
  for (int i = 0; i < print.pageTextCount; ++i) {
    out << "    " << i + 1 << "  " << PageTextText(print.pageTexts[std::size_t(i)]) << "\n";
  }
}

}  // namespace

void ReportSettings(const PassSnapshot& state, std::ostream& out) {
  const ChartOptions& options = state.options;
  out << "\nSettings after the property records\n";
  Row("data-set count", std::to_string(options.dataSetCount), out);
  Row("chart style", Quoted(options.chartStyle.text), out);
  Row("data labels", DataLabelsText(options), out);
  Row("window", WindowText(state), out);
  Row("title", TitleText(state.chart.title), out);
  Row("left axis title", Quoted(state.chart.leftAxisTitle.caption), out);
  Row("bottom axis title", Quoted(state.chart.bottomAxisTitle.caption), out);
  Row("legend", OnOff(state.chart.legendVisible, "shown", "hidden"), out);
  Row("print at start-up", OnOff(options.printAtStart, "yes", "no"), out);
  Row("image file", ImageText(options), out);
  ReportPrintSettings(state.print, out);
}
