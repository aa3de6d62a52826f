#include "startup/creationpass.h"

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "dbf/tablecheck.h"
#include "startup/chartdefaults.h"

namespace {

std::optional<Refusal> CheckTables(DbfFile& propertyFile, DbfFile& dataFile,
                                   const PassTargets& targets, PassObserver* observer) {
  std::optional<Refusal> refusal =
      OpenAndCheckTables(propertyFile, targets.propertyName, dataFile, targets.dataName);
  if (observer) observer->TablesChecked(propertyFile, dataFile, refusal ? &*refusal : nullptr);
  if (refusal) CloseTables(propertyFile, dataFile);
  return refusal;
}

PropertyObserver PropertyRecordsTo(PassObserver* observer, const PassState& state) {
  if (!observer) return {};
  return [observer, &state](std::uint32_t number, std::string_view text, RecordOutcome outcome) {
    observer->PropertyRecord(number, text, outcome, state);
  };
}

DataRecordObserver DataRecordsTo(PassObserver* observer) {
  if (!observer) return {};
  return [observer](const RecordCursor& record) { observer->DataRecord(record); };
}

// The pass after both tables passed their checks.
std::optional<Refusal> RunCheckedPass(DbfFile& propertyFile, DbfFile& dataFile,
                                      PassTargets& targets, PassObserver* observer) {
  PassState state;
  const ChartSize savedChartSize = ApplyChartDefaults(targets.chart, targets.window, state.options);
  KeywordTargets keywords{targets.window, targets.chart,         targets.skipRun,
                          state.options,  targets.printSettings, state.valueList};
  if (observer) observer->DefaultsApplied(state);
  ReadPropertyFile(propertyFile, keywords, PropertyRecordsTo(observer, state));
  const std::optional<Refusal> refusal = CheckPropertyOptions(state.options);
  if (observer) observer->OptionsChecked(state, refusal ? &*refusal : nullptr);
  if (refusal) {
    CloseTables(propertyFile, dataFile);
    return refusal;
  }

  const SeriesPlan plan = PlanDataSetSeries(state.options, propertyFile.FileName());
  if (observer) observer->SeriesPlanned(plan);
  CreateDataSetSeries(state.options, plan, targets.chart);
  LoadDataSets(dataFile, state.options, targets.chart, DataRecordsTo(observer));

  StartupTargets outputs{propertyFile,       dataFile,        targets.chart,
                         savedChartSize,     targets.skipRun, targets.printChartPage,
                         targets.placeWindow};
  targets.outputs(state.options, outputs);
  return std::nullopt;
}

}  // namespace

std::optional<Refusal> RunCreationPass(PassTargets& targets, PassObserver* observer) {
  targets.skipRun = false;
  // Declared in this order so that leaving the pass closes the data table first.
  DbfFile propertyFile;
  DbfFile dataFile;
  if (auto refusal = CheckTables(propertyFile, dataFile, targets, observer)) return refusal;
  try {
    return RunCheckedPass(propertyFile, dataFile, targets, observer);
  } catch (const Exception& error) {
    if (observer) observer->Failed(error);
    throw;
  }
}
