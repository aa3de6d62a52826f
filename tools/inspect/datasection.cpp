#include <vector>

#include "dbf/dbffile.h"
#include "dbf/recordlayout.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "inspect/tablehints.h"
#include "startup/datasets.h"

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

std::string BytesText(FieldSpan span) {
  return "bytes " + std::to_string(span.first) + " to " + std::to_string(span.Last());
}

// How a field that does not lie whole in a record text of `length` bytes is read.
std::string PartRead(const std::string& what, FieldSpan span, std::size_t length) {
  const std::string field = what + " (" + BytesText(span) + ")";
  if (span.Last() <= length) return field + " is read whole";
  return field + " is cut to " + BytesText({span.first, length - span.first + 1});
}

// Of the data sets from `fit` on, those whose fields start within the record: what is read.
std::string PartlyHeld(int fit, int dataSets, std::size_t length) {
  std::string text;
  for (int j = fit; j < dataSets && data_record::Value(j).first <= length; ++j) {
    text += (j == fit ? " " : "; ") + std::string("of data set ") + std::to_string(j + 1) + " " +
            PartRead("the value", data_record::Value(j), length);
    if (data_record::Color(j).first <= length) {
      text += ", " + PartRead("the colour", data_record::Color(j), length);
    } else {
      text += ", the colour reads as empty";
    }
  }
  return text;
}

// The data sets whose value lies past the end of every record.
std::string WhollyPast(int dataSets, std::size_t length) {
  int first = 0;
  while (first < dataSets && data_record::Value(first).first <= length) ++first;
  if (first == dataSets) return "";
  std::string which = "data set " + std::to_string(dataSets);
  if (first + 1 < dataSets) {
    which = "data sets " + std::to_string(first + 1) + (first + 2 == dataSets ? " and " : " to ") +
            std::to_string(dataSets);
  }
  return " the fields of " + which +
         " lie past the end of every record and read as empty (an empty value ends the run)";
}

// How much of each data set that the property table asks for a record holds.
void WriteRoom(const DbfFile& table, int dataSets, std::ostream& out) {
  const int fit = DataSetsThatFit(table);
  out << "  records of " << table.recordLength << " bytes hold " << fit << " data set"
      << (fit == 1 ? "" : "s") << " whole";
  if (fit < dataSets) {
    const std::size_t length = table.recordLength > 0 ? table.recordLength - 1u : 0u;
    const std::string partly = PartlyHeld(fit, dataSets, length);
    const std::string past = WhollyPast(dataSets, length);
    out << "; the property table asks for " << dataSets << ":" << partly
        << (!partly.empty() && !past.empty() ? ";" : "") << past;
  }
  out << "\n";
}

std::string PointText(const DataRecordReader& reader, int dataSet, double value) {
  const std::string name = reader.ColorName(dataSet);
  std::string text = NumberText(value);
  if (!name.empty()) text += " " + ColorNameText(name, "the series' colour");
  return text;
}

// The colour fields of a record that name no colour.
std::vector<std::string> ColorWarnings(const DataRecordReader& reader, int dataSets,
                                       Warnings& warnings) {
  std::vector<std::string> found;
  for (int j = 0; j < dataSets; ++j) {
    const std::string name = reader.ColorName(j);
    if (name.empty() || IsColorName(name)) continue;
    found.push_back("data set " + std::to_string(j + 1) + ": " +
                    warnings.UnknownColor(name, "the point keeps the series' colour"));
  }
  return found;
}

}  // namespace

DataRecordReport::DataRecordReport(const DbfFile& table, int dataSets, bool allRecords,
                                   Warnings& warnings, std::ostream& out)
    : table_(table),
      dataSets_(dataSets),
      shown_(table.recordCount, allRecords),
      warnings_(warnings),
      out_(out) {
  out_ << "\nData records: " << table.recordCount
       << ", in file order (label, then the value of each data set, with its colour where one "
          "is named)\n";
  WriteRoom(table, dataSets, out);
}

bool DataRecordReport::Record(const RecordCursor& record) {
  const bool shown = shown_.Shows(record.Number());
  if (shown) shown_.WriteGap(out_, "deleted");
  if (!record.IsActive()) {
    if (shown) WriteLine(record.Number(), "skipped: deleted (its flag byte is not a blank)");
    if (!shown) shown_.PassOver(true);
    return true;
  }
  ++live_;
  return DecodeLive(record, shown);
}

bool DataRecordReport::DecodeLive(const RecordCursor& record, bool shown) {
  const DataRecordReader reader(table_.FileName(), record.Number(), record.Text());
  std::string points;
  try {
    DecodeDataRecord(
        reader, dataSets_, [](int) { return chart::kAutomaticColor; },
        [&](int j, double value, const std::string&, chart::Color) {
          if (shown) points += (j == 0 ? "" : " | ") + PointText(reader, j, value);
        });
  } catch (const Exception& error) {
    shown_.WriteGap(out_, "deleted");
    WriteLine(record.Number(), "ends the run:");
    ReportRunEnd(error, out_);
    const std::string null =
        NullNumberText(record.Text(), NumberFields(TableKind::Data, dataSets_));
    if (!null.empty()) out_ << "    " << warnings_.Mark(null) << "\n";
    return false;
  }
  const std::vector<std::string> warnings = ColorWarnings(reader, dataSets_, warnings_);
  if (!shown) {
    shown_.PassOver(false, int(warnings.size()));
    warnings_.CountUnshown(int(warnings.size()));
    return true;
  }
  WriteLine(record.Number(), Quoted(reader.Label()) + "  " + points);
  for (const std::string& warning : warnings) out_ << "    " << warnings_.Mark(warning) << "\n";
  return true;
}

void DataRecordReport::WriteLine(std::uint32_t number, const std::string& text) {
  out_ << "  record " << number << ": " << text << "\n";
}

void DataRecordReport::WriteSummary() {
  out_ << "  " << live_ << " live record" << (live_ == 1 ? "" : "s") << ": " << live_ << " point"
       << (live_ == 1 ? "" : "s") << " in every series";
  if (live_ == 0) out_ << " (the series are empty: the chart shows no data)";
  out_ << "\n";
}
