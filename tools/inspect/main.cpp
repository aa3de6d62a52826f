// tarvo-inspect PROPERTIES DATA: tells what tarvochart reads from its two tables, in the order
// and by the rules of its run, without drawing or showing anything. The exit status says
// whether the run would draw its chart.

#include <iostream>
#include <string>
#include <vector>

#include "creationpass.h"
#include "inspection.h"
#include "runtime.h"

namespace {

constexpr int kDrawsChart = 0;
constexpr int kEndsWithMessage = 1;
constexpr int kUsageError = 2;

constexpr const char* kHelp =
    R"(usage: tarvo-inspect [--all] [PROPERTIES.DBF DATA.DBF]

Tells what tarvochart reads from its two tables, in the order and by the rules of its run,
without drawing, printing or showing anything: the header and checks of each table; each
property record, what it set or why it had no effect; the settings and the check that follow;
the series that the chart style creates; and each data record with its label, values and
colours, or the error that would end the run, with its record and field.

Without table names it reads ChartPro.DBF and ChartDat.DBF in the current folder, as the
program does. Values are read with "." and with the decimal separator of your locale, as the
program reads them in the same environment.

  --all    show every record; a table of more than 40 records otherwise shows its first 20
           and last 10, and counts the others
  --help   show this text

Exit status:
  0  the run would draw its chart
  1  the run would end with a message instead: a table refused, a property refused
     ("DataSetCount is 0.", "ChartStyle undefined."), or a field that does not convert
  2  the command line is wrong
)";

int Usage(const std::string& problem) {
  std::cerr << "tarvo-inspect: " << problem << "\n"
            << "usage: tarvo-inspect [--all] [PROPERTIES.DBF DATA.DBF]; --help tells more\n";
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  bool all = false;
  std::vector<std::string> names;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      std::cout << kHelp;
      return kDrawsChart;
    }
    if (argument == "--all") {
      all = true;
    } else if (argument.rfind("--", 0) == 0) {
      return Usage("unknown option " + argument);
    } else {
      names.push_back(Trim(argument));  // the program trims its two names too
    }
  }
  if (names.empty()) names = {kDefaultPropertyFileName, kDefaultDataFileName};
  if (names.size() != 2) return Usage("give both tables, the property table first");
  const Verdict verdict = InspectTables(names[0], names[1], all, std::cout);
  std::cout.flush();
  return verdict == Verdict::DrawsChart ? kDrawsChart : kEndsWithMessage;
}
