#include <algorithm>
#include <functional>
#include <vector>

#include "keywords/keywordtable.h"
#include "dbf/dbffile.h"
#include "inspect/nearestname.h"
#include "inspect/recordwarnings.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "inspect/tablehints.h"
#include "properties/propertyfile.h"

namespace {

using Changes = std::vector<std::string>;

std::string BeyondCount(const ChartOptions& options, std::size_t index) {
  if (int(index) < options.dataSetCount) return "";
  return " (kept, but the data-set count in force is " + std::to_string(options.dataSetCount) +
         ": it counts only if a later DATASETCOUNT takes it in)";
}

void DataSetChanges(const ChartOptions& before, const ChartOptions& after, Changes& changes) {
  for (std::size_t i = 0; i < after.dataSetTitles.size(); ++i) {
    const std::string dataSet = " of data set " + std::to_string(i + 1);
    if (before.dataSetTitles[i] != after.dataSetTitles[i]) {
      changes.push_back("title" + dataSet + " " + Quoted(after.dataSetTitles[i]) +
                        BeyondCount(after, i));
    }
    if (before.dataSetColors[i] != after.dataSetColors[i]) {
      changes.push_back("colour" + dataSet + ": " +
                        ColorNameText(after.dataSetColors[i], "the series keeps its own colour") +
                        BeyondCount(after, i));
    }
  }
}

std::string ImageFileText(const ChartOptions& options) {
  return "image file " + Quoted(options.bitmapFile) + ", " + std::to_string(options.bitmapHeight) +
         " high and " + std::to_string(options.bitmapWidth) + " wide";
}

void OptionChanges(const ChartOptions& before, const ChartOptions& after, Changes& changes) {
  if (before.chartStyle.text != after.chartStyle.text) {
    changes.push_back("chart style " + Quoted(after.chartStyle.text));
  }
  if (before.dataLabels != after.dataLabels) changes.push_back("data labels on bars");
  if (before.printAtStart != after.printAtStart) {
    changes.push_back("prints the chart page at start-up");
  }
  if (before.dataSetCount != after.dataSetCount) {
    changes.push_back("data-set count " + std::to_string(after.dataSetCount));
  }
  if (ImageFileText(before) != ImageFileText(after) || before.saveBitmap != after.saveBitmap) {
    changes.push_back(ImageFileText(after));
  }
  DataSetChanges(before, after, changes);
}

void PrintChanges(const PrintSettings& before, const PrintSettings& after, Changes& changes) {
  for (int i = before.pageTextCount; i < after.pageTextCount; ++i) {
    changes.push_back("page text " + std::to_string(i + 1) + ": " +
                      PageTextText(after.pageTexts[std::size_t(i)]));
  }
  if (MarginsText(before) != MarginsText(after)) {
    changes.push_back("print margins " + MarginsText(after));
  }
  if (before.showPrintDialog != after.showPrintDialog) {
    changes.push_back("the print dialog comes before printing");
  }
}

void WindowChanges(const PassSnapshot& before, const PassSnapshot& after, Changes& changes) {
  const WindowModel& was = before.window;
  const WindowModel& is = after.window;
  if (was.windowVisible != is.windowVisible || before.skipRun != after.skipRun) {
    changes.push_back("no window: the run ends by itself after its outputs");
  }
  if (before.chart.view3D != after.chart.view3D || was.checkBoxChecked != is.checkBoxChecked) {
    changes.push_back("chart flat, the \"3D\" box unchecked");
  }
  if (was.checkBoxVisible != is.checkBoxVisible) changes.push_back("the \"3D\" box hidden");
  if (was.printButtonVisible != is.printButtonVisible) {
    changes.push_back("the \"Print Graph\" button hidden");
  }
}

void ChartChanges(const chart::ChartModel& was, const chart::ChartModel& is, Changes& changes) {
  for (std::size_t i = was.title.lines.size(); i < is.title.lines.size(); ++i) {
    changes.push_back("title line " + std::to_string(i + 1) + " " + Quoted(is.title.lines[i]));
  }
  if (was.leftAxisTitle.caption != is.leftAxisTitle.caption) {
    changes.push_back("left axis title " + Quoted(is.leftAxisTitle.caption));
  }
  if (was.bottomAxisTitle.caption != is.bottomAxisTitle.caption) {
    changes.push_back("bottom axis title " + Quoted(is.bottomAxisTitle.caption));
  }
  if (was.legendVisible != is.legendVisible) changes.push_back("legend shown");
}

Changes ChangesBetween(const PassSnapshot& before, const PassSnapshot& after) {
  Changes changes;
  OptionChanges(before.options, after.options, changes);
  PrintChanges(before.print, after.print, changes);
  WindowChanges(before, after, changes);
  ChartChanges(before.chart, after.chart, changes);
  return changes;
}

std::string UnknownKeywordText(const std::string& keyword) {
  if (keyword.empty()) return "no effect: the keyword field is empty";
  return "no effect: there is no keyword " + Quoted(keyword) + DidYouMean(NearestKeywords(keyword));
}

// The keywords that make an output of a windowless run.
bool NamesAnOutput(const std::vector<std::string_view>& keywords) {
  return std::ranges::any_of(keywords,
                             [](std::string_view k) { return k == "BITMAPFILE" || k == "PRINT"; });
}

std::string DataSetNotTakenText(int dataSetNumber, const ChartOptions& options) {
  if (dataSetNumber <= 0) {
    return "no effect: data-set number " + std::to_string(dataSetNumber) + " is not above 0";
  }
  return "no effect: data set " + std::to_string(dataSetNumber) +
         " is beyond the data-set count in force at this record (" +
         std::to_string(options.dataSetCount) + ")";
}

}  // namespace

std::vector<std::string_view> NearestKeywords(const std::string& keyword) {
  std::string squeezed = keyword;
  std::erase_if(squeezed, [](char c) { return static_cast<unsigned char>(c) <= 32; });
  return NearestNames(squeezed, keywords::KeywordNames());
}

PropertyRecordReport::PropertyRecordReport(const DbfFile& table, std::function<PassSnapshot()> now,
                                           bool allRecords, Warnings& warnings, std::ostream& out)
    : table_(table),
      now_(std::move(now)),
      before_(now_()),
      shown_(table.recordCount, allRecords),
      warnings_(warnings),
      out_(out) {
  out_ << "\nProperty records: " << table.recordCount << ", in file order\n";
}

void PropertyRecordReport::Seen(std::uint32_t number, std::string_view text,
                                RecordOutcome outcome) {
  lastSeen_ = number;
  const bool noEffect = outcome != RecordOutcome::Applied && outcome != RecordOutcome::NotLive;
  const std::vector<std::string> warnings = RecordWarnings(number, text, outcome);
  if (shown_.Shows(number)) {
    shown_.WriteGap(out_, "without effect");
    WriteRecordLine(number, text);
    const std::string outcomeText = OutcomeText(number, text, outcome);
    out_ << "    -> " << (noEffect ? warnings_.Mark(outcomeText) : outcomeText) << "\n";
    for (const std::string& warning : warnings) out_ << "    " << warnings_.Mark(warning) << "\n";
  } else {
    const int count = int(warnings.size()) + (noEffect ? 1 : 0);
    shown_.PassOver(outcome != RecordOutcome::Applied, count);
    warnings_.CountUnshown(count);
  }
  // Only a record that is shown needs the state before it, to tell what it changed.
  if (shown_.Shows(number + 1)) before_ = now_();
}

std::vector<std::string> PropertyRecordReport::RecordWarnings(std::uint32_t number,
                                                              std::string_view text,
                                                              RecordOutcome outcome) {
  const PropertyFields fields = PropertyFieldsOf(text);
  const std::string keyword = UpperCase(fields.keyword);
  if (outcome == RecordOutcome::UnknownKeyword) {
    const std::vector<std::string_view> nearest = NearestKeywords(keyword);
    if (NamesAnOutput(nearest)) {
      missedOutputs_.push_back("record " + std::to_string(number) + " " + Quoted(keyword) +
                               DidYouMean(nearest));
    }
  }
  if (outcome != RecordOutcome::Applied) return {};
  if (keywords::TakesDataSet(keyword)) {
    const int index = DecodePropertyRecord(table_.FileName(), number, text).dataSetIndex;
    dataSetRecords_.push_back({number, keyword, index + 1});
  }
  return AppliedRecordWarnings(keyword, fields.value, warnings_);
}

void PropertyRecordReport::WarnBeyondCount(int count) {
  for (const DataSetRecord& record : dataSetRecords_) {
    if (record.dataSet <= count) continue;
    const char* what = record.keyword == "DATASETTITLE" ? "title" : "colour";
    out_ << "  "
         << warnings_.Mark("record " + std::to_string(record.number) + ": the " + what +
                           " of data set " + std::to_string(record.dataSet) +
                           " names no series: the data-set count is " + std::to_string(count))
         << "\n";
  }
}

void PropertyRecordReport::Failed(const Exception& error) {
  const std::uint32_t number = lastSeen_ + 1;
  shown_.WriteGap(out_, "without effect");
  WriteRecordLine(number, table_.RecordText(number));
  out_ << "    -> ends the run:\n";
  ReportRunEnd(error, out_);
  const std::string null =
      NullNumberText(table_.RecordText(number), NumberFields(TableKind::Properties, 0));
  if (!null.empty()) out_ << "    " << warnings_.Mark(null) << "\n";
}

void PropertyRecordReport::WriteRecordLine(std::uint32_t number, std::string_view text) {
  const PropertyFields fields = PropertyFieldsOf(text);
  out_ << "  record " << number << ": " << ToPlainLine(UpperCase(fields.keyword));
  if (keywords::TakesDataSet(UpperCase(fields.keyword))) {
    out_ << " (data set " << ToPlainLine(fields.dataSetNumber) << ")";
  }
  if (!fields.value.empty()) out_ << " " << Quoted(fields.value);
  out_ << "\n";
}

std::string PropertyRecordReport::OutcomeText(std::uint32_t number, std::string_view text,
                                              RecordOutcome outcome) {
  switch (outcome) {
    case RecordOutcome::NotLive:
      return "skipped: deleted (its flag byte is not a blank)";
    case RecordOutcome::UnknownKeyword:
      return UnknownKeywordText(UpperCase(PropertyFieldsOf(text).keyword));
    case RecordOutcome::DataSetNotTaken:
      return DataSetNotTakenText(
          DecodePropertyRecord(table_.FileName(), number, text).dataSetIndex + 1, now_().options);
    case RecordOutcome::PageTextsFull:
      return "no effect: the page already holds " + std::to_string(PrintSettings::kMaxPageTexts) +
             " page texts";
    case RecordOutcome::Applied:
      break;
  }
  const Changes changes = ChangesBetween(before_, now_());
  if (changes.empty()) return "nothing new: it sets what is already so";
  std::string joined;
  for (const std::string& change : changes) joined += (joined.empty() ? "" : "; ") + change;
  return joined;
}
