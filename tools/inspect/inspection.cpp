#include "inspection.h"

#include "application.h"
#include "dbffile.h"
#include "propertyfile.h"
#include "report.h"
#include "sections.h"
#include "startupoutputs.h"

namespace {

// What the run does once its chart is built.
void ReportOutputs(const PassState& state, std::ostream& out) {
  const ChartOptions& options = state.options;
  out << "\nResult: the run draws its chart";
  if (options.printAtStart) out << ", prints the chart page";
  if (WritesImageFile(options)) out << ", writes " << Quoted(options.bitmapFile);
  if (state.skipRun) {
    out << " and ends by itself (NOSHOW).\n";
  } else {
    out << " and shows it in the window until it is closed (without a display it says so on "
           "standard error and ends).\n";
  }
}

// Why the options were refused, in the order the check tests them.
std::string RefusalReason(const ChartOptions& options) {
  if (options.dataSetCount == 0) return "no DATASETCOUNT record gave a count above 0";
  if (options.chartStyle == "NONE") return "no CHARTSTYLE record set a style (or one set NONE)";
  return "the chart style " + Quoted(options.chartStyle) +
         " names no kind of chart: PIE, LINE, or a style with BAR in it";
}

Verdict EndsWithMessage(std::ostream& out) {
  out << "\nResult: the run ends with this message, without a chart.\n";
  return Verdict::EndsWithMessage;
}

}  // namespace

void ReportRunEnd(const std::string& caption, const std::string& text, std::ostream& out) {
  out << "    " << ToPlainLine(caption + ": " + text) << "\n"
      << "    (a message box captioned " << Quoted(caption)
      << "; the same line on standard error)\n";
}

void ReportRunEnd(const Exception& error, std::ostream& out) {
  ReportRunEnd(kProgramName, error.Text(), out);
}

Verdict InspectTables(const std::string& propertyName, const std::string& dataName, bool allRecords,
                      std::ostream& out) {
  DbfFile propertyFile;
  DbfFile dataFile;
  if (const auto refusal = ReportTableChecks(propertyFile, propertyName, dataFile, dataName, out)) {
    out << "  The run stops here:\n";
    ReportRunEnd(refusal->caption, refusal->text, out);
    return EndsWithMessage(out);
  }
  PassState state;
  if (!ReportPropertyRecords(propertyFile, state, allRecords, out)) return EndsWithMessage(out);
  ReportSettings(state, out);
  if (const auto refusal = CheckPropertyOptions(state.options)) {
    out << "\nCheck: refused, because " << RefusalReason(state.options) << "\n";
    ReportRunEnd(refusal->caption, refusal->text, out);
    return EndsWithMessage(out);
  }
  out << "\nCheck: passed (a data-set count and a chart style that names a kind of chart)\n";
  if (!ReportSeries(state, propertyFile.FileName(), out)) return EndsWithMessage(out);
  if (!ReportDataRecords(dataFile, state, allRecords, out)) return EndsWithMessage(out);
  ReportOutputs(state, out);
  return Verdict::DrawsChart;
}
