#pragma once
// The property table: every live record's keyword applied to the window, the chart, the run's
// options and the print settings, and the check that a chart can be built from the result.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "dbf/refusal.h"

class DbfFile;
class ValueList;
namespace chart {
class ChartDocument;
}
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

// What the creation pass changes at once on the chart window's own controls. The window unit's
// widgets stand behind it in a run with a window; a run without one, and a checker, keep the
// same changes as plain data or none.
class WindowEffects {
 public:
  virtual ~WindowEffects() = default;
  virtual void HideWindow() = 0;
  virtual void ShowPrintButton() = 0;
  virtual void HidePrintButton() = 0;
  // Unchecks the "3D" box (with the chart flat, so that the two agree).
  virtual void Uncheck3DCheckBox() = 0;
  virtual void Hide3DCheckBox() = 0;
};

// What the keywords act on: the window's controls and the chart at once, and what later steps
// read.
struct KeywordTargets {
  WindowEffects& window;
  chart::ChartDocument& chart;
  bool& skipRun;  // set by a windowless run
  ChartOptions& options;
  PrintSettings& printSettings;
  ValueList& valueList;  // the pass's one list, shared by every split
};

// What became of one record of the pass.
enum class RecordOutcome {
  Applied,          // its keyword acted (it may have set what was already so)
  NotLive,          // its flag byte is not a blank (a deleted record): not even decoded
  UnknownKeyword,   // no keyword of the table is equal to it
  DataSetNotTaken,  // a data-set title or colour for a number above count + 1, or of 0 or less
  PageTextsFull,    // a page text after the tenth
};

// Sees every record of the pass, live or not, in file order, after its outcome; `text` is the
// record without its flag byte. A record that ends the pass with an error is not seen.
using PropertyObserver =
    std::function<void(std::uint32_t number, std::string_view text, RecordOutcome outcome)>;

// The four fields of a property record's text at their fixed positions (recordlayout.h),
// trimmed, nothing converted.
struct PropertyFields {
  std::string leadNumber;
  std::string dataSetNumber;
  std::string keyword;  // letter case as written
  std::string value;
};
PropertyFields PropertyFieldsOf(std::string_view text);

// Decodes record `number` of `table` from its text (the record without its flag byte). Both
// numbers must convert; otherwise throws Exception naming the table, the record and the field.
PropertyRecord DecodePropertyRecord(const std::string& table, std::uint32_t number,
                                    std::string_view text);

// Starts the page texts afresh, then applies every live record in file order; `observer`, when
// given, sees each record's outcome. A conversion or range failure throws Exception naming the
// table, the record and the field; no later record is read.
void ReadPropertyFile(const DbfFile& propertyFile, KeywordTargets& targets,
                      const PropertyObserver& observer = {});

// Performs the effect of the record's keyword and says whether it acted, or why not.
RecordOutcome ApplyPropertyRecord(const PropertyRecord& record, KeywordTargets& targets);

// The refusal of options that name no data set, or no chart style ("NONE" or a style that names
// no kind of chart); nothing when a chart can be built from them.
std::optional<Refusal> CheckPropertyOptions(const ChartOptions& options);

inline constexpr const char* kPropertyProblemCaption = "ChartPro.DBF problem";
inline constexpr const char* kNoDataSetText = "DataSetCount is 0.";
inline constexpr const char* kNoChartStyleText = "ChartStyle undefined.";
