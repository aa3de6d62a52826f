#pragma once
// The points of the chart, from the data table.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "chart/model/color.h"

class DbfFile;
class RecordCursor;
struct ChartOptions;
namespace chart {
class ChartDocument;
}

// One data record decoded at its fixed positions, field by field, as LoadDataSets reads it.
// `text` is the record without its flag byte. A field past the end of the text is empty.
class DataRecordReader {
 public:
  DataRecordReader(const std::string& table, std::uint32_t number, std::string_view text)
      : table_(table), number_(number), text_(text) {}

  // The lead number must be an integer although it is not used; throws Exception naming the
  // table, the record and the field.
  void CheckLeadNumber() const;
  std::string Label() const;
  // The value of data set `dataSet` (from 0); throws Exception naming the table, the record and
  // the field when it is not a number.
  double Value(int dataSet) const;
  // The colour field of data set `dataSet`, trimmed and upper-cased.
  std::string ColorName(int dataSet) const;
  // The colour that field names; `fallback` when it holds none of the colour names.
  chart::Color Color(int dataSet, chart::Color fallback) const;

 private:
  const std::string& table_;
  std::uint32_t number_;
  std::string_view text_;
};

// Decodes a live record in the run's order: the lead number, the label, then data set by data
// set its value and its colour (`fallback(j)` where none is named), each handed to
// `point(j, value, label, colour)`. A field that does not convert ends it with its Exception.
template <class Fallback, class Point>
void DecodeDataRecord(const DataRecordReader& reader, int dataSets, Fallback&& fallback,
                      Point&& point) {
  reader.CheckLeadNumber();
  const std::string label = reader.Label();
  for (int j = 0; j < dataSets; ++j) {
    const double value = reader.Value(j);
    point(j, value, label, reader.Color(j, fallback(j)));
  }
}

// The length of a record's text (without its flag byte) that holds `dataSets` data sets whole.
std::size_t DataRecordTextLength(int dataSets);

// Every active record of the data table, in file order, adds one point to every series: series j
// takes the value and the colour of data set j+1 and the record's label. The fields lie at fixed
// byte positions (flag 0, lead number 1-2, label 3-32, then 30 bytes per data set: a value of 20
// and a colour name of 10); a field past the end of a record is empty. A lead number or a value
// that does not convert throws Exception naming the table, the record and the field; the points
// added before stay. `observer`, when given, sees each record, live or not, before it is read.
using DataRecordObserver = std::function<void(const RecordCursor& record)>;
void LoadDataSets(const DbfFile& dataFile, const ChartOptions& options, chart::ChartDocument& chart,
                  const DataRecordObserver& observer = {});
