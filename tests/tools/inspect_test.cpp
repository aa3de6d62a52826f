// tarvo-inspect's report on tables with each kind of problem that ends the run, run as a host's
// test suite runs it: its report names the record, the field and the reason, ends with the very
// line that tarvochart itself shows and a verdict that the real run bears out, and its exit status
// says whether the run draws its chart (with --strict: and gave no warning). The rows of runs that
// draw are in inspect_draws_test.cpp, the other writers' tables in inspect_writers_test.cpp.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <regex>
#include <set>

#include "dbf/dbffile.h"
#include "dbfwrite/dbfwriter.h"
#include "inspect/nearestname.h"
#include "inspectcase.h"
#include "properties/chartoptions.h"
#include "properties/printsettings.h"
#include "properties/propertyfile.h"
#include "properties/valuelist.h"
#include "properties/windowmodel.h"
#include "startup/chartdefaults.h"
#include "support/runprogram.h"
#include "support/tablerows.h"
#include "window/tchart.h"
#include "window/tform1.h"
#include "window/windowcontrols.h"

using namespace inspect_test;

namespace {

const InspectCase kCases[] = {
    {"TypoInTheDataSetCount",
     {Row("DATASETCOUTN", "2"), Row("CHARTSTYLE", "PIE")},
     SoundData(),
     "ends with a message, 1 warning",
     {"record 1: DATASETCOUTN \"2\"\n    -> warning: no effect: there is no keyword "
      "\"DATASETCOUTN\" (did you mean DATASETCOUNT?)",
      "Check: refused, because no DATASETCOUNT record gave a count above 0"}},
    {"TypoInTheChartStyle",
     {Row("DATASETCOUNT", "1"), Row("chart style", "PIE")},
     SoundData(),
     "ends with a message, 1 warning",
     {"there is no keyword \"CHART STYLE\" (did you mean CHARTSTYLE?)",
      "because no CHARTSTYLE record set a style"}},
    {"StyleOfNoKind",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE;2")},
     SoundData(),
     "ends with a message, 0 warnings",
     {"the chart style \"PIE;2\" names no kind of chart"}},
    {"EmptyPrintPositions",
     WithRecords(kSoundProperties, {Row("PRINTPOS", " ; ")}),
     SoundData(),
     "ends with a message, 0 warnings",
     {"record 5: PRINTPOS \";\"\n    -> ends the run:",
      "P.DBF, record 5, field value: Range check error"}},
    {"BlankDataSetNumber",
     {Row("DATASETCOUNT", "1"), Row("TOPTITLE", "Sales", "")},
     SoundData(),
     "ends with a message, 0 warnings",
     {"record 2: TOPTITLE \"Sales\"\n    -> ends the run:",
      "P.DBF, record 2, field dataSetNumber: '' is not a valid integer value"}},
    {"MultiBarModeNotANumber",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "BAR;two")},
     SoundData(),
     "ends with a message, 0 warnings",
     {"the chart style's multi-bar mode ends the run",
      "P.DBF, record 2, field value item 2 (multi-bar mode): 'TWO' is not a valid integer value"}},
    {"DataValueNotANumber",
     kSoundProperties,
     DataWith("1", "12,5x"),
     "ends with a message, 0 warnings",
     {"record 2: ends the run:",
      "D.DBF, record 2, field value of data set 1 (bytes 33 to 52): '12,5x' is not a valid "
      "floating point value"}},
    {"DataLeadNumberBlank",
     kSoundProperties,
     DataWith(" ", "3"),
     "ends with a message, 0 warnings",
     {"D.DBF, record 2, field leadNumber: '' is not a valid integer value"}},
    {"DataRecordsTooShort",
     kSoundProperties,
     DataTable(1, {{"1", "Jan", {{"10", ""}}}}),
     "ends with a message, 0 warnings",
     {"records of 63 bytes hold 1 data set whole; the property table asks for 2",
      "field value of data set 2 (bytes 63 to 82): '' is not a valid floating point value"}},
    {"PropertyTableVersion",
     kSoundProperties,
     SoundData(),
     "ends with a message, 0 warnings",
     {"data table \"D.DBF\"\n    version 0x03 (dBASE)\n  property table \"P.DBF\"\n    version "
      "0x83 "
      "(a version the program does not read",
      "The run stops here:"},
     {},
     0x83},
    {"AFolderGivenAsATable",
     kSoundProperties,
     SoundData(),
     "ends with a message, 0 warnings",
     {"data table \".\"\n    cannot be opened: it is not a file (a folder, a FIFO or a device)"},
     {},
     3,
     {},
     {"P.DBF", "."}},
    {"PropertyTableCut",
     kSoundProperties,
     SoundData(),
     "ends with a message, 0 warnings",
     {"header 161 bytes, then 4 records of 134 bytes up to byte 697; the file has 598 bytes: the "
      "size DISAGREES with the header (the file ends 99 bytes before its last record)"},
     {},
     3,
     CutBytes(100)},
    {"MisspeltImageKeywordMakesNothing",
     WithRecords(kWindowless, {Row("BITMAPFIEL", "y.png;600;800")}),
     SoundData(),
     "makes nothing, 1 warning",
     {"-> warning: no effect: there is no keyword \"BITMAPFIEL\" (did you mean BITMAPFILE?)",
      "Result: the run makes nothing: it shows no window (NOSHOW), prints nothing and writes no "
      "image file",
      "  record 4 \"BITMAPFIEL\" (did you mean BITMAPFILE?) had no effect"}},
    {"ImageSizeAsOnePairMakesNothing",
     WithRecords(kWindowless, {Row("BITMAPFILE", "y.png;800x600")}),
     SoundData(),
     "makes nothing, 1 warning",
     {"-> image file \"y.png\", 800600 high and 0 wide\n    warning: the size reads as 800600 high "
      "and 0 wide (\"800x600\" read from its digits alone): a height or width of 0 writes no "
      "file; write \"y.png;600;800\", the height first, then the width",
      "  the image file \"y.png\" is 800600 high and 0 wide: a height or width of 0 writes no "
      "file"}},
    // DATALABELS speaks of bars: a pie labels its slices whatever it says.
    {"APieSaysItLabelsItsSlices",
     kWindowless,
     SoundData(),
     "makes nothing, 0 warnings",
     {"data labels         on the slices (a pie always shows them)\n"}},
    {"TablesSwapped",
     kSoundProperties,
     SoundData(),
     "ends with a message, 1 warning",
     {"  Both tables pass.\n  warning: the tables look swapped: the property table \"D.DBF\" "
      "holds data records (records of 93 bytes, no keyword in the first) and the data table "
      "\"P.DBF\" holds property records (its first holds the keyword DATASETCOUNT): give the "
      "property table first",
      "D.DBF, record 1, field dataSetNumber: 'J' is not a valid integer value"},
     {},
     3,
     {},
     {"D.DBF", "P.DBF"}},
    {"PropertyTableGivenForTheData",
     kSoundProperties,
     SoundData(),
     "ends with a message, 1 warning",
     {"warning: the data table \"P.DBF\" holds property records (its first holds the keyword "
      "DATASETCOUNT): give the property table first, the data table second"},
     {},
     3,
     {},
     {"P.DBF", "P.DBF"}},
};

bool Asks(const Rows& rows, const std::string& keyword) {
  return std::ranges::any_of(rows, [&](const PropertyRow& row) { return row.keyword == keyword; });
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The exit status that the verdict gives, with or without --strict.
int StatusOf(const std::string& verdict, bool strict) {
  if (!verdict.starts_with("draws")) return 1;
  return strict && !verdict.ends_with(", 0 warnings") ? 1 : 0;
}

std::vector<std::string> ArgumentsOf(const InspectCase& c, bool strict = false) {
  std::vector<std::string> arguments = c.options;
  if (strict) arguments.push_back("--strict");
  arguments.insert(arguments.end(), c.tables.begin(), c.tables.end());
  return arguments;
}

// The real run bears the verdict out where it can run here: the same message, nothing made, or
// the image file on disk. Runs that print or show a window are left out (no printer, no display).
void ExpectTheRealRunAgrees(const InspectCase& c, const QTemporaryDir& dir,
                            const std::string& report) {
  const bool windowless = Asks(c.properties, "NOSHOW") && !Asks(c.properties, "PRINT");
  if (c.verdict.starts_with("draws") && !windowless) return;
  const RunResult run = RunTarvochart(c.tables, dir.path().toStdString());
  ASSERT_TRUE(run.finished);
  if (c.verdict.starts_with("ends with a message")) {
    // The report quotes the program's own message, as the program writes it.
    ASSERT_FALSE(run.standardError.empty());
    EXPECT_NE(report.find("    " + run.standardError), std::string::npos)
        << run.standardError << "\nin:\n"
        << report;
    EXPECT_NE(report.find("\nResult: the run ends with this message"), std::string::npos);
    return;
  }
  EXPECT_EQ(run.standardError, "");
  const QStringList files = QDir(dir.path()).entryList(QDir::Files);
  EXPECT_EQ(files.size(), c.verdict.starts_with("makes nothing") ? 2 : 3)
      << files.join(" ").toStdString();
}

TEST_P(InspectReport, NamesWhatTheRunReadsWarnsAndEndsWithItsVerdict) {
  const InspectCase& c = GetParam();
  const std::string folder = WriteTables(c);
  const RunResult strict = RunProgram(TARVO_INSPECT_PATH, ArgumentsOf(c, true), folder);
  const RunResult inspected = RunProgram(TARVO_INSPECT_PATH, ArgumentsOf(c), folder);
  for (const RunResult* result : {&inspected, &strict}) {
    ASSERT_TRUE(result->finished);
    EXPECT_EQ(result->exitCode, StatusOf(c.verdict, result == &strict)) << result->standardOutput;
    EXPECT_EQ(result->standardError, "");
    EXPECT_TRUE(result->standardOutput.ends_with("\nverdict: " + c.verdict + "\n"))
        << result->standardOutput;
  }
  for (const std::string& fragment : c.report) {
    EXPECT_NE(inspected.standardOutput.find(fragment), std::string::npos)
        << "missing: " << fragment << "\nin:\n"
        << inspected.standardOutput;
  }
  // Every warning counted is shown, each under what it concerns.
  const std::size_t warnings = std::stoul(c.verdict.substr(c.verdict.rfind(", ") + 2));
  EXPECT_EQ(Occurrences(inspected.standardOutput, "warning: "), warnings);
  ExpectTheRealRunAgrees(c, dir_, inspected.standardOutput);
}

INSTANTIATE_TEST_SUITE_P(Tables, InspectReport, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
