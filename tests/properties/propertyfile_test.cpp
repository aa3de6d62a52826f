// The property pass: tables written to a folder, opened as the program opens them, read into a
// fresh chart and the window's controls as plain data, and the window, chart, options and print
// settings checked.

#include "properties/propertyfile.h"

#include <gtest/gtest.h>

#include <optional>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "dbf/tablecheck.h"
#include "dbfwrite/dbfwriter.h"
#include "properties/chartoptions.h"
#include "properties/printsettings.h"
#include "properties/valuelist.h"
#include "properties/windowmodel.h"
#include "runtime/errors.h"
#include "startup/chartdefaults.h"
#include "support/tablefolder.h"
#include "support/tablerows.h"

namespace {

using Lines = std::vector<std::string>;

class PropertyPass : public ::testing::Test {
 protected:
  PropertyPass() { ApplyChartDesign(chart_); }  // the chart as the window holds it

  // Writes the table, opens both tables, applies the defaults and reads every record.
  void Read(const std::vector<PropertyRow>& rows) { ReadTable(PropertyTable(rows)); }

  void ReadTable(const DbfTable& table) {
    Open(table);
    saved_ = ApplyChartDefaults(Chart(), window_, options_);
    KeywordTargets targets{window_, Chart(), skipRun, options_, print_, list_};
    ReadPropertyFile(propertyFile_, targets);
  }

  // The message of the failure that ends the pass, with the table's name cut off.
  std::string FailureOf(const std::vector<PropertyRow>& rows) {
    try {
      Read(rows);
    } catch (const Exception& error) {
      const std::string text = error.what();
      return text.rfind(propertyFileName, 0) == 0 ? text.substr(propertyFileName.size()) : text;
    }
    return "no failure";
  }

  void Open(const DbfTable& table) {
    propertyFileName = folder_.Write("P.DBF", table);
    dataFileName = folder_.Write("D.DBF", DataTable(1, {}));
    ASSERT_FALSE(OpenAndCheckTables(propertyFile_, propertyFileName, dataFile_, dataFileName));
  }

  chart::ChartDocument& Chart() { return chart_; }

  TableFolder folder_;
  std::string propertyFileName;
  std::string dataFileName;
  bool skipRun = false;
  chart::ChartDocument chart_;
  WindowModel window_;
  ChartOptions options_;
  ChartSize saved_;
  PrintSettings print_;
  ValueList list_;
  DbfFile propertyFile_;
  DbfFile dataFile_;
};

PropertyRow WithNumbers(const std::string& lead, const std::string& dataSet,
                        const std::string& keyword) {
  return PropertyRow{.lead = lead, .dataSet = dataSet, .keyword = keyword, .value = ""};
}

TEST_F(PropertyPass, DefaultsHoldBeforeTheFirstRecord) {
  window_.HidePrintButton();
  Chart().SetLegendVisible(true);
  print_.leftMargin = 7;
  Read({});
  EXPECT_EQ(print_.leftMargin, 7);
  EXPECT_TRUE(window_.printButtonVisible);
  EXPECT_EQ(saved_.height, 401);
  EXPECT_EQ(saved_.width, 585);
  EXPECT_TRUE(Chart().Model().view3D);
  EXPECT_EQ(Chart().Model().percent3D, 15);
  EXPECT_TRUE(Chart().Model().orthogonal);
  EXPECT_FALSE(Chart().Model().legendVisible);
  for (const chart::FontStyle& font :
       {Chart().Model().title.font, Chart().Model().leftAxisTitle.font,
        Chart().Model().bottomAxisTitle.font}) {
    EXPECT_TRUE(font.bold);
    EXPECT_FALSE(font.italic);
  }
  EXPECT_EQ(options_.chartStyle.text, "NONE");
  EXPECT_EQ(options_.dataSetCount, 0);
  EXPECT_FALSE(skipRun);
}

TEST_F(PropertyPass, KeywordFieldIsTrimmedAndUpperCasedButNotOtherwiseBent) {
  Read({Row("  datasetcount  ", "4"), Row("DATA SETCOUNT", "7"), Row("\tTopTitle\r", "A"),
        Row("TOP\tTITLE", "B"), Row("", "C"), Row("UNKNOWN", "D")});
  EXPECT_EQ(options_.dataSetCount, 4);
  EXPECT_EQ(Chart().Model().title.lines, (Lines{"", "A"}));
}

TEST_F(PropertyPass, DeletedRecordsAreNeitherAppliedNorConverted) {
  Read({{.lead = " ", .dataSet = "x", .keyword = "DATASETCOUNT", .value = "5", .deleted = true},
        Row("DATASETCOUNT", "2")});
  EXPECT_EQ(options_.dataSetCount, 2);

  DbfTable oddFlag = PropertyTable({Row("DATASETCOUNT", "3")});
  oddFlag.flagByte = '#';
  ReadTable(oddFlag);
  EXPECT_EQ(options_.dataSetCount, 0);
}

TEST_F(PropertyPass, ValuesKeepTheirCaseInnerBlanksAndHighBytes) {
  Read({Row("LEFTAXISTITLE", "  Umsatz in \xE4 \x80  "), Row("BOTTOMAXISTITLE", "M\xC3\xA4rz"),
        Row("DATASETCOUNT", "1"),
        Row("DATASETTITLE",
            "Stra\xDF"
            "e")});
  EXPECT_EQ(Chart().Model().leftAxisTitle.caption, "Umsatz in \xE4 \x80");
  EXPECT_EQ(Chart().Model().bottomAxisTitle.caption, "M\xC3\xA4rz");
  EXPECT_EQ(options_.dataSetTitles[0],
            "Stra\xDF"
            "e");
}

TEST_F(PropertyPass, ShortAndLongRecordsAreReadAtTheirFixedPositions) {
  // Flag plus 33 bytes: the value field starts past the end and reads empty.
  DbfTable shortRecords;
  shortRecords.fields = {{"LEADNUM", 'C', 1}, {"DATASET", 'C', 2}, {"KEYWORD", 'C', 30}};
  shortRecords.records = {{FixedFields({{"1", 1}, {"1", 2}, {"TOPTITLE", 30}})}};
  ReadTable(shortRecords);
  EXPECT_EQ(Chart().Model().title.lines, (Lines{"", ""}));

  // Bytes after position 133 belong to no field.
  DbfTable longRecords = PropertyTable({Row("LEFTAXISTITLE", std::string(100, 'v'))});
  longRecords.fields.push_back({"EXTRA", 'C', 40});
  longRecords.records[0].text += "TAIL";
  ReadTable(longRecords);
  EXPECT_EQ(Chart().Model().leftAxisTitle.caption, std::string(100, 'v'));
}

TEST_F(PropertyPass, WindowKeywordsActAtOnce) {
  Read({Row("2D", "ignored"), Row("2D"), Row("NO3DCHECKBOX"), Row("NOPRINTBUTTON"),
        Row("TOPTITLE", "A"), Row("TOPTITLE", "B"), Row("LEFTAXISTITLE", "first"),
        Row("LEFTAXISTITLE", "Units"), Row("BOTTOMAXISTITLE", "Months")});
  EXPECT_FALSE(Chart().Model().view3D);
  EXPECT_FALSE(window_.checkBoxChecked);
  EXPECT_FALSE(window_.checkBoxVisible);
  EXPECT_FALSE(window_.printButtonVisible);
  EXPECT_EQ(Chart().Model().title.lines, (Lines{"", "A", "B"}));
  EXPECT_EQ(Chart().Model().leftAxisTitle.caption, "Units");
  EXPECT_EQ(Chart().Model().bottomAxisTitle.caption, "Months");
  EXPECT_TRUE(window_.windowVisible);
  EXPECT_FALSE(skipRun);
}

TEST_F(PropertyPass, NoShowHidesTheWindowAndSkipsTheRun) {
  Read({Row("NOSHOW", "NO")});
  EXPECT_TRUE(skipRun);
  EXPECT_FALSE(window_.windowVisible);
}

TEST_F(PropertyPass, OptionKeywordsFillTheRunsOptions) {
  Read({Row("CHARTSTYLE", "pie"), Row("CHARTSTYLE", "vertbar;1"), Row("DATALABELS", "NO"),
        Row("PRINT", "NO"), Row("BITMAPFILE", "out.bmp;300;400"), Row("BITMAPFILE", "chart.bmp")});
  EXPECT_EQ(options_.chartStyle.text, "VERTBAR;1");
  EXPECT_TRUE(options_.dataLabels);
  EXPECT_TRUE(options_.printAtStart);
  EXPECT_TRUE(options_.saveBitmap);
  EXPECT_EQ(options_.bitmapFile, "chart.bmp");
  EXPECT_EQ(options_.bitmapHeight, 0);
  EXPECT_EQ(options_.bitmapWidth, 0);
}

TEST_F(PropertyPass, ChartStyleIsUpperCasedInEveryLetter) {
  for (const auto& [value, style] : std::vector<std::pair<std::string, std::string>>{
           {"none", "NONE"}, {"", ""}, {"b\xE4r", "B\xC4R"}, {"b\xC3\xA4r", "B\xC3\x84R"}}) {
    Read({Row("CHARTSTYLE", value)});
    EXPECT_EQ(options_.chartStyle.text, style) << value;
  }
}

TEST_F(PropertyPass, DataSetCountKeepsTheDigitsUpToTen) {
  for (const auto& [value, count] : std::vector<std::pair<std::string, int>>{
           {"25", 10}, {"-3", 3}, {"2.5", 10}, {"", 0}, {"abc", 0}, {"10", 10}, {"7", 7}}) {
    Read({Row("DATASETCOUNT", "9"), Row("DATASETCOUNT", value)});
    EXPECT_EQ(options_.dataSetCount, count) << value;
  }
}

TEST_F(PropertyPass, PrintKeywordsFillThePrintSettings) {
  Read({Row("PRINTSETUP"), Row("PRINTPOS", "10;10"),
        Row("PRINTPAGETEXT", "Title;100;200;Arial;12;bi"),
        Row("PRINTPAGETEXT", "Footer;-1.5;7 px;;8")});
  EXPECT_TRUE(print_.showPrintDialog);
  EXPECT_EQ(print_.leftMargin, 10);
  EXPECT_EQ(print_.rightMargin, 10);
  EXPECT_EQ(print_.topMargin, 0);
  EXPECT_EQ(print_.bottomMargin, 0);
  ASSERT_EQ(print_.pageTextCount, 2);
  const PageTextItem& title = print_.pageTexts[0];
  EXPECT_EQ(title.text, "Title");
  EXPECT_EQ(title.x, 100);
  EXPECT_EQ(title.y, 200);
  EXPECT_EQ(title.fontName, "Arial");
  EXPECT_EQ(title.fontSize, 12);
  EXPECT_EQ(title.fontStyle, "bi");
  // Five pieces: the style letters are those the earlier split left in entry 6.
  const PageTextItem& footer = print_.pageTexts[1];
  EXPECT_EQ(footer.text, "Footer");
  EXPECT_EQ(footer.x, 15);
  EXPECT_EQ(footer.y, 7);
  EXPECT_EQ(footer.fontName, "");
  EXPECT_EQ(footer.fontSize, 8);
  EXPECT_EQ(footer.fontStyle, "bi");
}

TEST_F(PropertyPass, PageTextsPastTheTenthAreIgnored) {
  std::vector<PropertyRow> rows;
  for (int i = 1; i <= 12; ++i)
    rows.push_back(Row("PRINTPAGETEXT", "t" + std::to_string(i) + ";1;2;A;9"));
  rows.push_back(Row("PRINTPAGETEXT", ""));  // ignored before it could fail
  Read(rows);
  EXPECT_EQ(print_.pageTextCount, 10);
  EXPECT_EQ(print_.pageTexts[9].text, "t10");
}

TEST_F(PropertyPass, DataSetRecordsNeedANumberFromOneToCountPlusOne) {
  Read({Row("DATASETTITLE", "early", "2"), Row("DATASETCOLOR", "RED", "1"),
        Row("DATASETCOUNT", "3"), Row("DATASETTITLE", "second", "2"),
        Row("DATASETTITLE", "fourth", "4"), Row("DATASETTITLE", "fifth", "5"),
        Row("DATASETTITLE", "zero", "0"), Row("DATASETTITLE", "minus", "-1"),
        Row("DATASETCOLOR", "BLUE", "0"), Row("DATASETCOLOR", "LIME", " 4"),
        Row("DATASETTITLE", "", "2"), Row("DATASETCOLOR", "", "1")});
  EXPECT_EQ(options_.dataSetTitles[0], "");
  EXPECT_EQ(options_.dataSetTitles[1], "second");
  EXPECT_EQ(options_.dataSetTitles[3], "fourth");
  EXPECT_EQ(options_.dataSetTitles[4], "");
  // An empty title keeps the earlier one; an empty colour clears it.
  EXPECT_EQ(options_.dataSetColors[0], "");
  EXPECT_EQ(options_.dataSetColors[3], "LIME");
}

TEST_F(PropertyPass, ADataSetTitleShowsTheLegendOnlyWhenAccepted) {
  struct Case {
    std::string dataSet;
    bool legend;
  };
  for (const Case& c :
       {Case{"1", true}, Case{"4", true}, Case{"5", false}, Case{"0", false}, Case{"-2", false}}) {
    Read({Row("DATASETCOUNT", "3"), Row("DATASETTITLE", "t", c.dataSet)});
    EXPECT_EQ(Chart().Model().legendVisible, c.legend) << c.dataSet;
  }
}

struct FailureCase {
  PropertyRow row;
  std::string message;  // after the table's name
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
  *out << failure.row.keyword << " '" << failure.row.value << "'";
}

class PropertyFailure : public PropertyPass, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PropertyFailure, EndsThePassAtTheRecordAndNamesIt) {
  const std::string message = FailureOf({Row("TOPTITLE", "before"), GetParam().row,
                                         Row("TOPTITLE", "after"), Row("DATASETCOUNT", "1")});
  EXPECT_EQ(message, GetParam().message);
  EXPECT_EQ(Chart().Model().title.lines, (Lines{"", "before"}));
  EXPECT_EQ(options_.dataSetCount, 0);
}

const std::string kEmptyInteger = "'' is not a valid integer value";

INSTANTIATE_TEST_SUITE_P(
    Records, PropertyFailure,
    ::testing::Values(
        FailureCase{WithNumbers(" ", "1", "TOPTITLE"),
                    ", record 2, field leadNumber: " + kEmptyInteger},
        FailureCase{WithNumbers("1", "  ", "UNKNOWN"),
                    ", record 2, field dataSetNumber: " + kEmptyInteger},
        FailureCase{WithNumbers("x", "1", "TOPTITLE"),
                    ", record 2, field leadNumber: 'x' is not a valid integer value"},
        FailureCase{WithNumbers("1", "1.", "DATASETTITLE"),
                    ", record 2, field dataSetNumber: '1.' is not a valid integer value"},
        FailureCase{Row("PRINTPAGETEXT", "Hi;1;2;Arial;12pt"),
                    ", record 2, field value item 5 (font size): '12pt' is not a valid integer "
                    "value"},
        FailureCase{Row("PRINTPAGETEXT", "Hi;1;2"),
                    ", record 2, field value item 5 (font size): " + kEmptyInteger},
        FailureCase{Row("DATASETCOUNT", "99999999999"),
                    ", record 2, field value: '99999999999' is not a valid integer value"},
        FailureCase{Row("PRINTPOS", "1;2;3;4 000 000 000"),
                    ", record 2, field value item 4 (bottom margin): '4000000000' is not a valid "
                    "integer value"},
        FailureCase{Row("BITMAPFILE", "a.bmp;2147483648"),
                    ", record 2, field value item 2 (height): '2147483648' is not a valid integer "
                    "value"},
        FailureCase{Row("PRINTPAGETEXT", ""), ", record 2, field value: Range check error"},
        FailureCase{Row("PRINTPOS", " ;;; "), ", record 2, field value: Range check error"},
        FailureCase{Row("BITMAPFILE", std::string(100, ';')),
                    ", record 2, field value: Range check error"}));

TEST_F(PropertyPass, ARecordTooShortForItsNumbersFails) {
  DbfTable tiny;
  tiny.fields = {{"LEADNUM", 'C', 1}, {"DATASET", 'C', 1}};
  tiny.records = {{"1"}};
  tiny.endOfFileMarker = false;  // so that the size agrees with the header for so short a record
  try {
    ReadTable(tiny);
    FAIL() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()),
              propertyFileName + ", record 1, field dataSetNumber: " + kEmptyInteger);
  }
}

struct CheckCase {
  std::vector<PropertyRow> rows;
  std::optional<std::string> message;
};

void PrintTo(const CheckCase& check, std::ostream* out) {
  *out << check.message.value_or("accepted");
}

class OptionCheck : public PropertyPass, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(OptionCheck, RefusesAMissingCountOrStyleWithOneMessage) {
  Read(GetParam().rows);
  const std::optional<Refusal> refusal = CheckPropertyOptions(options_);
  const bool goesOn = !refusal;
  EXPECT_EQ(goesOn, !GetParam().message);
  const Lines refused = refusal ? Lines{refusal->caption + ": " + refusal->text} : Lines{};
  const Lines expected =
      GetParam().message ? Lines{"ChartPro.DBF problem: " + *GetParam().message} : Lines{};
  EXPECT_EQ(refused, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, OptionCheck,
    ::testing::Values(
        CheckCase{{}, "DataSetCount is 0."},
        CheckCase{{Row("CHARTSTYLE", "LINE"), Row("DATASETCOUNT", "abc")}, "DataSetCount is 0."},
        CheckCase{{Row("DATASETCOUNT", "3")}, "ChartStyle undefined."},
        CheckCase{{Row("DATASETCOUNT", "3"), Row("CHARTSTYLE", "none")}, "ChartStyle undefined."},
        CheckCase{{Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "")}, "ChartStyle undefined."},
        CheckCase{{Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "NONE;2")}, "ChartStyle undefined."},
        CheckCase{{Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "foo")}, "ChartStyle undefined."},
        CheckCase{{Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "pie;1")}, "ChartStyle undefined."},
        CheckCase{{Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE;2")}, "ChartStyle undefined."},
        CheckCase{{Row("CHARTSTYLE", "FOO")}, "DataSetCount is 0."},
        CheckCase{{Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR")}, std::nullopt},
        CheckCase{{Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "pie")}, std::nullopt},
        CheckCase{{Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "line")}, std::nullopt},
        CheckCase{{Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "crowbars;9")}, std::nullopt}));

}  // namespace
