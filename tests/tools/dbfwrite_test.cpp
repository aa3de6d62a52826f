// tarvo-dbfwrite as a host uses it: text in each form written to a table and read back with the
// chart program's own reader and decoders; what would not fit a field refused with its line and
// reason, and then no file written.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "datasets.h"
#include "dbffile.h"
#include "propertyfile.h"
#include "runprogram.h"

namespace {

// What the chart program reads from a record: for properties the data-set number, keyword and
// value; for data the label and per data set the value and colour name.
using ReadRecord = std::vector<std::string>;
const ReadRecord kDeleted = {"deleted"};

struct RoundTrip {
  std::string name;
  std::vector<std::string> arguments;  // before the table's name
  std::string input;
  std::vector<ReadRecord> records;
};

void PrintTo(const RoundTrip& c, std::ostream* out) { *out << c.name; }

const std::string kValueOf100(100, 'v');
const std::string kKeywordOf30(30, 'K');

const RoundTrip kRoundTrips[] = {
    {"KeywordLines",
     {"--keywords", "properties"},
     "# a comment\n\nDATASETCOUNT 2\r\n  CHARTSTYLE   vertbar;1  \nTOPTITLE 12 months of sales\n"
     "DATASETTITLE 2 2026 plan\nDATASETCOLOR red\ndatasetcolor -1 navy\n*NOSHOW\nDATALABELS\n" +
         kKeywordOf30 + " " + kValueOf100 + "\n",
     {{"1", "DATASETCOUNT", "2"},
      {"1", "CHARTSTYLE", "vertbar;1"},
      {"1", "TOPTITLE", "12 months of sales"},
      {"2", "DATASETTITLE", "2026 plan"},
      {"1", "DATASETCOLOR", "red"},
      {"-1", "DATASETCOLOR", "navy"},
      kDeleted,
      {"1", "DATALABELS", ""},
      {"1", kKeywordOf30, kValueOf100}}},
    {"PropertyBars",
     {"properties"},
     "# lead|data set|KEYWORD|value\n1|2|DATASETTITLE|South\n*1|1|NOSHOW|\n1| 3|TOPTITLE|a;b\n",
     {{"2", "DATASETTITLE", "South"}, kDeleted, {"3", "TOPTITLE", "a;b"}}},
    {"CsvWithHeader",
     {"--csv", "--header", "data", "2"},
     "\xEF\xBB\xBF"
     "Month,North,Colour,South,Colour\r\nJan,120,red,1.5e2,\r\n\r\n"
     "\"Feb, short\",\" 7 \",,-3,navy\n\"Say \"\"hi\"\"\",0.25,LIME,4\n\"two\nlines\",1,,2,",
     {{"Jan", "120", "RED", "150", ""},
      {"Feb, short", "7", "", "-3", "NAVY"},
      {"Say \"hi\"", "0.25", "LIME", "4", ""},
      {"two\nlines", "1", "", "2", ""}}},
    {"CsvWithoutHeader", {"--csv", "data", "1"}, "Jan,5\n", {{"Jan", "5", ""}}},
    {"DataBarsLeaveOutFurtherDataSets",
     {"data", "1"},
     "1|North|420|red|380||300|\n*1|South|1||\n",
     {{"North", "420", "RED"}, kDeleted}},
};

class DbfWriteRoundTrip : public ::testing::TestWithParam<RoundTrip> {
 protected:
  std::vector<ReadRecord> ReadBack(const std::string& path, bool properties, int dataSets) {
    DbfFile table;
    EXPECT_TRUE(table.Open(path));
    table.ReadHeader();
    EXPECT_TRUE(IsAcceptedVersion(table.version));
    EXPECT_TRUE(table.IsConsistent());
    std::vector<ReadRecord> records;
    for (RecordCursor record(table); record.Next();) {
      if (!record.IsActive()) {
        records.push_back(kDeleted);
      } else if (properties) {
        const PropertyRecord read = DecodePropertyRecord(path, record.Number(), record.Text());
        records.push_back({std::to_string(read.dataSetIndex + 1), read.keyword, read.value});
      } else {
        records.push_back(DataRecord(path, record, dataSets));
      }
    }
    return records;
  }

  static ReadRecord DataRecord(const std::string& path, const RecordCursor& record, int dataSets) {
    const DataRecordReader reader(path, record.Number(), record.Text());
    ReadRecord read;
    DecodeDataRecord(
        reader, dataSets, [](int) { return chart::TColor{0}; },
        [&](int j, double value, const std::string& label, chart::TColor) {
          if (j == 0) read.push_back(label);
          std::ostringstream number;
          number << value;
          read.push_back(number.str());
          read.push_back(reader.ColorName(j));
        });
    return read;
  }

  QTemporaryDir dir_;
};

TEST_P(DbfWriteRoundTrip, TheProgramReadsBackWhatWasWritten) {
  const RoundTrip& c = GetParam();
  const std::string path = dir_.filePath("T.DBF").toStdString();
  std::vector<std::string> arguments = c.arguments;
  arguments.push_back(path);
  const RunResult result =
      RunProgram(TARVO_DBFWRITE_PATH, arguments, dir_.path().toStdString(), c.input);
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardError, "");
  const bool properties = arguments[arguments.size() - 2] == "properties";
  const int dataSets = properties ? 0 : std::stoi(arguments[arguments.size() - 2]);
  EXPECT_EQ(ReadBack(path, properties, dataSets), c.records);
}

INSTANTIATE_TEST_SUITE_P(Forms, DbfWriteRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return info.param.name; });

struct RefusedInput {
  std::string name;
  std::vector<std::string> arguments;
  std::string input;
  int exitStatus;
  std::vector<std::string> errors;  // each stands in standard error
};

void PrintTo(const RefusedInput& c, std::ostream* out) { *out << c.name; }

const RefusedInput kRefusals[] = {
    {"KeywordLinesTooLong",
     {"--keywords", "properties"},
     "DATASETCOUNT 1\n" + std::string(31, 'K') + " x\nTOPTITLE " + std::string(101, 'v') +
         "\nDATASETTITLE 2026 plan\n",
     1,
     {"line 2: the keyword is 31 bytes, its field holds 30: \"KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK\"",
      "line 3: the value is 101 bytes, its field holds 100: \"vvvv",
      "line 4: the data-set number 2026 is over 2 characters (a title or colour that starts with "
      "a number follows its data-set number: DATASETTITLE 1 2026 ...)",
      "tarvo-dbfwrite: nothing written"}},
    {"PropertyBarsTooLong",
     {"properties"},
     "12|1|NOSHOW|\n1|123|TOPTITLE|x\n1|1|TOPTITLE|a|b\n",
     1,
     {"line 1: the lead number is 2 bytes, its field holds 1: \"12\"",
      "line 2: the data-set number is 3 bytes, its field holds 2: \"123\"",
      "line 3: 5 fields, where lead|data set|KEYWORD|value holds 4 (--keywords takes a value with "
      "\"|\" in it)"}},
    {"DataBarsTooLong",
     {"data", "1"},
     "123|Jan|1|\n1|" + std::string(31, 'L') + "|1|\n1|Feb|" + std::string(21, '1') +
         "|ORANGEYELLOW\n",
     1,
     {"line 1: the lead number is 3 bytes, its field holds 2", "line 2: the label is 31 bytes",
      "line 3: the value of data set 1 is 21 bytes, its field holds 20",
      "line 3: the colour of data set 1 is 12 bytes, its field holds 10: \"ORANGEYELLOW\""}},
    {"CsvValues",
     {"--csv", "data", "2"},
     "Month,North,,South,\nJan,1,,,\nFeb,1,,2,,extra\n",
     1,
     {"line 1: the value of data set 1 \"North\" is not a number (if this row names the columns, "
      "give --header)",
      "line 2: the value of data set 2 is missing",
      "line 3: 6 fields, where a row of 2 data sets (a label, then a value and a colour each) "
      "holds 5"}},
    {"CsvQuoting",
     {"--csv", "data", "1"},
     "a\"b,1\n\"x\"y,1\nJan,1\n\"open,1\n",
     1,
     {"line 1: a quote inside a field that does not start with one",
      "line 2: text after the closing quote of a field",
      "line 4: the quoted field opened on line 4 is not closed"}},
    {"CsvForProperties", {"--csv", "properties"}, "", 2, {"--csv is for the data table"}},
    {"TooManyDataSets", {"data", "11"}, "", 2, {"a whole number from 0 to 10"}},
};

class DbfWriteRefusal : public ::testing::TestWithParam<RefusedInput> {};

TEST_P(DbfWriteRefusal, NamesTheLineAndReasonAndWritesNothing) {
  const RefusedInput& c = GetParam();
  QTemporaryDir dir;
  const std::string path = dir.filePath("T.DBF").toStdString();
  std::vector<std::string> arguments = c.arguments;
  arguments.push_back(path);
  const RunResult result =
      RunProgram(TARVO_DBFWRITE_PATH, arguments, dir.path().toStdString(), c.input);
  EXPECT_EQ(result.exitCode, c.exitStatus);
  for (const std::string& error : c.errors) {
    EXPECT_NE(result.standardError.find(error), std::string::npos)
        << "missing: " << error << "\nin:\n"
        << result.standardError;
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

INSTANTIATE_TEST_SUITE_P(Inputs, DbfWriteRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return info.param.name; });

}  // namespace
