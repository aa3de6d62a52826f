#include "startup/headlessrun.h"

#include "chart/document/chartdocument.h"
#include "properties/printsettings.h"
#include "properties/windowmodel.h"
#include "runtime/errors.h"
#include "startup/chartdefaults.h"
#include "startup/creationpass.h"

HeadlessOutcome RunHeadless(const std::string& propertyName, const std::string& dataName,
                            const PrintRoutine& print, const chart::NumberLocale& numbers) {
  HeadlessOutcome outcome;
  WindowModel window;  // the window keywords change a window no one sees
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
