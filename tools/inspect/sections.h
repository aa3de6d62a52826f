#pragma once
// The parts of the report, each in the order of the run.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "chart/model/chartmodel.h"
#include "dbf/refusal.h"
#include "inspect/report.h"
#include "properties/chartoptions.h"
#include "properties/printsettings.h"
#include "properties/propertyfile.h"
#include "properties/windowmodel.h"
#include "runtime/errors.h"
#include "startup/chartseries.h"

class DbfFile;
class RecordCursor;

// What the property records can change, as it stands at one moment of the pass.
struct PassSnapshot {
  ChartOptions options;
  PrintSettings print;
  WindowModel window;
  bool skipRun = false;
  chart::ChartModel chart;  // its settings: no series exist while the property records are read
};

// Each table's header and checks, as far as the checks went; `refusal` when one failed. When
// both pass, a warning if a table looks like the other kind.
void ReportTableChecks(const DbfFile& propertyFile, const std::string& propertyName,
                       const DbfFile& dataFile, const std::string& dataName, const Refusal* refusal,
                       Warnings& warnings, std::ostream& out);

// The keywords that an unknown one was most likely meant to be, if any is close.
std::vector<std::string_view> NearestKeywords(const std::string& keyword);

// Writes each property record as the pass sees it, what it set or why it had no effect, and what
// it asks for that the run does otherwise; the first and last ones of a long table.
class PropertyRecordReport {
 public:
  // Writes the section's heading; `now` tells what the records have left so far.
  PropertyRecordReport(const DbfFile& table, std::function<PassSnapshot()> now, bool allRecords,
                       Warnings& warnings, std::ostream& out);

  void Seen(std::uint32_t number, std::string_view text, RecordOutcome outcome);
  // The record after the last one seen ended the run with `error`.
  void Failed(const Exception& error);
  // Warns of the data-set titles and colours that were taken but name no series of the `count`.
  void WarnBeyondCount(int count);
  // The records whose unknown keyword was most likely BITMAPFILE or PRINT, each as
  // `record N "KEYWORD" (did you mean ...?)`.
  const std::vector<std::string>& MissedOutputs() const { return missedOutputs_; }

 private:
  // A data-set title or colour that took effect.
  struct DataSetRecord {
    std::uint32_t number;
    std::string keyword;
    int dataSet;  // from 1
  };

  void WriteRecordLine(std::uint32_t number, std::string_view text);
  std::string OutcomeText(std::uint32_t number, std::string_view text, RecordOutcome outcome);
  std::vector<std::string> RecordWarnings(std::uint32_t number, std::string_view text,
                                          RecordOutcome outcome);

  const DbfFile& table_;
  std::function<PassSnapshot()> now_;
  PassSnapshot before_;
  RecordWindow shown_;
  Warnings& warnings_;
  std::ostream& out_;
  std::uint32_t lastSeen_ = 0;
  std::vector<DataSetRecord> dataSetRecords_;
  std::vector<std::string> missedOutputs_;
};

// The chart options, window and print settings that the property records leave.
void ReportSettings(const PassSnapshot& state, std::ostream& out);

// The series that the style creates.
void ReportSeries(const SeriesPlan& plan, const ChartOptions& options, std::ostream& out);

// Writes each data record with its label, values and colours, a warning for each colour field
// that names no colour, the first and last ones of a long table, or the error that ends the run.
class DataRecordReport {
 public:
  // Writes the section's heading and how many data sets a record holds.
  DataRecordReport(const DbfFile& table, int dataSets, bool allRecords, Warnings& warnings,
                   std::ostream& out);

  // False when the record ends the run; its message has been written then.
  bool Record(const RecordCursor& record);
  // How many live records gave their points.
  void WriteSummary();

 private:
  bool DecodeLive(const RecordCursor& record, bool shown);
  void WriteLine(std::uint32_t number, const std::string& text);

  const DbfFile& table_;
  int dataSets_;
  RecordWindow shown_;
  Warnings& warnings_;
  std::ostream& out_;
  std::uint64_t live_ = 0;
};

// The message that ends the run, as the program shows it.
void ReportRunEnd(const std::string& caption, const std::string& text, std::ostream& out);
void ReportRunEnd(const Exception& error, std::ostream& out);
