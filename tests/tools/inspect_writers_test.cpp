// tarvo-inspect on tables as other writers make them: LibreOffice Calc's number fields a byte
// narrower, GDAL's text fields widened to their longest value and its empty numbers as dBASE
// nulls, a DOS code page, a dBASE table with memo, records that hold part of a data set. Each is
// a row of the report table (inspectcase.h), whose verdict the real run bears out. Beside them,
// the printed page as the checker tells it, against the job that the real run prints.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <regex>
#include <sstream>

#include "dbf/dbffile.h"
#include "dbf/recordlayout.h"
#include "dbfwrite/dbfwriter.h"
#include "inspect/report.h"
#include "inspect/sections.h"
#include "inspectcase.h"
#include "support/printserver.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

using namespace inspect_test;

namespace {

const Rows kTwoDataSets = {Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR;1")};
const Rows kWindowlessImage = {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE"), Row("NOSHOW"),
                               Row("BITMAPFILE", "pie.png;120;160")};

// A data table with these fields, each record's texts in their order: numbers right-aligned, as
// dBASE writers put them, texts left-aligned.
DbfTable WrittenAs(std::vector<DbfField> fields,
                   const std::vector<std::vector<std::string>>& rows) {
  DbfTable table;
  table.fields = std::move(fields);
  for (const std::vector<std::string>& row : rows) {
    std::string text;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const auto width = std::size_t(table.fields[i].length);
      const std::string pad(width - std::min(width, row[i].size()), ' ');
      text += table.fields[i].type == 'N' ? pad + row[i] : row[i] + pad;
    }
    table.records.push_back({text, false});
  }
  return table;
}

// Two data sets with number fields of `valueWidth` and a label of `labelWidth`.
DbfTable TwoDataSets(int labelWidth, int valueWidth,
                     const std::vector<std::vector<std::string>>& rows) {
  return WrittenAs({{"LEADNUM", 'N', 2},
                    {"LABEL", 'C', labelWidth},
                    {"VALUE1", 'N', valueWidth, 2},
                    {"COLOR1", 'C', 10},
                    {"VALUE2", 'N', valueWidth, 2},
                    {"COLOR2", 'C', 10}},
                   rows);
}

DbfTable InCodePage(std::uint8_t codePage, DbfTable table) {
  table.codePage = codePage;
  return table;
}

DbfTable OfVersion(std::uint8_t version, DbfTable table) {
  table.version = version;
  return table;
}

const InspectCase kCases[] = {
    {"LibreOfficeNumbersAByteNarrower",
     kTwoDataSets,
     TwoDataSets(30, 19, {{"1", "Jan", "1.50", "", "-3.25", "red"}}),
     "ends with a message, 1 warning",
     {"warning: \"D.DBF\": field 3 VALUE1 (N, 19 bytes) lies at bytes 33 to 51, but the program "
      "reads the value of data set 1 at bytes 33 to 52 (it reads fixed places, never the field "
      "descriptors): it reads VALUE1 and the first byte of COLOR1 there, and the fields after "
      "it lie 1 to 2 bytes earlier than the program reads them. In record 1 the program reads "
      "the value of data set 2 as \"-3.25re\", where VALUE2 holds \"-3.25\". Write the field 20 "
      "bytes wide (LibreOffice Calc writes a column declared VALUE1,N,20,2 a byte narrower: "
      "declare it VALUE1,N,19,2 followed by a text column of one byte, FILL,C,1, or as text, "
      "VALUE1,C,20).",
      "records of 91 bytes hold 1 data set whole; the property table asks for 2: of data set 2 "
      "the value (bytes 63 to 82) is read whole, the colour (bytes 83 to 92) is cut to bytes 83 "
      "to 90",
      "'-3.25re' is not a valid floating point value"}},
    {"GdalTextWidenedToItsLongestValue",
     kTwoDataSets,
     TwoDataSets(34, 20, {{"1", "Thirty-four bytes of a long label", "1.5", "", "2", ""}}),
     "ends with a message, 1 warning",
     {"warning: \"D.DBF\": field 2 LABEL (C, 34 bytes) lies at bytes 3 to 36, but the program "
      "reads the label at bytes 3 to 32",
      "it reads the first 30 bytes of LABEL there, and every field after it lies 4 bytes later",
      "Write the field 30 bytes wide (GDAL's ogr2ogr widens a field to fit its longest value: "
      "give every column its width in a .csvt file beside the CSV, this one String(30), and keep "
      "its values within 30 bytes).",
      "records of 97 bytes hold 2 data sets whole"}},
    {"GdalNullAsTheLeadNumber",
     kTwoDataSets,
     TwoDataSets(30, 20, {{"1", "Jan", "1", "", "2", ""}, {"**", "Feb", "3", "", "4", ""}}),
     "ends with a message, 1 warning",
     {"record 2: ends the run:",
      "D.DBF, record 2, field leadNumber: '**' is not a valid integer value",
      "warning: the lead number holds \"**\", a dBASE null: how dBASE writers (GDAL's ogr2ogr "
      "among them) write a number left empty. The program reads no null"}},
    {"NullAsAValue",
     kTwoDataSets,
     TwoDataSets(30, 20, {{"1", "Jan", "1", "", std::string(20, '*'), ""}}),
     "ends with a message, 1 warning",
     {"warning: the value of data set 2 holds \"********************\", a dBASE null"}},
    {"NullAsAPropertyLeadNumber",
     {Row("DATASETCOUNT", "1"), PropertyRow{.lead = "*", .keyword = "CHARTSTYLE", .value = "PIE"}},
     DataTable(1, {{"1", "Jan", {{"1", ""}}}}),
     "ends with a message, 1 warning",
     {"P.DBF, record 2, field leadNumber: '*' is not a valid integer value",
      "warning: the lead number holds \"*\", a dBASE null"}},
    {"DosCodePage",
     kWindowlessImage,
     InCodePage(0x02, DataTable(1, {{"1", "M\x84rz", {{"1", ""}}}, {"1", "Jan", {{"2", ""}}}})),
     "draws, 1 warning",
     {"warning: \"D.DBF\": its header names code page 850 (byte 29 is 0x02), but the program "
      "shows a text as UTF-8 where it is valid UTF-8, else as Windows-1252: the label of record "
      "1 shows as \"M\xE2\x80\x9Erz\", meant as \"M\xC3\xA4rz\". Write the table's texts in UTF-8 "
      "or Windows-1252"}},
    {"DosCodePageAtItsFirstByteBeyondAscii",  // 0x80, the euro sign in Windows-1252
     kWindowlessImage,
     InCodePage(0x02, DataTable(1, {{"1", "GAR\x80ON", {{"1", ""}}}})),
     "draws, 1 warning",
     {"the label of record 1 shows as \"GAR\xE2\x82\xACON\", meant as \"GAR\xC3\x87ON\""}},
    {"DosCodePageOfUtf8Texts",
     kWindowlessImage,
     InCodePage(0x02, DataTable(1, {{"1", "M\xC3\xA4rz", {{"1", ""}}}})),
     "draws, 0 warnings",
     {"record 1: \"M\xC3\xA4rz\"  1"}},
    {"DBaseTableWithMemo",
     kTwoDataSets,
     OfVersion(0x83, DataTable(2, {{"1", "Jan", {{"1", ""}, {"2", ""}}}})),
     "ends with a message, 0 warnings",
     {"version 0x83 (a version the program does not read: dBASE III with memo fields; write the "
      "table without memo fields, as a plain dBASE table (0x03), or as FoxPro with memo (0xF5)"}},
    {"RecordsOfFewerDataSets",
     {Row("DATASETCOUNT", "5"), Row("CHARTSTYLE", "LINE")},
     DataTable(2, {{"1", "Jan", {{"1", ""}, {"2", ""}}}}),
     "ends with a message, 0 warnings",
     {"records of 93 bytes hold 2 data sets whole; the property table asks for 5: the fields of "
      "data sets 3 to 5 lie past the end of every record and read as empty (an empty value ends "
      "the run)"}},
    {"RecordsOfTwoDataSetsFewer",
     {Row("DATASETCOUNT", "4"), Row("CHARTSTYLE", "LINE")},
     DataTable(2, {{"1", "Jan", {{"1", ""}, {"2", ""}}}}),
     "ends with a message, 0 warnings",
     {"asks for 4: the fields of data sets 3 and 4 lie past the end"}},
    {"RecordsOfOneDataSetFewer",
     {Row("DATASETCOUNT", "3"), Row("CHARTSTYLE", "LINE")},
     DataTable(2, {{"1", "Jan", {{"1", ""}, {"2", ""}}}}),
     "ends with a message, 0 warnings",
     {"asks for 3: the fields of data set 3 lie past the end"}},
};

INSTANTIATE_TEST_SUITE_P(Writers, InspectReport, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

// What the report says of a field of each data set beyond those held whole, as the program's
// reader reads that field from a record of the table: whole, cut where the record ends, or empty.
std::string ExpectedRoom(const std::string& what, FieldSpan span, std::string_view record) {
  const std::size_t read = FieldText(record, span).size();
  const std::string field =
      what + " (bytes " + std::to_string(span.first) + " to " + std::to_string(span.Last()) + ")";
  if (read == span.width) return field + " is read whole";
  if (read == 0) return "";
  return field + " is cut to bytes " + std::to_string(span.first) + " to " +
         std::to_string(span.first + read - 1);
}

// For every record length a data table can have and every data-set count, the sentence on the
// room for data sets says what the program's reader reads of each data set's fields.
TEST(InspectDataRoom, TellsForEveryRecordLengthWhatTheReaderReads) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("D.DBF").toStdString();
  for (int length = 34; length <= 340; ++length) {
    DbfTable table = DataTable(0, {});
    table.fields.push_back({"REST", 'C', length - 33});
    table.records.push_back({std::string(std::size_t(length - 1), 'x'), false});
    WriteDbf(path, table);
    DbfFile file;
    ASSERT_TRUE(file.Open(path));
    file.ReadHeader();
    const std::string record = file.RecordText(1);
    for (int dataSets = 1; dataSets <= 10; ++dataSets) {
      std::ostringstream report;
      Warnings warnings;
      DataRecordReport(file, dataSets, false, warnings, report);
      const std::string room = report.str();
      for (int j = 0; j < dataSets; ++j) {
        const std::string dataSet = "of data set " + std::to_string(j + 1) + " the value";
        const std::string value = ExpectedRoom("the value", data_record::Value(j), record);
        const std::string colour = ExpectedRoom("the colour", data_record::Color(j), record);
        const bool whole = data_record::Color(j).Last() <= record.size();
        SCOPED_TRACE(std::to_string(length) + " bytes, " + std::to_string(dataSets) +
                     " data sets, data set " + std::to_string(j + 1) + ": " + room);
        if (whole) {
          EXPECT_EQ(room.find(dataSet), std::string::npos);
        } else if (value.empty()) {
          EXPECT_NE(room.find("lie past the end of every record"), std::string::npos);
          EXPECT_EQ(room.find(dataSet), std::string::npos);
        } else {
          EXPECT_NE(room.find("of data set " + std::to_string(j + 1) + " " + value + ", " +
                              (colour.empty() ? "the colour reads as empty" : colour)),
                    std::string::npos);
        }
      }
    }
  }
}

// The page that the checker tells of is the page of the job that the real run prints: a page
// text at one inch from the corner, in the resolution told, lands one inch (72 points) in.
TEST(InspectPrintedPage, TellsTheResolutionAndPageThatTheRealPrintUses) {
  PrintServer server;
  if (!server.Ready()) GTEST_SKIP() << server.SkipReason();
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  const auto write = [&](const std::string& pageText, const std::string& place = "0;0;0;0") {
    WriteDbf(folder + "/P.DBF",
             PropertyTable({Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE"), Row("NOSHOW"),
                            Row("PRINT"), Row("PRINTPAGETEXT", pageText), Row("PRINTPOS", place)}));
  };
  WriteDbf(folder + "/D.DBF", DataTable(1, {{"1", "Jan", {{"1", ""}}}}));
  write("Far;99999;10;DejaVu Sans;12;");
  const RunResult told =
      RunProgram(TARVO_INSPECT_PATH, {"P.DBF", "D.DBF"}, folder, "", server.ClientEnvironment());
  EXPECT_EQ(told.standardError, "");
  std::smatch page;
  ASSERT_TRUE(std::regex_search(told.standardOutput, page,
                                std::regex("printer \"[^\"]+\" of the print server at [^:]+: "
                                           "([0-9]+) dpi, paper A4 of ([0-9]+) x ([0-9]+) pixels")))
      << told.standardOutput;
  const int dotsPerInch = std::stoi(page[1]);
  EXPECT_NEAR(std::stoi(page[2]), 210 / 25.4 * dotsPerInch, 2);
  EXPECT_NEAR(std::stoi(page[3]), 297 / 25.4 * dotsPerInch, 2);
  EXPECT_NE(told.standardOutput.find("warning: page text 1 \"Far\" at x 99999, y 10 starts outside "
                                     "the printable area"),
            std::string::npos);
  EXPECT_TRUE(told.standardOutput.ends_with("verdict: draws, 1 warning\n"));
  EXPECT_NE(told.standardOutput.find("  the chart: left 0, top 0, right " + std::string(page[2]) +
                                     ", bottom " + std::string(page[3]) + " ("),
            std::string::npos)
      << told.standardOutput;
  EXPECT_EQ(told.standardOutput.find("no room"), std::string::npos);
  write("Far;99999;10;DejaVu Sans;12;", "60;60;0;0");  // left and right
  EXPECT_NE(
      RunProgram(TARVO_INSPECT_PATH, {"P.DBF", "D.DBF"}, folder, "", server.ClientEnvironment())
          .standardOutput.find("): no room, the chart is not drawn\n"),
      std::string::npos);

  const std::string inch = std::to_string(dotsPerInch);
  write("Inch;" + inch + ";" + inch + ";DejaVu Sans;12;");
  const RunResult run = RunTarvochart({"P.DBF", "D.DBF"}, folder, server.ClientEnvironment());
  ASSERT_EQ(run.standardError, "");
  const std::vector<std::string> jobs = server.JobDocuments();
  ASSERT_EQ(jobs.size(), 1u);
  std::smatch word;
  const std::string boxes = PdfText(jobs[0], true);
  ASSERT_TRUE(std::regex_search(boxes, word,
                                std::regex("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Inch<")))
      << boxes;
  EXPECT_NEAR(std::stod(word[1]), 72, 1);
  EXPECT_NEAR(std::stod(word[2]), 72, 1);
}

// Without a print server the checker says what a print would end with, and still draws.
TEST(InspectPrintedPage, SaysWhyThePrinterCannotBeAsked) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString();
  WriteDbf(folder + "/P.DBF", PropertyTable({Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE"),
                                             Row("NOSHOW"), Row("PRINT")}));
  WriteDbf(folder + "/D.DBF", DataTable(1, {{"1", "Jan", {{"1", ""}}}}));
  const std::string socket = folder + "/no-server.sock";
  const RunResult told = RunProgram(TARVO_INSPECT_PATH, {"P.DBF", "D.DBF"}, folder, "",
                                    {"CUPS_SERVER=" + socket, "PRINTER", "LPDEST"});
  EXPECT_EQ(told.exitCode, 0);
  EXPECT_NE(told.standardOutput.find("the printer cannot be asked, so a print would end with: "
                                     "tarvochart: Cannot print the chart: no print server can be "
                                     "reached at " +
                                     socket + "."),
            std::string::npos)
      << told.standardOutput;
}

}  // namespace
