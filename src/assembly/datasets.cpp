#include "datasets.h"

#include <string>
#include <vector>

#include "chartoptions.h"
#include "colorname.h"
#include "dbffile.h"
#include "fielderror.h"
#include "runtime.h"
#include "tchart.h"

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

struct RecordReader {
  const std::string& table;
  std::uint32_t number;
  std::string_view text;

  void CheckLeadNumber() const {
    DecodeField(table, number, "leadNumber",
                [&] { return StrToInt(TrimmedView(Field(text, kLeadFirst, kLeadLast))); });
  }
  std::string Label() const { return Trim(Field(text, kLabelFirst, kLabelLast)); }
  double Value(int dataSet) const {
    const std::size_t first = ValueFirst(dataSet);
    const std::string_view field = TrimmedView(Field(text, first, first + kValueWidth - 1));
    return DecodeField(
        table, number, [&] { return ValueField(dataSet); }, [&] { return StrToFloat(field); });
  }
  TColor Color(int dataSet, TColor fallback) const {
    const std::size_t first = ColorFirst(dataSet);
    return ColorFromName(UpperCase(TrimmedView(Field(text, first, first + kColorWidth - 1))),
                         fallback);
  }
};

}  // namespace

void LoadDataSets(const DbfFile& dataFile, const ChartOptions& options, TChart& chart) {
  std::vector<TChartSeries*> series;
  for (int j = 0; j < options.dataSetCount; ++j) series.push_back(chart.GetSeries(j));
  for (RecordCursor record(dataFile); record.Next();) {
    if (!record.IsActive()) continue;
    const RecordReader reader{dataFile.FileName(), record.Number(), record.Text()};
    reader.CheckLeadNumber();
    const std::string label = reader.Label();
    for (int j = 0; j < options.dataSetCount; ++j) {
      const double value = reader.Value(j);
      series[std::size_t(j)]->Add(value, label,
                                  reader.Color(j, series[std::size_t(j)]->SeriesColor()));
    }
  }
}
