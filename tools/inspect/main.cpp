// tarvo-inspect PROPERTIES DATA: tells what tarvochart reads from its two tables, in the order
// and by the rules of its run, without drawing or showing anything, and warns of what the run
// does otherwise than the tables seem to ask. The exit status says whether the run would draw its
// chart and make its outputs.
#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "inspect/inspection.h"
#include "platform/application/guiprocess.h"
#include "runtime/standardoutput.h"
#include "runtime/text.h"
#include "startup/creationpass.h"

namespace {

constexpr int kDrawsChart = 0;
constexpr int kEndsWithMessage = 1;  // also: makes nothing, or a warning with --strict
constexpr int kUsageError = 2;

constexpr const char* kHelp =
    R"(usage: tarvo-inspect [--all] [--strict] [--size WxH] [PROPERTIES.DBF DATA.DBF]

Tells what tarvochart reads from its two tables, in the order and by the rules of its run,
without drawing, printing or showing anything: the header and checks of each table; each
property record, what it set or why it had no effect; the settings and the check that follow;
the series that the chart style creates; and each data record with its label, values and
colours, or the error that would end the run, with its record and field.

It warns, at the record concerned, of what makes the run do less than the tables seem to ask:
a record without effect (an unknown keyword, with the nearest one; a data set beyond the
count; an eleventh page text), an image size of 0 or one that does not read as two numbers,
an image name that gives a BMP file (".gif"), a colour that is no colour name (with the
nearest names), a bar style that gives horizontal bars although it is not "BAR" ("VERTBARS"),
a data-set title or colour beyond the data-set count, tables that look swapped, PRINT with
PRINTSETUP in a NOSHOW run, whose dialog a run without a display cannot show, and a page text
outside the printable area. It reads the field descriptors and the code page byte, which the
program never reads, to name a field that lies elsewhere than the program reads it (with the
fix for LibreOffice Calc and GDAL), texts in a DOS code page, a dBASE null ("**") and a table
with memo. Where the tables print, it tells the printer, its resolution and its page in pixels.

It lays the chart out, without drawing it, at the size of its image file and of the window as
it opens, and warns of what the layout leaves out there: data labels, category labels, axis
titles, the value axis' labels, title lines, legend entries; with the size from which all the
data labels and category labels would show.

Without table names it reads ChartPro.DBF and ChartDat.DBF in the current folder, as the
program does. Values are read with "." and with the decimal separator of your locale, as the
program reads them in the same environment.

  --all      show every record; a table of more than 40 records otherwise shows its first 20
             and last 10, and counts the others
  --strict   exit with 1 when there is any warning
  --size WxH lay the chart out as an image of W x H pixels instead (for example --size 1200x700)
  --help     show this text
  --version  show the version

The last line of the report is its verdict, in one of these forms, N the number of warnings:
  verdict: draws, N warnings            the run draws its chart and makes its outputs
  verdict: ends with a message, N warnings
  verdict: makes nothing, N warnings    a run without window, image file or print
("1 warning" when there is one).

Exit status:
  0  the run would draw its chart (with --strict: and there is no warning)
  1  the run would end with a message instead: a table refused, a property refused
     ("DataSetCount is 0.", "ChartStyle undefined."), or a field that does not convert;
     or it would make nothing (NOSHOW without an image file or PRINT); or, with --strict,
     there is a warning
  2  the command line is wrong
  3  the report (or the text of --help, --version) could not be written: a full disk, a
     closed pipe; standard error says why

The manual page: man tarvo-inspect once installed; before, in the source folder:
man -l tools/inspect/tarvo-inspect.1
)";

int Usage(const std::string& problem) {
  std::cerr << "tarvo-inspect: " << problem << "\n"
            << "usage: tarvo-inspect [--all] [--strict] [--size WxH] [PROPERTIES.DBF DATA.DBF]; "
               "--help tells "
               "more\n";
  return kUsageError;
}

// Writes the report to standard output; `status` once it is out.
int Finish(std::string_view report, int status) {
  return WriteStandardOutput(report, "tarvo-inspect") ? status : kOutputLost;
}

// "1200x700": a width and a height, each 1 to 32767, as an image file may be.
std::optional<QSize> ImageSize(const std::string& text) {
  int width = 0, height = 0;
  char x = 0, rest = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3 || x != 'x')
    return std::nullopt;
  if (width < 1 || height < 1 || width > 32767 || height > 32767) return std::nullopt;
  return QSize(width, height);
}

// The exit status of a report with `result`.
int ExitStatus(const InspectionResult& result, bool strict) {
  if (result.verdict != Verdict::DrawsChart) return kEndsWithMessage;
  return strict && result.warnings > 0 ? kEndsWithMessage : kDrawsChart;
}

}  // namespace

int main(int argc, char** argv) {
  bool all = false;
  bool strict = false;
  std::optional<QSize> size;
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") return Finish(kHelp, kDrawsChart);
    if (argument == "--version") return Finish("tarvo-inspect " TARVO_VERSION "\n", kDrawsChart);
    if (argument == "--all") {
      all = true;
    } else if (argument == "--strict") {
      strict = true;
    } else if (argument == "--size") {
      size = i + 1 < argc ? ImageSize(argv[++i]) : std::nullopt;
      if (!size) return Usage("--size takes a width and a height: --size 1200x700");
    } else if (argument.rfind("--", 0) == 0) {
      return Usage("unknown option " + argument);
    } else {
      names.push_back(Trim(argument));  // the program trims its two names too
    }
  }
  if (names.empty()) names = {kDefaultPropertyFileName, kDefaultDataFileName};
  if (names.size() != 2) return Usage("give both tables, the property table first");
  SetUpProcess(argc, argv);
  const auto application = StartWindowlessApplication();  // measures the chart's texts
  std::ostringstream report;
  const InspectionResult result = InspectTables(names[0], names[1], all, report, size);
  return Finish(report.str(), ExitStatus(result, strict));
}
