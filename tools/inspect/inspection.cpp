#include "inspect/inspection.h"

#include <optional>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "inspect/layoutsection.h"
#include "inspect/printedpage.h"
#include "inspect/sections.h"
#include "runtime/text.h"
#include "startup/chartdefaults.h"
#include "startup/creationpass.h"
#include "startup/startupoutputs.h"

namespace {

// Why the options were refused.
std::string RefusalReason(const Refusal& refusal, const ChartOptions& options) {
  if (refusal.check == RefusedBy::DataSetCount)
    return "no DATASETCOUNT record gave a count above 0";
  if (options.chartStyle.text == "NONE") {
    return "no CHARTSTYLE record set a style (or one set NONE)";
  }
  return "the chart style " + Quoted(options.chartStyle.text) +
         " names no kind of chart: PIE, LINE, or a style with BAR in it";
}

// Follows the program's creation pass and tells each step as it happens.
class Inspection : public PassObserver {
 public:
  Inspection(const std::string& propertyName, const std::string& dataName, bool allRecords,
             std::ostream& out, std::optional<QSize> size)
      : propertyName_(propertyName),
        dataName_(dataName),
        allRecords_(allRecords),
        out_(out),
        size_(size) {
    ApplyChartDesign(chart_);
    chart_.SetNumberLocale(chart::SystemNumberLocale());
  }

  InspectionResult Run() {
    PassTargets targets{propertyName_, dataName_, window_, chart_, print_, skipRun_};
    targets.outputs = [this](const ChartOptions& options, StartupTargets& outputs) {
      verdict_ = ReportOutputs(options, outputs.skipRun);
    };
    try {
      if (RunCreationPass(targets, this)) verdict_ = EndsWithMessage();
    } catch (const Exception& error) {
      verdict_ = EndsWithMessage();  // told by Failed, while the tables were open
      if (!propertyFile_) {          // a table that could not be read while it was checked
        out_ << "  The run stops here:\n";
        ReportRunEnd(error, out_);
      }
    }
    const InspectionResult result{verdict_, warnings_.Count()};
    out_ << VerdictLine(result) << "\n";
    return result;
  }

 private:
  // The steps whose errors end the run, each told in its own section.
  enum class Step { Properties, SeriesPlan, DataRecords };

  void TablesChecked(const DbfFile& propertyFile, const DbfFile& dataFile,
                     const Refusal* refusal) override {
    ReportTableChecks(propertyFile, propertyName_, dataFile, dataName_, refusal, warnings_, out_);
    if (refusal) {
      out_ << "  The run stops here:\n";
      ReportRunEnd(refusal->caption, refusal->text, out_);
    }
    propertyFile_ = &propertyFile;
    dataFile_ = &dataFile;
  }

  void DefaultsApplied(const PassState& state) override {
    state_ = &state;
    step_ = Step::Properties;
    properties_.emplace(
        *propertyFile_, [this] { return Snapshot(); }, allRecords_, warnings_, out_);
  }

  void PropertyRecord(std::uint32_t number, std::string_view text, RecordOutcome outcome,
                      const PassState&) override {
    properties_->Seen(number, text, outcome);
  }

  void OptionsChecked(const PassState& state, const Refusal* refusal) override {
    ReportSettings(Snapshot(), out_);
    if (refusal) {
      out_ << "\nCheck: refused, because " << RefusalReason(*refusal, state.options) << "\n";
      ReportRunEnd(refusal->caption, refusal->text, out_);
      return;
    }
    out_ << "\nCheck: passed (a data-set count and a chart style that names a kind of chart)\n"
         << "\nSeries\n";
    step_ = Step::SeriesPlan;
  }

  void SeriesPlanned(const SeriesPlan& plan) override {
    ReportSeries(plan, state_->options, out_);
    properties_->WarnBeyondCount(state_->options.dataSetCount);
    step_ = Step::DataRecords;
    data_.emplace(*dataFile_, state_->options.dataSetCount, allRecords_, warnings_, out_);
  }

  void DataRecord(const RecordCursor& record) override {
    dataEndReported_ = !data_->Record(record);
    if (record.IsActive()) pointRecords_.push_back(record.Number());
  }

  PassSnapshot Snapshot() const {
    return {state_->options, print_, window_, skipRun_, chart_.Model()};
  }

  void Failed(const Exception& error) override {
    switch (step_) {
      case Step::Properties:
        properties_->Failed(error);
        return;
      case Step::SeriesPlan:
        out_ << "  the chart style's multi-bar mode ends the run:\n";
        ReportRunEnd(error, out_);
        return;
      case Step::DataRecords:
        if (!dataEndReported_) ReportRunEnd(error, out_);
        return;
    }
  }

  // What the run does once its chart is built.
  Verdict ReportOutputs(const ChartOptions& options, bool skipRun) {
    data_->WriteSummary();
    ReportPrintedPage(options, print_, warnings_, out_);
    if (skipRun) WarnOfPrintDialog(options);
    ReportLayout(chart_.Model(), LayoutTargets(options, skipRun), pointRecords_, warnings_, out_);
    warnings_.WriteColorNames(out_);
    if (skipRun && !options.printAtStart && !WritesImageFile(options)) {
      ReportNothingMade(options);
      return Verdict::MakesNothing;
    }
    out_ << "\nResult: the run draws its chart";
    if (options.printAtStart) out_ << ", prints the chart page";
    if (WritesImageFile(options)) out_ << ", writes " << Quoted(options.bitmapFile);
    if (skipRun) {
      out_ << " and ends by itself (NOSHOW).\n";
    } else {
      out_ << " and shows it in the window until it is closed (without a display it says so on "
              "standard error and ends).\n";
    }
    return Verdict::DrawsChart;
  }

  std::vector<LayoutTarget> LayoutTargets(const ChartOptions& options, bool skipRun) const {
    if (size_) return {{*size_, true, "--size"}};
    std::vector<LayoutTarget> targets;
    if (WritesImageFile(options)) {
      targets.push_back({QSize(options.bitmapWidth, options.bitmapHeight), true,
                         "the image file " + Quoted(options.bitmapFile)});
    }
    if (!skipRun) {
      targets.push_back({QSize(chart::kWindowChartWidth, chart::kWindowChartHeight), false,
                         "the window as it opens"});
    }
    return targets;
  }

  // Without a display nobody can answer the print dialog: the page goes to the default printer
  // with the dialog's settings as they stand. Told of NOSHOW runs, those that services and batch
  // hosts start; a run that shows its window has someone at the screen.
  void WarnOfPrintDialog(const ChartOptions& options) {
    if (!options.printAtStart || !print_.showPrintDialog) return;
    out_ << "\n  "
         << warnings_.Mark(
                "PRINT with PRINTSETUP: the print dialog comes first only where the run "
                "has a display; without one (a service, a batch host) the run prints "
                "to the default printer with the dialog's defaults, without asking")
         << "\n";
  }

  // Why a windowless run ends without an image or a printed page.
  void ReportNothingMade(const ChartOptions& options) {
    out_ << "\nResult: the run makes nothing: it shows no window (NOSHOW), prints nothing and "
            "writes no image file, and ends without a message. Why:\n";
    if (options.saveBitmap) {
      out_ << "  the image file " << Quoted(options.bitmapFile) << " is " << options.bitmapHeight
           << " high and " << options.bitmapWidth
           << " wide: a height or width of 0 writes no file\n";
    } else {
      out_ << "  no BITMAPFILE record took effect, and no PRINT record\n";
    }
    for (const std::string& missed : properties_->MissedOutputs()) {
      out_ << "  " << missed << " had no effect\n";
    }
    out_ << "  Add \"BITMAPFILE chart.png;HEIGHT;WIDTH\" or \"PRINT\", or leave out NOSHOW.\n";
  }

  Verdict EndsWithMessage() {
    warnings_.WriteColorNames(out_);
    out_ << "\nResult: the run ends with this message, without a chart.\n";
    return Verdict::EndsWithMessage;
  }

  const std::string& propertyName_;
  const std::string& dataName_;
  const bool allRecords_;
  std::ostream& out_;
  std::optional<QSize> size_;

  WindowModel window_;
  chart::ChartDocument chart_;
  PrintSettings print_;
  bool skipRun_ = false;

  const DbfFile* propertyFile_ = nullptr;
  const DbfFile* dataFile_ = nullptr;
  const PassState* state_ = nullptr;
  Step step_ = Step::Properties;
  std::optional<PropertyRecordReport> properties_;
  std::optional<DataRecordReport> data_;
  bool dataEndReported_ = false;
  std::vector<std::uint32_t> pointRecords_;  // the data record of each point, in order
  Warnings warnings_;
  Verdict verdict_ = Verdict::DrawsChart;
};

}  // namespace

void ReportRunEnd(const std::string& caption, const std::string& text, std::ostream& out) {
  out << "    " << MessageLine(caption, text) << "\n"
      << "    (a message box captioned " << Quoted(caption)
      << "; the same line on standard error)\n";
}

void ReportRunEnd(const Exception& error, std::ostream& out) {
  ReportRunEnd(kProgramName, error.Text(), out);
}

InspectionResult InspectTables(const std::string& propertyName, const std::string& dataName,
                               bool allRecords, std::ostream& out, std::optional<QSize> size) {
  return Inspection(propertyName, dataName, allRecords, out, size).Run();
}

std::string VerdictLine(const InspectionResult& result) {
  const char* verdict = "draws";
  if (result.verdict == Verdict::EndsWithMessage) verdict = "ends with a message";
  if (result.verdict == Verdict::MakesNothing) verdict = "makes nothing";
  return std::string("verdict: ") + verdict + ", " + std::to_string(result.warnings) +
         (result.warnings == 1 ? " warning" : " warnings");
}
