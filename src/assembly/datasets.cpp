#include "datasets.h"

#include <string>
#include <vector>

#include "chart/chartdocument.h"
#include "chartoptions.h"
#include "colorname.h"
#include "dbffile.h"
#include "fielderror.h"
#include "runtime.h"

namespace {

// Positions in the record text (the record without its flag byte), counted from 1.
constexpr std::size_t kLeadFirst = 1, kLeadLast = 2;
constexpr std::size_t kLabelFirst = 3, kLabelLast = 32;
constexpr std::size_t kFirstValue = 33, kValueWidth = 20, kColorWidth = 10;
constexpr std::size_t kDataSetWidth = kValueWidth + kColorWidth;

std::size_t ValueFirst(int dataSet) { return kFirstValue + kDataSetWidth * std::size_t(dataSet); }
std::size_t ColorFirst(int dataSet) { return ValueFirst(dataSet) + kValueWidth; }

std::string ValueField(int dataSet) {
  const std::size_t first = ValueFirst(dataSet);
  return "value of data set " + std::to_string(dataSet + 1) + " (bytes " + std::to_string(first) +
         " to " + std::to_string(first + kValueWidth - 1) + ")";
}

}  // namespace

void DataRecordReader::CheckLeadNumber() const {
  DecodeField(table_, number_, "leadNumber",
              [&] { return StrToInt(TrimmedView(Field(text_, kLeadFirst, kLeadLast))); });
}

std::string DataRecordReader::Label() const { return Trim(Field(text_, kLabelFirst, kLabelLast)); }

double DataRecordReader::Value(int dataSet) const {
  const std::size_t first = ValueFirst(dataSet);
  const std::string_view field = TrimmedView(Field(text_, first, first + kValueWidth - 1));
  return DecodeField(
      table_, number_, [&] { return ValueField(dataSet); }, [&] { return StrToFloat(field); });
}

std::string DataRecordReader::ColorName(int dataSet) const {
  const std::size_t first = ColorFirst(dataSet);
  return UpperCase(TrimmedView(Field(text_, first, first + kColorWidth - 1)));
}

chart::TColor DataRecordReader::Color(int dataSet, chart::TColor fallback) const {
  return ColorFromName(ColorName(dataSet), fallback);
}

std::size_t DataRecordTextLength(int dataSets) { return ValueFirst(dataSets) - 1; }

void LoadDataSets(const DbfFile& dataFile, const ChartOptions& options, chart::ChartDocument& chart,
                  const DataRecordObserver& observer) {
  std::vector<chart::ChartSeries> series;
  for (int j = 0; j < options.dataSetCount; ++j) series.push_back(chart.GetSeries(j));
  for (RecordCursor record(dataFile); record.Next();) {
    if (observer) observer(record);
    if (!record.IsActive()) continue;
    const DataRecordReader reader(dataFile.FileName(), record.Number(), record.Text());
    DecodeDataRecord(
        reader, options.dataSetCount, [&](int j) { return series[std::size_t(j)].SeriesColor(); },
        [&](int j, double value, const std::string& label, chart::TColor color) {
          series[std::size_t(j)].Add(value, label, color);
        });
  }
}
