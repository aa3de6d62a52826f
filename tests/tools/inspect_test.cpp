// tarvo-inspect on the example tables and on tables with each kind of problem, run as a host's
// test suite runs it: its report names the record, the field and the reason, warns where the run
// does less than the tables seem to ask, ends with the very line that tarvochart itself shows and
// a verdict that the real run bears out, and its exit status says whether the run draws its chart
// (with --strict: and gave no warning). Beside it, the plain window that the checker follows
// agrees with the real one.

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

#include "startup/chartdefaults.h"
#include "dbf/dbffile.h"
#include "dbfwrite/dbfwriter.h"
#include "window/tchart.h"
#include "window/tform1.h"
#include "window/windowcontrols.h"
#include "inspect/nearestname.h"
#include "inspectcase.h"
#include "properties/chartoptions.h"
#include "properties/printsettings.h"
#include "properties/propertyfile.h"
#include "properties/valuelist.h"
#include "properties/windowmodel.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

using namespace inspect_test;

namespace {

const Rows kSoundProperties = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "vertbar;2"),
                               Row("DATASETTITLE", "North"), Row("DATASETCOLOR", "navy", "2")};

DbfTable SoundData() {
  return DataTable(2, {{"1", "Jan", {{"10", "red"}, {"20", ""}}},
                       {"1", "Feb", {{"1.5e1", ""}, {"-3", "lime"}}}});
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

DbfTable DataColored(const std::string& first, const std::string& second) {
  return DataTable(2, {{"1", "Jan", {{"10", first}, {"20", second}}}});
}

const Rows kWindowless = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "PIE"), Row("NOSHOW")};

const Rows kMonthlyBars = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR;1"),
                           Row("DATALABELS"), Row("2D")};

// Two data sets of twelve months, of five-digit values with decimals.
DbfTable MonthlyData() {
  std::vector<DataRow> rows;
  for (int month = 1; month <= 12; ++month) {
    const std::string value = std::to_string(30000 + month * 3217) + ".25";
    rows.push_back({"1", "M" + std::to_string(month), {{value, ""}, {value + "5", ""}}});
  }
  return DataTable(2, rows);
}

// One data set of forty categories, for a pie of forty slices.
DbfTable FortySlices() {
  std::vector<DataRow> rows;
  for (int i = 1; i <= 40; ++i)
    rows.push_back({"1", "C" + std::to_string(i), {{std::to_string(i), ""}}});
  return DataTable(1, rows);
}

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

// The sound properties and then the axis title again and again, to `records` in all.
Rows LongProperties(int records) {
  Rows rows = kSoundProperties;
  while (static_cast<int>(rows.size()) < records) {
    rows.push_back(Row("LEFTAXISTITLE", "T" + std::to_string(rows.size() + 1)));
  }
  return rows;
}

const InspectCase kCases[] = {
    {"SoundTables",
     kSoundProperties,
     SoundData(),
     "draws, 0 warnings",
     {"Both tables pass.", "record 2: CHARTSTYLE \"vertbar;2\"\n    -> chart style \"VERTBAR;2\"",
      "record 3: DATASETTITLE (data set 1) \"North\"\n    -> title of data set 1 \"North\"; legend "
      "shown",
      "2 vertical bar series, value marks hidden, multi-bar mode 2: stacked",
      "series 1: title \"North\", colour: the chart's own",
      "series 2: no title, colour: navy #000080", "record 1: \"Jan\"  10 RED #FF0000 | 20",
      "record 2: \"Feb\"  15 | -3 LIME #00FF00", "2 live records: 2 points in every series",
      "Result: the run draws its chart and shows it in the window"}},
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
    {"AxisTitles",
     WithRecords(kSoundProperties,
                 {Row("LEFTAXISTITLE", "Tonnes"), Row("BOTTOMAXISTITLE", "Month")}),
     SoundData(),
     "draws, 0 warnings",
     {"  left axis title     \"Tonnes\"\n  bottom axis title   \"Month\"\n"}},
    {"RecordsWithoutEffect",
     WithRecords(kSoundProperties,
                 {{.lead = "x", .dataSet = "", .keyword = "NOSHOW", .value = "", .deleted = true},
                  Row("DATASETTITLE", "East", "3"),
                  Row("DATASETTITLE", "West", "4"),
                  Row("DATASETCOLOR", "red", "0"),
                  Row("PRINT"),
                  Row("PRINT")}),
     SoundData(),
     "draws, 3 warnings",
     {"record 5: NOSHOW\n    -> skipped: deleted",
      "-> title of data set 3 \"East\" (kept, but the data-set count in force is 2",
      "record 7: DATASETTITLE (data set 4) \"West\"\n    -> warning: no effect: data set 4 is "
      "beyond the data-set count in force at this record (2)",
      "record 8: DATASETCOLOR (data set 0) \"red\"\n    -> warning: no effect: data-set number 0 "
      "is not above 0",
      "series 2: no title, colour: navy #000080\n  warning: record 6: the title of data set 3 "
      "names no series: the data-set count is 2",
      "record 9: PRINT\n    -> prints the chart page at start-up",
      "record 10: PRINT\n    -> nothing new: it sets what is already so",
      "the run draws its chart, prints the chart page and shows it"}},
    {"EleventhPageText",
     ElevenPageTexts(),
     SoundData(),
     "draws, 1 warning",
     {"-> page text 10: \"T10\" at x 1, y 2 (printer pixels) in \"Sans\" 9 pt bold italic",
      "record 15: PRINTPAGETEXT \"T11;1;2;Sans;9;bi\"\n    -> warning: no effect: the page already "
      "holds 10 page texts"}},
    {"WindowlessImage",
     WithRecords(kSoundProperties,
                 {Row("NOSHOW"), Row("BITMAPFILE", "out.svg;300;400"), Row("2D")}),
     SoundData(),
     "draws, 0 warnings",
     {"-> no window: the run ends by itself after its outputs",
      "-> chart flat, the \"3D\" box unchecked",
      "image file          \"out.svg\", SVG, 300 high and 400 wide",
      "the run draws its chart, writes \"out.svg\" and ends by itself (NOSHOW)."}},
    // Title lines count from the design's empty first line, as the window draws them.
    {"TitleLinesNumberedAsDrawn",
     WithRecords(kSoundProperties, {Row("TOPTITLE", "Sales"), Row("TOPTITLE", "2026")}),
     SoundData(),
     "draws, 0 warnings",
     {"-> title line 2 \"Sales\"", "-> title line 3 \"2026\"",
      "title               \"\" / \"Sales\" / \"2026\" (3 lines)"}},
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
    {"NoDataRecords",
     kSoundProperties,
     DataTable(2, {}),
     "draws, 0 warnings",
     {"0 live records: 0 points in every series (the series are empty: the chart shows no data)"}},
    {"LongTableShowsItsEnds",
     kSoundProperties,
     LongData(100),
     "draws, 0 warnings",
     {"record 20: \"label 20\"  20 | 0\n  ... records 21 to 90 not shown (1 of them deleted); "
      "--all "
      "shows every record\n  record 91: \"label 91\"",
      "record 100: \"label 100\"", "99 live records"}},
    {"LongPropertyTableShowsItsEnds",
     LongProperties(100),
     SoundData(),
     "draws, 0 warnings",
     {"record 20: LEFTAXISTITLE \"T20\"",
      "\n  ... records 21 to 90 not shown; --all shows every record\n  record 91: LEFTAXISTITLE "
      "\"T91\""}},
    {"FortyRecordsShownWhole",
     kSoundProperties,
     LongData(40),
     "draws, 0 warnings",
     {"record 21: \"label 21\"", "record 40: \"label 40\"", "40 live records"}},
    {"LineSeriesWithoutMarks",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE")},
     SoundData(),
     "draws, 0 warnings",
     {"1 line series, value marks hidden\n"}},
    {"LongTableWhole",
     kSoundProperties,
     LongData(100),
     "draws, 0 warnings",
     {"record 49: \"label 49\"  49 | 0\n  record 50: skipped: deleted (its flag byte is not a "
      "blank)\n  record 51:"},
     {"--all"}},
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
    {"VisualFoxProTable",
     kSoundProperties,
     SoundData(),
     "draws, 0 warnings",
     {"property table \"P.DBF\"\n    version 0x30 (Visual FoxPro)\n"},
     {},
     0x30},
    {"VisualFoxProDataTable",
     kSoundProperties,
     [] {
       DbfTable data = SoundData();
       data.version = 0x30;
       return data;
     }(),
     "draws, 0 warnings",
     {"data table \"D.DBF\"\n    version 0x30 (Visual FoxPro)\n"}},
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
    {"ImageWidthZeroInAWindowedRun",
     WithRecords(kSoundProperties, {Row("BITMAPFILE", "out.png;450")}),
     SoundData(),
     "draws, 1 warning",
     {"warning: the size reads as 450 high and 0 wide: a height or width of 0 writes no file; "
      "write \"out.png;HEIGHT;WIDTH\""}},
    {"JpegNameGivesJpeg",
     WithRecords(kWindowless, {Row("BITMAPFILE", "y.JPEG;600;800")}),
     SoundData(),
     "draws, 0 warnings",
     {"-> image file \"y.JPEG\", 600 high and 800 wide"}},
    {"ImageNameGivesBmp",
     WithRecords(kWindowless, {Row("BITMAPFILE", "y.gif;30;40")}),
     SoundData(),
     "draws, 2 warnings",
     {"warning: writes a BMP file named \"y.gif\": only the endings .png, .svg, .pdf, .jpg and "
      ".jpeg choose another format, any other name gives BMP; name it \"y.png\" for a PNG image",
      "at 40 x 30 (the image file \"y.gif\"):\n    data labels: 0 of 4 shown\n    warning: data "
      "labels: 4 of 4 left out at 40 x 30"}},
    // What the layout shows at the image's size: every label of two data sets of twelve months
    // side by side at 1200 x 700, and at 300 x 200, what it leaves out and from which size all
    // would show (as --size asks, instead of the image file's size).
    {"EveryDataLabelShown",
     WithRecords(kMonthlyBars, {Row("NOSHOW"), Row("BITMAPFILE", "m.png;700;1200")}),
     MonthlyData(),
     "draws, 0 warnings",
     {"at 1200 x 700 (the image file \"m.png\"):\n    data labels: 24 of 24 shown\n"}},
    {"DataLabelsLeftOutWithTheSizeTheyNeed",
     WithRecords(kMonthlyBars, {Row("NOSHOW"), Row("BITMAPFILE", "m.png;700;1200")}),
     MonthlyData(),
     "draws, 1 warning",
     {"at 250 x 180 (--size):\n    data labels: 0 of 24 shown\n",
      "warning: data labels: 24 of 24 left out at 250 x 180 (they all fit from about ",
      "\n      left out: record 1 \"M1\", data set 1: the bar is narrower than a label's line\n",
      "\n      and 16 more\n"},
     {"--size", "250x180"}},
    {"DataLabelsPartlyInTheSmallFont",
     WithRecords(kMonthlyBars, {Row("NOSHOW"), Row("BITMAPFILE", "m.png;700;1200")}),
     MonthlyData(),
     "draws, 0 warnings",
     {"at 460 x 300 (--size):\n    data labels: 24 of 24 shown, 8 of them in the small font\n"},
     {"--size", "460x300"}},
    // A zero is read like any value: its label counts among those shown.
    {"ZerosAndLossesCountAmongTheLabels",
     WithRecords(kMonthlyBars, {Row("NOSHOW"), Row("BITMAPFILE", "m.png;700;1200")}),
     DataTable(2, {{"1", "Jan", {{"0", ""}, {"20", ""}}},
                   {"1", "Feb", {{"15", ""}, {"0", ""}}},
                   {"1", "Mar", {{"-7", ""}, {"3", ""}}}}),
     "draws, 0 warnings",
     {"at 1200 x 700 (the image file \"m.png\"):\n    data labels: 6 of 6 shown\n"}},
    // DATALABELS speaks of bars: a pie labels its slices whatever it says.
    {"APieSaysItLabelsItsSlices",
     kWindowless,
     SoundData(),
     "makes nothing, 0 warnings",
     {"data labels         on the slices (a pie always shows them)\n"}},
    // A data set whose points the data table colours apart: the legend shows the most common.
    {"LegendOfASeriesOfSeveralColours",
     kSoundProperties,
     SoundData(),
     "draws, 0 warnings",
     {"\n  legend: series 1 \"North\" has points of 2 colours; its entry shows the one most of "
      "them have\n"}},
    // A title wrapped onto two lines shows every word; one too long for its line is shortened.
    {"WrappedTitleShowsWhole",
     WithRecords(kWindowless, {Row("CHARTSTYLE", "LINE"), Row("BITMAPFILE", "m.png;300;400"),
                               Row("TOPTITLE",
                                   "Month of the year in which the units were sold, as the "
                                   "accounting department counts them")}),
     SoundData(),
     "draws, 0 warnings",
     {"at 400 x 300 (the image file \"m.png\"):\n    every text shows whole\n"}},
    {"TitleShortened",
     WithRecords(kWindowless,
                 {Row("CHARTSTYLE", "LINE"), Row("BITMAPFILE", "m.png;300;400"),
                  Row("TOPTITLE", "Monthly_units_sold_as_the_accounting_department_counts_them")}),
     SoundData(),
     "draws, 0 warnings",
     {"at 400 x 300 (the image file \"m.png\"):\n    shortened with \"…\": 1 text(s) (the "
      "window's tooltip shows each whole)\n"}},
    {"LegendEntriesLeftOut",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE"), Row("DATASETTITLE", "Kinds"),
      Row("NOSHOW"), Row("BITMAPFILE", "m.png;300;400")},
     FortySlices(),
     "draws, 1 warning",
     {"\n    legend: 21 entries left out (its last line counts them)\n"},
     {"--size", "200x150"}},
    {"CategoryLabelsThinnedWithTheSizeTheyNeed",
     WithRecords(kMonthlyBars, {Row("NOSHOW"), Row("BITMAPFILE", "m.png;700;1200")}),
     MonthlyData(),
     "draws, 1 warning",
     {"\n    category labels: 6 of 12 shown, evenly spaced (they all fit from about "},
     {"--size", "160x300"}},
    {"UnknownColoursWithTheNearestNames",
     {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "LINE"), Row("DATASETCOLOR", "tael")},
     DataColored("gren", "grey"),
     "draws, 3 warnings",
     {"record 3: DATASETCOLOR (data set 1) \"tael\"\n    -> colour of data set 1: \"tael\" (no "
      "colour of that name: the series keeps its own colour)\n    warning: \"tael\" is no colour "
      "name (did you mean TEAL?): the series keeps the colour the chart gives it",
      "warning: data set 1: \"GREN\" is no colour name (did you mean GREEN?): the point keeps "
      "the series' colour",
      "warning: data set 2: \"GREY\" is no colour name (did you mean GRAY?)"}},
    {"UnknownColoursFarFromEveryName",
     {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "LINE"), Row("DATASETCOLOR", "pink", "2")},
     DataColored("980", ""),
     "draws, 2 warnings",
     {"warning: \"pink\" is no colour name (the names are listed at the end)",
      "warning: data set 1: \"980\" is no colour name (the names are listed at the end): the "
      "point keeps the series' colour",
      "\nColour names, in any letter case: RED, GREEN, BLUE, BLACK, YELLOW, GRAY, DKGRAY, LTGRAY, "
      "WHITE, AQUA, LIME, MAROON, NAVY, OLIVE, PURPLE, SILVER, TEAL and FUCHSIA\n\nResult:"}},
    {"BarStyleThatIsNotVertbarFirst",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "VERTBARS;1")},
     SoundData(),
     "draws, 1 warning",
     {"warning: \"VERTBARS;1\" gives horizontal bars: only a style whose first item is VERTBAR "
      "gives vertical ones; write \"VERTBAR;1\" for vertical bars, \"BAR;1\" for horizontal ones",
      "1 horizontal bar series"}},
    {"HorizontalBarsAskedPlainly",
     {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "bar;1")},
     SoundData(),
     "draws, 0 warnings",
     {"1 horizontal bar series"}},
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
    {"PrintDialogWithoutADisplay",
     WithRecords(kWindowless, {Row("PRINT"), Row("PRINTSETUP")}),
     SoundData(),
     "draws, 1 warning",
     {"warning: PRINT with PRINTSETUP: the print dialog comes first only where the run has a "
      "display; without one (a service, a batch host) the run prints to the default printer with "
      "the dialog's defaults, without asking",
      "Result: the run draws its chart, prints the chart page and ends by itself (NOSHOW)."}},
    {"PrintAloneWithoutAWindow",
     WithRecords(kWindowless, {Row("PRINT")}),
     SoundData(),
     "draws, 0 warnings",
     {"Result: the run draws its chart, prints the chart page and ends by itself (NOSHOW)."}},
    {"PrintDialogWithTheWindow",
     {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "PIE"), Row("PRINT"), Row("PRINTSETUP")},
     SoundData(),
     "draws, 0 warnings",
     {"Result: the run draws its chart, prints the chart page and shows it in the window"}},
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

// The examples draw their charts without a warning; the hard cases under edge/ draw theirs too,
// and warn only of what their size leaves out.
TEST(InspectExamples, EveryExampleDrawsItsChartWithoutAWarning) {
  const QDir examples(EXAMPLES_DIR), edge(EXAMPLES_DIR "/edge");
  QStringList names = examples.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : edge.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    names.push_back("edge/" + name);
  }
  int inspected = 0;
  for (const QString& name : names) {
    const QDir folder(examples.filePath(name));
    if (!folder.exists("ChartPro.DBF")) continue;
    const RunResult result =
        RunProgram(TARVO_INSPECT_PATH, {"--strict", "ChartPro.DBF", "ChartDat.DBF"},
                   folder.path().toStdString());
    const std::string& report = result.standardOutput;
    if (!name.startsWith("edge/")) {
      EXPECT_EQ(result.exitCode, 0) << name.toStdString() << "\n" << report;
      EXPECT_TRUE(report.ends_with("\nverdict: draws, 0 warnings\n")) << name.toStdString();
    } else {
      EXPECT_NE(report.find("\nverdict: draws, "), std::string::npos) << report;
      const auto layout = report.find("\nLayout: "), first = report.find("warning: ");
      EXPECT_TRUE(first == std::string::npos || first > layout) << name.toStdString() << report;
    }
    ++inspected;
  }
  EXPECT_GE(inspected, 20);
}

// Every text one slip of the keyboard away from `text`: a letter of `alphabet` replaced,
// inserted or deleted, or two neighbours swapped. Built from the definition, letter by letter.
std::set<std::string> OneSlipAway(const std::string& text, std::string_view alphabet) {
  std::set<std::string> texts;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    for (const char letter : alphabet) {
      texts.insert(text.substr(0, i) + letter + text.substr(i));
      if (i < text.size()) texts.insert(text.substr(0, i) + letter + text.substr(i + 1));
    }
    if (i < text.size()) texts.insert(text.substr(0, i) + text.substr(i + 1));
    if (i + 1 < text.size()) {
      std::string swapped = text;
      std::swap(swapped[i], swapped[i + 1]);
      texts.insert(swapped);
    }
  }
  texts.erase(text);
  return texts;
}

// The names a text of fewer than five letters is near: the same name, or else those one slip
// away. A text is compared by its own letters alone, also where it is cut out of a longer line.
TEST(NearestNames, AShortTextFindsTheNamesOneSlipAwayWhereverItLies) {
  constexpr std::string_view kAlphabet = "ABQ";  // few letters: every slip is common
  std::mt19937 random(20261209);
  auto word = [&](std::size_t longest, std::string_view alphabet) {
    std::string letters(random() % (longest + 1), ' ');
    for (char& letter : letters) letter = alphabet[random() % alphabet.size()];
    return letters;
  };
  for (int i = 0; i < 5000; ++i) {
    const std::string names[] = {word(5, kAlphabet), word(5, kAlphabet), word(5, kAlphabet)};
    const std::string_view known[] = {names[0], names[1], names[2]};
    const std::string line = word(3, "AB") + "Q" + word(4, kAlphabet);
    const std::string_view cut = std::string_view(line).substr(line.find('Q') + 1);
    const std::string alone(cut);
    const std::set<std::string> slips = OneSlipAway(alone, kAlphabet);
    std::vector<std::string_view> expected;
    for (const std::string_view name : known) {
      if (name == alone) expected.push_back(name);
    }
    for (const std::string_view name : known) {
      if (expected.empty() || expected.front() != alone) {
        if (slips.contains(std::string(name))) expected.push_back(name);
      }
    }
    SCOPED_TRACE(line + " cut to " + alone + ", names " + names[0] + " " + names[1] + " " +
                 names[2]);
    EXPECT_EQ(NearestNames(alone, known), expected);
    EXPECT_EQ(NearestNames(cut, known), expected);
  }
}

// From five letters on a text may be two slips away from the name it means; shorter, one.
TEST(NearestNames, FiveLettersAllowTwoSlips) {
  const std::string_view known[] = {"PRINT", "NOSHOW", "2D"};
  const struct {
    std::string_view text;
    std::vector<std::string_view> nearest;
  } cases[] = {{"PRXXT", {"PRINT"}}, {"PRIXT", {"PRINT"}}, {"PXXXT", {}},
               {"PRXT", {}},         {"PRNT", {"PRINT"}},  {"NOSXXW", {"NOSHOW"}}};
  for (const auto& c : cases) EXPECT_EQ(NearestNames(c.text, known), c.nearest) << c.text;
}

TEST(InspectCommandLine, TellsItsExitStatusesAndRefusesWhatItDoesNotKnow) {
  const std::string here = QDir::tempPath().toStdString();
  const RunResult help = RunProgram(TARVO_INSPECT_PATH, {"--help"}, here);
  EXPECT_EQ(help.exitCode, 0);
  for (const char* told :
       {"0  the run would draw its chart (with --strict: and there is no warning)",
        "1  the run would end with a message", "verdict: draws, N warnings",
        "verdict: ends with a message, N warnings", "verdict: makes nothing, N warnings"}) {
    EXPECT_NE(help.standardOutput.find(told), std::string::npos) << told;
  }
  const RunResult version = RunProgram(TARVO_INSPECT_PATH, {"--version"}, here);
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(
      std::regex_match(version.standardOutput, std::regex("tarvo-inspect [0-9]+(\\.[0-9]+)+\n")))
      << version.standardOutput;
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
  EXPECT_EQ(lost.standardError, "tarvo-inspect: cannot write to standard output: " +
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
