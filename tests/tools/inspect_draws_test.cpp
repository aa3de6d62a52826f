// tarvo-inspect's report on runs that draw their chart: what it reads, and where the run does less
// than the tables seem to ask, the warning that says so (the test itself: inspect_test.cpp).

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

const InspectCase kDrawingCases[] = {
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

INSTANTIATE_TEST_SUITE_P(Draws, InspectReport, ::testing::ValuesIn(kDrawingCases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
