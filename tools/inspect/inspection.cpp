#include "inspection.h"

#include <optional>

#include "application.h"
#include "chart/chartdocument.h"
#include "chartdefaults.h"
#include "creationpass.h"
#include "dbffile.h"
#include "sections.h"
#include "startupoutputs.h"

namespace {

// Why the options were refused.
std::string RefusalReason(const Refusal& refusal, const ChartOptions& options) {
  if (refusal.check == RefusedBy::DataSetCount)
    return "no DATASETCOUNT record gave a count above 0";
  if (options.chartStyle == "NONE") return "no CHARTSTYLE record set a style (or one set NONE)";
  return "the chart style " + Quoted(options.chartStyle) +
         " names no kind of chart: PIE, LINE, or a style with BAR in it";
}

// Follows the program's creation pass and tells each step as it happens.
class Inspection : public PassObserver {
 public:
  Inspection(const std::string& propertyName, const std::string& dataName, bool allRecords,
             std::ostream& out)
      : propertyName_(propertyName), dataName_(dataName), allRecords_(allRecords), out_(out) {
    ApplyChartDesign(chart_);
  }

  Verdict Run() {
    PassTargets targets{propertyName_, dataName_, window_, chart_, print_, skipRun_};
    targets.outputs = [this](const ChartOptions& options, StartupTargets& outputs) {
      ReportOutputs(options, outputs.skipRun);
    };
    try {
      if (RunCreationPass(targets, this)) return EndsWithMessage();
    } catch (const Exception&) {
      return EndsWithMessage();  // told by Failed, while the tables were open
    }
    return Verdict::DrawsChart;
  }

 private:
  // The steps whose errors end the run, each told in its own section.
  enum class Step { Properties, SeriesPlan, DataRecords };

  void TablesChecked(const DbfFile& propertyFile, const DbfFile& dataFile,
                     const Refusal* refusal) override {
    ReportTableChecks(propertyFile, propertyName_, dataFile, dataName_, refusal, out_);
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
        *propertyFile_, [this] { return Snapshot(); }, allRecords_, out_);
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
    step_ = Step::DataRecords;
    data_.emplace(*dataFile_, state_->options.dataSetCount, allRecords_, out_);
  }

  void DataRecord(const RecordCursor& record) override {
    dataEndReported_ = !data_->Record(record);
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
  void ReportOutputs(const ChartOptions& options, bool skipRun) {
    data_->WriteSummary();
    out_ << "\nResult: the run draws its chart";
    if (options.printAtStart) out_ << ", prints the chart page";
    if (WritesImageFile(options)) out_ << ", writes " << Quoted(options.bitmapFile);
    if (skipRun) {
      out_ << " and ends by itself (NOSHOW).\n";
    } else {
      out_ << " and shows it in the window until it is closed (without a display it says so on "
              "standard error and ends).\n";
    }
  }

  Verdict EndsWithMessage() {
    out_ << "\nResult: the run ends with this message, without a chart.\n";
    return Verdict::EndsWithMessage;
  }

  const std::string& propertyName_;
  const std::string& dataName_;
  const bool allRecords_;
  std::ostream& out_;

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

Verdict InspectTables(const std::string& propertyName, const std::string& dataName, bool allRecords,
                      std::ostream& out) {
  return Inspection(propertyName, dataName, allRecords, out).Run();
}
