#include "startup/datasets.h"

#include <string>
#include <vector>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "dbf/fielderror.h"
#include "dbf/recordlayout.h"
#include "properties/chartoptions.h"
#include "properties/colorname.h"
#include "runtime/numbers.h"
#include "runtime/text.h"

namespace {

std::string ValueField(int dataSet) {
  const FieldSpan value = data_record::Value(dataSet);
  return "value of data set " + std::to_string(dataSet + 1) + " (bytes " +
         std::to_string(value.first) + " to " + std::to_string(value.Last()) + ")";
}

}  // namespace

void DataRecordReader::CheckLeadNumber() const {
  DecodeField(table_, number_, "leadNumber",
              [&] { return StrToInt(TrimmedView(FieldText(text_, data_record::kLeadNumber))); });
}

std::string DataRecordReader::Label() const { return Trim(FieldText(text_, data_record::kLabel)); }

double DataRecordReader::Value(int dataSet) const {
  const std::string_view field = TrimmedView(FieldText(text_, data_record::Value(dataSet)));
  return DecodeField(
      table_, number_, [&] { return ValueField(dataSet); }, [&] { return StrToFloat(field); });
}

std::string DataRecordReader::ColorName(int dataSet) const {
  return UpperCase(TrimmedView(FieldText(text_, data_record::Color(dataSet))));
}

chart::Color DataRecordReader::Color(int dataSet, chart::Color fallback) const {
  return ColorFromName(ColorName(dataSet), fallback);
}

std::size_t DataRecordTextLength(int dataSets) { return data_record::TextLength(dataSets); }

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
        [&](int j, double value, const std::string& label, chart::Color color) {
          series[std::size_t(j)].Add(value, label, color);
        });
  }
}
