// The window part's two entry points; built into libtarvochart-window.so.

#include "app/windowpart.h"

#include <exception>
#include <type_traits>

#include "app/tablenames.h"
#include "platform/application/application.h"
#include "platform/printer/cupsprinter.h"
#include "print/printchartpage.h"
#include "runtime/signalcleanup.h"
#include "window/tform1.h"

extern "C" __attribute__((visibility("default"))) void TarvoRunWithWindow(int argc, char** argv) {
  try {
    Application.Initialize(argc, argv);
    const TableNames names = TableNamesFromCommandLine();
    Application.CreateForm(Form1, names.property, names.data);
    if (!Form1->skipRun) Application.Run();
  } catch (const std::exception& error) {
    // An error that escapes the creation pass ends the run; it is shown once, here.
    Application.ShowException(error);
  }
  Form1.reset();
  Application.Finalize();
}

extern "C" __attribute__((visibility("default"))) bool TarvoPrintChart(
    const chart::ChartDocument& chart, const PrintSettings& settings, std::string& error) {
  // The page's temporary files are registered in this library's own registry.
  RemoveTemporariesOnSignals();
  try {
    CupsPrinter printer;
    PrintChartPage(printer, chart, settings);
    return true;
  } catch (const Exception& failure) {
    error = failure.Text();
  } catch (const std::exception& failure) {
    error = failure.what();
  }
  return false;
}

// The exported functions must have the types that the program expects of them.
static_assert(std::is_same_v<decltype(TarvoRunWithWindow), RunWithWindowFunction>);
static_assert(std::is_same_v<decltype(TarvoPrintChart), PrintChartFunction>);
