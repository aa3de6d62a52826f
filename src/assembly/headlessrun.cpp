#include "headlessrun.h"

#include "chart/chartdocument.h"
#include "chartdefaults.h"
#include "creationpass.h"
#include "printsettings.h"
#include "runtime.h"

namespace {

// The window keywords act on nothing.
class NoWindow : public WindowEffects {
 public:
  void HideWindow() override {}
  void ShowPrintButton() override {}
  void HidePrintButton() override {}
  void Uncheck3DCheckBox() override {}
  void Hide3DCheckBox() override {}
};

}  // namespace

TableNames TableNamesFromCommandLine() {
  if (ParamCount() == 2) return {Trim(ParamStr(1)), Trim(ParamStr(2))};
  return {kDefaultPropertyFileName, kDefaultDataFileName};
}

HeadlessOutcome RunHeadless(const std::string& propertyName, const std::string& dataName,
                            const PrintRoutine& print, const chart::NumberLocale& numbers) {
  HeadlessOutcome outcome;
  NoWindow window;
  chart::ChartDocument chart;
  ApplyChartDesign(chart);
  chart.SetNumberLocale(numbers);
  PrintSettings printSettings;
  bool skipRun = false;
  PassTargets targets{propertyName, dataName, window, chart, printSettings, skipRun};
  // With no one to answer the print dialog, the page goes where the dialog would send it when
  // accepted as it opens: to the default destination.
  targets.printChartPage = [&] {
    print(chart, printSettings);
    outcome.printed = true;
  };
  targets.outputs = [&](const ChartOptions& options, StartupTargets& outputs) {
    RunStartupOutputs(options, outputs);
    if (WritesImageFile(options)) outcome.imageFile = options.bitmapFile;
  };
  try {
    if (const auto refusal = RunCreationPass(targets)) {
      outcome.message = RunMessage{refusal->caption, refusal->text};
      return outcome;
    }
  } catch (const Exception& error) {
    outcome.message = RunMessage{kProgramName, error.Text()};
    return outcome;
  } catch (const std::exception& error) {
    outcome.message = RunMessage{kProgramName, error.what()};
    return outcome;
  }
  outcome.windowAsked = !skipRun;
  return outcome;
}
