#pragma once
// The property table: every live record's keyword applied to the window, the chart, the run's
// options and the print settings, and the check that a chart can be built from the result.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime.h"

class DbfFile;
class QCheckBox;
class QPushButton;
class QWidget;
class TChart;
class ValueList;
struct ChartOptions;
struct PrintSettings;

// One live record of the property table, decoded at its fixed positions.
struct PropertyRecord {
  std::string table;  // the table's name and the record's number, for error texts
  std::uint32_t number = 0;
  int dataSetIndex = 0;  // the record's data-set number minus 1
  std::string keyword;   // trimmed, letters a to z upper-cased
  std::string value;     // trimmed, letter case as written
};

// What the keywords act on during one creation pass.
struct PropertyTargets {
  QWidget& window;
  TChart& chart;
  QCheckBox& checkBox3D;
  QPushButton& printButton;
  bool& skipRun;  // set by a windowless run
  ChartOptions& options;
  PrintSettings& printSettings;
  ValueList& valueList;  // the pass's one list, shared by every split
};

// Decodes record `number` of `table` from its text (the record without its flag byte). Both
// numbers must convert; otherwise throws Exception naming the table, the record and the field.
PropertyRecord DecodePropertyRecord(const std::string& table, std::uint32_t number,
                                    std::string_view text);

// Starts the page texts afresh, then applies every live record in file order. A conversion or range
// failure throws Exception naming the table, the record and the field; no later record is read.
void ReadPropertyFile(const DbfFile& propertyFile, PropertyTargets& targets);

// Performs the effect of the record's keyword; an unknown keyword is ignored.
void ApplyPropertyRecord(const PropertyRecord& record, PropertyTargets& targets);

// The refusal of options that name no data set, or no chart style ("NONE" or a style that names
// no kind of chart); nothing when a chart can be built from them.
std::optional<Refusal> CheckPropertyOptions(const ChartOptions& options);

inline constexpr const char* kPropertyProblemCaption = "ChartPro.DBF problem";
inline constexpr const char* kNoDataSetText = "DataSetCount is 0.";
inline constexpr const char* kNoChartStyleText = "ChartStyle undefined.";
