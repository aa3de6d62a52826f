// tarvo-inspect on the example tables and on tables with each kind of problem, run as a host's
// test suite runs it: its report names the record, the field and the reason, ends with the very
// line that tarvochart itself shows, and its exit status says whether the run draws its chart.
// Beside it, the plain window that the checker follows agrees with the real one.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "chartdefaults.h"
#include "chartoptions.h"
#include "dbffile.h"
#include "dbfwriter.h"
#include "printsettings.h"
#include "propertyfile.h"
#include "runprogram.h"
#include "tablerows.h"
#include "tchart.h"
#include "tform1.h"
#include "valuelist.h"
#include "windowcontrols.h"
#include "windowmodel.h"

namespace {

using Rows = std::vector<PropertyRow>;
using Fragments = std::vector<std::string>;

const Rows kSoundProperties = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "vertbar;2"),
                               Row("DATASETTITLE", "North"), Row("DATASETCOLOR", "navy", "2")};

DbfTable SoundData() {
  return DataTable(2, {{"1", "Jan", {{"10", "red"}, {"20", ""}}},
                       {"1", "Feb", {{"1.5e1", ""}, {"-3", "pink"}}}});
}

DbfTable DataWith(const std::string& lead, const std::string& value) {
  return DataTable(
      2, {{"1", "Jan", {{"10", ""}, {"20", ""}}}, {lead, "Feb", {{value, ""}, {"1", ""}}}});
}

DbfTable LongData(int records) {
  std::vector<DataRow> rows;
  for (int i = 1; i <= records; ++i) {
    rows.push_back({"1", "label " + std::to_string(i), {{std::to_string(i), ""}, {"0", ""}}});
  }
  if (records >= 50) rows[49].deleted = true;
  return DataTable(2, rows);
}

DbfDamage CutBytes(std::uint64_t bytes) {
  DbfDamage damage;
  damage.cutBytes = bytes;
  return damage;
}

struct InspectCase {
  std::string name;
  Rows properties;
  DbfTable data;
  int exitStatus;
  Fragments report;  // each stands in the report
  std::vector<std::string> options = {};
  std::uint8_t propertyVersion = 3;
  DbfDamage propertyDamage = {};
};

void PrintTo(const InspectCase& c, std::ostream* out) { *out << c.name; }

Rows WithRecords(Rows rows, const Rows& more) {
  rows.insert(rows.end(), more.begin(), more.end());
  return rows;
}

Rows ElevenPageTexts() {
  Rows rows = kSoundProperties;
  for (int i = 1; i <= 11; ++i)
    rows.push_back(Row("PRINTPAGETEXT", "T" + std::to_string(i) + ";1;2;Sans;9;bi"));
  return rows;
}

const InspectCase kCases[] = {
    {"SoundTables",
     kSoundProperties,
     SoundData(),
     0,
     {"Both tables pass.", "record 2: CHARTSTYLE \"vertbar;2\"\n    -> chart style \"VERTBAR;2\"",
      "record 3: DATASETTITLE (data set 1) \"North\"\n    -> title of data set 1 \"North\"; legend "
      "shown",
      "2 vertical bar series, value marks hidden, multi-bar mode 2: stacked",
      "series 1: title \"North\", colour: the chart's own",
      "series 2: no title, colour: navy #000080", "record 1: \"Jan\"  10 RED #FF0000 | 20",
      "record 2: \"Feb\"  15 | -3 \"PINK\" (no colour of that name: the series' colour)",
      "2 live records: 2 points in every series",
      "Result: the run draws its chart and shows it in the window"}},
    {"TypoInTheDataSetCount",
     {Row("DATASETCOUTN", "2"), Row("CHARTSTYLE", "PIE")},
     SoundData(),
     1,
     {"record 1: DATASETCOUTN \"2\"\n    -> no effect: there is no keyword \"DATASETCOUTN\" (did "
      "you "
      "mean DATASETCOUNT?)",
      "Check: refused, because no DATASETCOUNT record gave a count above 0"}},
    {"TypoInTheChartStyle",
     {Row("DATASETCOUNT", "1"), Row("chart style", "PIE")},
     SoundData(),
     1,
     {"there is no keyword \"CHART STYLE\" (did you mean CHARTSTYLE?)",
      "because no CHARTSTYLE record set a style"}},
    {"StyleOfNoKind",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE;2")},
     SoundData(),
     1,
     {"the chart style \"PIE;2\" names no kind of chart"}},
    {"RecordsWithoutEffect",
     WithRecords(kSoundProperties,
                 {{.lead = "x", .dataSet = "", .keyword = "NOSHOW", .value = "", .deleted = true},
                  Row("DATASETTITLE", "East", "3"),
                  Row("DATASETTITLE", "West", "4"),
                  Row("DATASETCOLOR", "red", "0"),
                  Row("PRINT"),
                  Row("PRINT")}),
     SoundData(),
     0,
     {"record 5: NOSHOW\n    -> skipped: deleted",
      "-> title of data set 3 \"East\" (kept, but the data-set count in force is 2",
      "record 7: DATASETTITLE (data set 4) \"West\"\n    -> no effect: data set 4 is beyond the "
      "data-set count in force at this record (2)",
      "record 8: DATASETCOLOR (data set 0) \"red\"\n    -> no effect: data-set number 0 is not "
      "above 0",
      "record 9: PRINT\n    -> prints the chart page at start-up",
      "record 10: PRINT\n    -> nothing new: it sets what is already so",
      "the run draws its chart, prints the chart page and shows it"}},
    {"EleventhPageText",
     ElevenPageTexts(),
     SoundData(),
     0,
     {"-> page text 10: \"T10\" at x 1, y 2 (printer pixels) in \"Sans\" 9 pt bold italic",
      "record 15: PRINTPAGETEXT \"T11;1;2;Sans;9;bi\"\n    -> no effect: the page already holds 10 "
      "page texts"}},
    {"WindowlessImage",
     WithRecords(kSoundProperties,
                 {Row("NOSHOW"), Row("BITMAPFILE", "out.svg;300;400"), Row("2D")}),
     SoundData(),
     0,
     {"-> no window: the run ends by itself after its outputs",
      "-> chart flat, the \"3D\" box unchecked",
      "image file          \"out.svg\", SVG, 300 high and 400 wide",
      "the run draws its chart, writes \"out.svg\" and ends by itself (NOSHOW)."}},
    {"EmptyPrintPositions",
     WithRecords(kSoundProperties, {Row("PRINTPOS", " ; ")}),
     SoundData(),
     1,
     {"record 5: PRINTPOS \";\"\n    -> ends the run:",
      "P.DBF, record 5, field value: Range check error"}},
    {"BlankDataSetNumber",
     {Row("DATASETCOUNT", "1"), Row("TOPTITLE", "Sales", "")},
     SoundData(),
     1,
     {"record 2: TOPTITLE \"Sales\"\n    -> ends the run:",
      "P.DBF, record 2, field dataSetNumber: '' is not a valid integer value"}},
    {"MultiBarModeNotANumber",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "BAR;two")},
     SoundData(),
     1,
     {"the chart style's multi-bar mode ends the run",
      "P.DBF, record 2, field value item 2 (multi-bar mode): 'TWO' is not a valid integer value"}},
    {"DataValueNotANumber",
     kSoundProperties,
     DataWith("1", "12,5x"),
     1,
     {"record 2: ends the run:",
      "D.DBF, record 2, field value of data set 1 (bytes 33 to 52): '12,5x' is not a valid "
      "floating point value"}},
    {"DataLeadNumberBlank",
     kSoundProperties,
     DataWith(" ", "3"),
     1,
     {"D.DBF, record 2, field leadNumber: '' is not a valid integer value"}},
    {"DataRecordsTooShort",
     kSoundProperties,
     DataTable(1, {{"1", "Jan", {{"10", ""}}}}),
     1,
     {"records of 63 bytes hold 1 data set whole; the property table asks for 2",
      "field value of data set 2 (bytes 63 to 82): '' is not a valid floating point value"}},
    {"NoDataRecords",
     kSoundProperties,
     DataTable(2, {}),
     0,
     {"0 live records: 0 points in every series (the series are empty: the chart shows no data)"}},
    {"LongTableShowsItsEnds",
     kSoundProperties,
     LongData(100),
     0,
     {"record 20: \"label 20\"  20 | 0\n  ... records 21 to 90 not shown (1 of them deleted); "
      "--all "
      "shows every record\n  record 91: \"label 91\"",
      "record 100: \"label 100\"", "99 live records"}},
    {"FortyRecordsShownWhole",
     kSoundProperties,
     LongData(40),
     0,
     {"record 21: \"label 21\"", "record 40: \"label 40\"", "40 live records"}},
    {"LineSeriesWithoutMarks",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE")},
     SoundData(),
     0,
     {"1 line series, value marks hidden\n"}},
    {"LongTableWhole",
     kSoundProperties,
     LongData(100),
     0,
     {"record 49: \"label 49\"  49 | 0\n  record 50: skipped: deleted (its flag byte is not a "
      "blank)\n  record 51:"},
     {"--all"}},
    {"PropertyTableVersion",
     kSoundProperties,
     SoundData(),
     1,
     {"data table \"D.DBF\"\n    version 0x03 (dBASE)\n  property table \"P.DBF\"\n    version "
      "0x83 "
      "(a version the program does not read",
      "The run stops here:"},
     {},
     0x83},
    {"PropertyTableCut",
     kSoundProperties,
     SoundData(),
     1,
     {"header 161 bytes, then 4 records of 134 bytes up to byte 697; the file has 598 bytes: the "
      "size DISAGREES with the header (the file ends 99 bytes before its last record)"},
     {},
     3,
     CutBytes(100)},
};

class InspectReport : public ::testing::TestWithParam<InspectCase> {
 protected:
  // Writes both tables into the folder; returns the folder.
  std::string WriteTables(const InspectCase& c) {
    DbfTable properties = PropertyTable(c.properties);
    properties.version = c.propertyVersion;
    properties.damage = c.propertyDamage;
    WriteDbf(Path("P.DBF"), properties);
    WriteDbf(Path("D.DBF"), c.data);
    return dir_.path().toStdString();
  }
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QTemporaryDir dir_;
};

TEST_P(InspectReport, NamesWhatTheRunReadsAndEndsWithItsMessage) {
  const InspectCase& c = GetParam();
  const std::string folder = WriteTables(c);
  std::vector<std::string> arguments = c.options;
  arguments.insert(arguments.end(), {"P.DBF", "D.DBF"});
  const RunResult inspected = RunProgram(TARVO_INSPECT_PATH, arguments, folder);
  ASSERT_TRUE(inspected.finished);
  EXPECT_EQ(inspected.exitCode, c.exitStatus) << inspected.standardOutput;
  EXPECT_EQ(inspected.standardError, "");
  for (const std::string& fragment : c.report) {
    EXPECT_NE(inspected.standardOutput.find(fragment), std::string::npos)
        << "missing: " << fragment << "\nin:\n"
        << inspected.standardOutput;
  }
  if (c.exitStatus == 0) return;
  // The report quotes the program's own message, as the program writes it.
  const RunResult run = RunTarvochart({"P.DBF", "D.DBF"}, folder);
  ASSERT_FALSE(run.standardError.empty());
  EXPECT_NE(inspected.standardOutput.find("    " + run.standardError), std::string::npos)
      << run.standardError << "\nin:\n"
      << inspected.standardOutput;
  EXPECT_NE(inspected.standardOutput.find("\nResult: the run ends with this message"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Tables, InspectReport, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(InspectExamples, EveryExampleDrawsItsChartWithEveryRecordTakingEffect) {
  const QDir examples(EXAMPLES_DIR), edge(EXAMPLES_DIR "/edge");
  QStringList names = examples.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : edge.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    names.push_back("edge/" + name);
  }
  int inspected = 0;
  for (const QString& name : names) {
    const QDir folder(examples.filePath(name));
    if (!folder.exists("ChartPro.DBF")) continue;
    const RunResult result = RunProgram(TARVO_INSPECT_PATH, {"ChartPro.DBF", "ChartDat.DBF"},
                                        folder.path().toStdString());
    EXPECT_EQ(result.exitCode, 0) << name.toStdString() << "\n" << result.standardOutput;
    EXPECT_EQ(result.standardOutput.find("no effect"), std::string::npos) << name.toStdString();
    EXPECT_NE(result.standardOutput.find("Result: the run draws its chart"), std::string::npos);
    ++inspected;
  }
  EXPECT_GE(inspected, 20);
}

TEST(InspectCommandLine, TellsItsExitStatusesAndRefusesWhatItDoesNotKnow) {
  const std::string here = QDir::tempPath().toStdString();
  const RunResult help = RunProgram(TARVO_INSPECT_PATH, {"--help"}, here);
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.standardOutput.find("0  the run would draw its chart"), std::string::npos);
  EXPECT_NE(help.standardOutput.find("1  the run would end with a message"), std::string::npos);
  for (const auto& wrong : std::vector<std::vector<std::string>>{
           {"only-one.DBF"}, {"a", "b", "c"}, {"--colour", "P.DBF", "D.DBF"}}) {
    const RunResult result = RunProgram(TARVO_INSPECT_PATH, wrong, here);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_NE(result.standardError.find("usage: tarvo-inspect"), std::string::npos);
  }
}

// The names are trimmed as the program trims them; a report that cannot be written is a failure.
TEST(InspectOutput, TrimsTheNamesAndFailsWhenTheReportIsLost) {
  const std::string example = EXAMPLES_DIR "/sales";
  const RunResult trimmed =
      RunProgram(TARVO_INSPECT_PATH, {" ChartPro.DBF", "ChartDat.DBF\t"}, example);
  EXPECT_EQ(trimmed.exitCode, 0) << trimmed.standardOutput;
  const RunResult lost = RunProgram(
      "/bin/sh", {"-c", "\"$0\" ChartPro.DBF ChartDat.DBF >/dev/full", TARVO_INSPECT_PATH},
      example);
  EXPECT_EQ(lost.exitCode, 3);
  EXPECT_EQ(lost.standardError, "tarvo-inspect: the report could not be written: " +
                                    std::string(std::strerror(ENOSPC)) + "\n");
}

TEST(HostExample, WritesChecksAndDrawsFromCsvAsTheReadmeShows) {
  QTemporaryDir out;
  const std::string path = std::string(TARVOCHART_DIR) + ":" + DBFWRITE_DIR + ":" + INSPECT_DIR +
                           ":" + qEnvironmentVariable("PATH").toStdString();
  const RunResult result =
      RunProgram(EXAMPLES_DIR "/host/host.sh", {out.path().toStdString()}, out.path().toStdString(),
                 "", {"PATH=" + path, "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(QImage(out.filePath("revenue.png")).size(), QSize(720, 450));
  QFile report(out.filePath("inspect.txt"));
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  EXPECT_TRUE(report.readAll().contains("2 vertical bar series"));
}

// The checker follows the property pass on plain controls; they must end as the real ones do.
class WindowModelAgrees : public ::testing::TestWithParam<Rows> {};

TEST_P(WindowModelAgrees, WithTheRealWindowAfterTheSameRecords) {
  QTemporaryDir dir;
  const std::string name = dir.filePath("P.DBF").toStdString();
  WriteDbf(name, PropertyTable(GetParam()));
  DbfFile table;
  ASSERT_TRUE(table.Open(name));
  table.ReadHeader();

  // The same records through the defaults and the keywords, on the window and on the model.
  const auto readOnto = [&](WindowEffects& window, chart::ChartDocument& chart, bool& skipRun) {
    ChartOptions options;
    PrintSettings print;
    ValueList list;
    ApplyChartDefaults(chart, window, options);
    KeywordTargets targets{window, chart, skipRun, options, print, list};
    ReadPropertyFile(table, targets);
  };
  TForm1 form;
  form.show();
  // Hidden as a record may leave them, so that the defaults must show them again.
  form.PrintGraphBtn->hide();
  WindowControls controls(form);
  bool formSkipRun = false;
  readOnto(controls, form.Chart1->Document(), formSkipRun);

  WindowModel model;
  model.printButtonVisible = false;
  chart::ChartDocument chart;
  bool modelSkipRun = false;
  readOnto(model, chart, modelSkipRun);

  EXPECT_EQ(model.windowVisible, form.isVisible());
  EXPECT_EQ(model.checkBoxChecked, form.CheckBox3D->isChecked());
  EXPECT_EQ(chart.Model().view3D, form.Chart1->Document().Model().view3D);
  EXPECT_EQ(model.checkBoxVisible, !form.CheckBox3D->isHidden());
  EXPECT_EQ(model.printButtonVisible, !form.PrintGraphBtn->isHidden());
  EXPECT_EQ(modelSkipRun, formSkipRun);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, WindowModelAgrees,
    ::testing::Values(Rows{},
                      Rows{Row("DATASETCOUNT", "2"), Row("TOPTITLE", "A"), Row("TOPTITLE", ""),
                           Row("LEFTAXISTITLE", "L"), Row("BOTTOMAXISTITLE", "B"),
                           Row("DATASETTITLE", "T", "2")},
                      Rows{Row("2D"), Row("NO3DCHECKBOX"), Row("NOPRINTBUTTON"), Row("NOSHOW"),
                           Row("DATASETTITLE", "beyond", "3")}));

}  // namespace
