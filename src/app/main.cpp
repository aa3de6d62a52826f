// tarvochart PROPERTIES DATA: builds one chart from two dBASE tables and shows, prints or
// saves it as the property table asks. The exit code is always 0; failures are reported in
// message boxes and on standard error. "--help" or "--version" as the one argument prints that
// and nothing else happens.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "application.h"
#include "creationpass.h"
#include "cupsprinter.h"
#include "headlessrun.h"
#include "printchartpage.h"
#include "runtime.h"
#include "tform1.h"
#include "unit1.h"

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
    "the exit code is always 0.\n"
    "\n"
    "In the window, \"3D\" switches the 3D view, \"Print Graph\" prints the chart page and\n"
    "Escape closes the window. Hovering a bar, slice or line point shows its value; a\n"
    "right-click copies the chart or saves it as PNG, SVG or PDF.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "See tarvochart(1).\n";

// "--help" or "--version" as the only argument; any other single argument is ignored, as
// before, and the default tables are read.
const char* InformationAsked(int argc, char** argv) {
  if (argc != 2) return nullptr;
  const std::string_view argument = argv[1];
  if (argument == "--help") return kHelp;
  if (argument == "--version") return "tarvochart " TARVO_VERSION "\n";
  return nullptr;
}

// Exit code 1 where standard output refuses the text (a full disk).
int Print(const char* text) {
  errno = 0;
  if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0) return 0;
  std::fprintf(stderr, "tarvochart: cannot write to standard output: %s\n",
               std::strerror(errno != 0 ? errno : EIO));
  return 1;
}

void ChooseTableNames() {
  if (ParamCount() == 2) {
    propertyFileName = Trim(ParamStr(1));
    dataFileName = Trim(ParamStr(2));
  } else {
    propertyFileName = kDefaultPropertyFileName;
    dataFileName = kDefaultDataFileName;
  }
}

// With a display, the window unit runs the creation pass and shows the window.
void RunWithWindow(int argc, char** argv) {
  try {
    Application.Initialize(argc, argv);
    ChooseTableNames();
    Application.CreateForm(Form1);
    if (!skipRun) Application.Run();
  } catch (const std::exception& error) {
    // An error that escapes the creation pass ends the run; it is shown once, here.
    Application.ShowException(error);
  }
  Form1.reset();
}

// Where no display can be named, no window can ever show: the same pass and outputs run
// without creating the window, so that such a run pays for nothing it does not use.
void RunWithoutWindow(int argc, char** argv) {
  Application.InitializeWithoutWindows(argc, argv);
  ChooseTableNames();
  const HeadlessOutcome outcome = RunHeadless(
      propertyFileName, dataFileName,
      [](const auto& chart, const auto& settings) { PrintChartPage(Printer, chart, settings); });
  if (outcome.message) {
    Application.MessageBox(outcome.message->text, outcome.message->caption);
  } else if (outcome.windowAsked) {
    Application.SayNoWindowCanBeShown();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* information = InformationAsked(argc, argv)) return Print(information);
  if (TApplication::DisplayNamed()) {
    RunWithWindow(argc, argv);
  } else {
    RunWithoutWindow(argc, argv);
  }
  Application.Finalize();
  return 0;
}
