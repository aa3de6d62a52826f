#include "datasets.h"
#include "dbffile.h"
#include "report.h"
#include "sections.h"

namespace {

// How many data sets a record of the table holds whole.
int DataSetsThatFit(const DbfFile& table) {
  int fit = 0;
  while (fit < ChartOptions::kMaxDataSets &&
         DataRecordTextLength(fit + 1) + 1 <= table.recordLength) {
    ++fit;
  }
  return fit;
}

void WriteRoom(const DbfFile& table, int dataSets, std::ostream& out) {
  const int fit = DataSetsThatFit(table);
  out << "  records of " << table.recordLength << " bytes hold " << fit << " data set"
      << (fit == 1 ? "" : "s") << " whole";
  if (fit < dataSets) {
    out << "; the property table asks for " << dataSets
        << ": the fields of the others lie past the end of every record and read as empty";
  }
  out << "\n";
}

std::string PointText(const DataRecordReader& reader, int dataSet, double value) {
  const std::string name = reader.ColorName(dataSet);
  std::string text = NumberText(value);
  if (!name.empty()) text += " " + ColorNameText(name, "the series' colour");
  return text;
}

// Writes each live record's points, the first and last ones of a long table.
class DataRecordReport {
 public:
  DataRecordReport(const DbfFile& table, int dataSets, bool allRecords, std::ostream& out)
      : table_(table), dataSets_(dataSets), shown_(table.recordCount, allRecords), out_(out) {}

  // False when the record ends the run.
  bool Record(const RecordCursor& record) {
    const bool shown = shown_.Shows(record.Number());
    if (!shown) shown_.PassOver(!record.IsActive());
    if (shown) shown_.WriteGap(out_, "deleted");
    if (!record.IsActive()) {
      if (shown) WriteLine(record.Number(), "skipped: deleted (its flag byte is not a blank)");
      return true;
    }
    ++live_;
    return DecodeLive(record, shown);
  }

  std::uint64_t Live() const { return live_; }

 private:
  bool DecodeLive(const RecordCursor& record, bool shown) {
    const DataRecordReader reader(table_.FileName(), record.Number(), record.Text());
    std::string points;
    try {
      DecodeDataRecord(
          reader, dataSets_, [](int) { return clAutomatic; },
          [&](int j, double value, const std::string&, TColor) {
            if (shown) points += (j == 0 ? "" : " | ") + PointText(reader, j, value);
          });
    } catch (const Exception& error) {
      shown_.WriteGap(out_, "deleted");
      WriteLine(record.Number(), "ends the run:");
      ReportRunEnd(error, out_);
      return false;
    }
    if (shown) WriteLine(record.Number(), Quoted(reader.Label()) + "  " + points);
    return true;
  }

  void WriteLine(std::uint32_t number, const std::string& text) {
    out_ << "  record " << number << ": " << text << "\n";
  }

  const DbfFile& table_;
  int dataSets_;
  RecordWindow shown_;
  std::ostream& out_;
  std::uint64_t live_ = 0;
};

}  // namespace

bool ReportDataRecords(const DbfFile& dataFile, const PassState& state, bool allRecords,
                       std::ostream& out) {
  const int dataSets = state.options.dataSetCount;
  out << "\nData records: " << dataFile.recordCount
      << ", in file order (label, then the value of each data set, with its colour where one "
         "is named)\n";
  WriteRoom(dataFile, dataSets, out);
  DataRecordReport report(dataFile, dataSets, allRecords, out);
  for (RecordCursor record(dataFile); record.Next();) {
    if (!report.Record(record)) return false;
  }
  out << "  " << report.Live() << " live record" << (report.Live() == 1 ? "" : "s") << ": "
      << report.Live() << " point" << (report.Live() == 1 ? "" : "s") << " in every series";
  if (report.Live() == 0) out << " (the series are empty: the chart shows no data)";
  out << "\n";
  return true;
}
