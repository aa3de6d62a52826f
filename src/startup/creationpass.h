#pragma once
// The creation pass of a run, written once: open and check both tables, give the chart its
// defaults, read the property table, check the options, create the series, load the points and
// do the start-up outputs. The window unit, tarvo-inspect and tarvo-batch drive it, each with
// what stands for the window and the outputs in its case, and may watch every step.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "dbf/refusal.h"
#include "properties/chartoptions.h"
#include "properties/propertyfile.h"
#include "properties/valuelist.h"
#include "runtime/errors.h"
#include "startup/chartseries.h"
#include "startup/datasets.h"
#include "startup/startupoutputs.h"

class DbfFile;
struct PrintSettings;
namespace chart {
class ChartDocument;
}

// What the pass reads and decides, one per pass: the options of the property table and the one
// value list that its splits share.
struct PassState {
  ChartOptions options;
  ValueList valueList;
};

// Watches the pass step by step; every step is optional. The tables stay open until the outputs.
class PassObserver {
 public:
  virtual ~PassObserver() = default;
  // Both tables opened and checked; `refusal` when a check failed (the tables are closed after).
  virtual void TablesChecked(const DbfFile& /*propertyFile*/, const DbfFile& /*dataFile*/,
                             const Refusal* /*refusal*/) {}
  // The chart's and the window's defaults applied, before the first property record.
  virtual void DefaultsApplied(const PassState& /*state*/) {}
  // Each record of the property table, live or not, after its outcome, with what it left.
  virtual void PropertyRecord(std::uint32_t /*number*/, std::string_view /*text*/,
                              RecordOutcome /*outcome*/, const PassState& /*state*/) {}
  // What the property records left, before it is checked: `refusal` when the check fails.
  virtual void OptionsChecked(const PassState& /*state*/, const Refusal* /*refusal*/) {}
  // The series the style asks for, before they are created.
  virtual void SeriesPlanned(const SeriesPlan& /*plan*/) {}
  // Each record of the data table, live or not, before it is read.
  virtual void DataRecord(const RecordCursor& /*record*/) {}
  // The error that ends the pass after the table checks, before it goes on to the caller: the
  // tables are still open.
  virtual void Failed(const Exception& /*error*/) {}
};

// The tables that a run reads when it is given no names.
inline constexpr const char* kDefaultPropertyFileName = "ChartPro.DBF";
inline constexpr const char* kDefaultDataFileName = "ChartDat.DBF";

// What the pass acts on.
struct PassTargets {
  std::string propertyName;
  std::string dataName;
  WindowEffects& window;
  chart::ChartDocument& chart;
  PrintSettings& printSettings;  // the window's in a run with a window: the button prints again
  bool& skipRun;                 // cleared first; set by "NOSHOW"
  // The last step, RunStartupOutputs unless the driver stands in for it (a checker describes the
  // outputs instead of making them).
  std::function<void(const ChartOptions&, StartupTargets&)> outputs = RunStartupOutputs;
  std::function<void()> printChartPage{};  // prints the chart page; none: PRINT prints nothing
  std::function<void()> placeWindow{};     // places a run's window; none without a window
};

// Runs the pass. Returns the refusal of a table check or of the option check, which the driver
// shows; the tables are closed then. An error of a record, a value list, printing or the image
// file throws Exception and ends the pass where it arose, the tables closed on the way out.
std::optional<Refusal> RunCreationPass(PassTargets& targets, PassObserver* observer = nullptr);
