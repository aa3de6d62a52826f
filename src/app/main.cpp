// tarvochart PROPERTIES DATA: builds one chart from two dBASE tables and shows, prints or
// saves it as the property table asks. The exit code is always 0; failures are reported in
// message boxes and on standard error. "--help" or "--version" as the one argument prints that
// and nothing else happens.

#include <QGuiApplication>
#include <string_view>

#include "app/tablenames.h"
#include "app/windowpart.h"
#include "chart/model/numberformat.h"
#include "platform/application/guiprocess.h"
#include "runtime/errors.h"
#include "runtime/standardoutput.h"
#include "startup/headlessrun.h"

namespace {

constexpr const char* kHelp =
    "Usage: tarvochart PROPERTIES.DBF DATA.DBF\n"
    "Draws one chart from two dBASE tables that a host application writes: the property table\n"
    "(chart style, data sets, titles, what to output) and the data table (one record per\n"
    "category). As the properties ask, the chart is shown in a window, printed, saved as an\n"
    "image file, or both without a window.\n"
    "\n"
    "With any other number of arguments the tables ChartPro.DBF and ChartDat.DBF in the\n"
    "current folder are read. Problems are reported in a message box and on standard error;\n"
    "the exit code is always 0 (with --help or --version: 3 where standard output cannot\n"
    "take the text).\n"
    "\n"
    "In the window, \"3D\" switches the 3D view, \"Print Graph\" prints the chart page and\n"
    "Escape closes the window. Hovering a bar, slice or line point shows its value; a\n"
    "right-click copies the chart or saves it as PNG, SVG or PDF.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The manual page: man tarvochart once installed; before, in the source folder:\n"
    "man -l src/app/tarvochart.1\n";

// "--help" or "--version" as the only argument; any other single argument is ignored, as
// before, and the default tables are read.
const char* InformationAsked(int argc, char** argv) {
  if (argc != 2) return nullptr;
  const std::string_view argument = argv[1];
  if (argument == "--help") return kHelp;
  if (argument == "--version") return "tarvochart " TARVO_VERSION "\n";
  return nullptr;
}

// Exit code 3 where standard output refuses the text (a full disk, a closed pipe), as in the
// tools; a chart run's exit code stays 0 whatever happens.
int Print(const char* text) { return WriteStandardOutput(text, kProgramName) ? 0 : kOutputLost; }

// Where no display can be named, no window can ever show: the same pass and outputs run
// without the window, and the window part is loaded only to print.
void RunWithoutWindow(int argc, char** argv) {
  SetUpProcess(argc, argv);
  const auto application = StartWindowlessApplication();
  const TableNames names = TableNamesFromCommandLine();
  const HeadlessOutcome outcome = RunHeadless(
      names.property, names.data,
      [](const auto& chart, const auto& settings) {
        std::string error;
        if (!LoadPrintChart()(chart, settings, error)) throw Exception(error);
      },
      chart::SystemNumberLocale());
  if (outcome.message) {
    WriteErrorLine(outcome.message->caption, outcome.message->text);
  } else if (outcome.windowAsked) {
    SayNoWindowCanBeShown();
  }
}

// With a display, the window part runs the creation pass in the window and shows it.
void RunWithWindow(int argc, char** argv) {
  try {
    LoadRunWithWindow()(argc, argv);
  } catch (const Exception& error) {
    WriteErrorLine(kProgramName, error.Text());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* information = InformationAsked(argc, argv)) return Print(information);
  if (DisplayNamed()) {
    RunWithWindow(argc, argv);
  } else {
    RunWithoutWindow(argc, argv);
  }
  return 0;
}
