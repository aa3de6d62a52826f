// tarvo-dbfwrite as a host uses it: text in each form written to a table and read back with the
// chart program's own reader and decoders, and with Debian's dbfread, every value in a form that
// reads the same in every locale; the version byte it writes and the damage it does on purpose
// to a table's end when asked.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <charconv>

#include "dbf/dbffile.h"
#include "dbf/recordlayout.h"
#include "dbfreaddump.h"
#include "dbfwrite/dbfwriter.h"
#include "properties/propertyfile.h"
#include "startup/datasets.h"
#include "support/runprogram.h"

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
  std::vector<std::string> environment = {};  // for the tool's run
};

void PrintTo(const RoundTrip& c, std::ostream* out) { *out << c.name; }

const std::string kValueOf100(100, 'v');
const std::string kKeywordOf30(30, 'K');
const std::string kLabelOf30 = std::string(29, 'L') + "Z";
const std::vector<std::string> kGermanLocale = {"LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8"};

// A data row of ten data sets in bars, and what the program reads from it.
std::string TenDataSetsInBars() {
  std::string line = "1|Ten";
  for (int j = 1; j <= 10; ++j) line += "|" + std::to_string(j) + "|";
  return line + "\n";
}
ReadRecord TenDataSetsRead() {
  ReadRecord read = {"Ten"};
  for (int j = 1; j <= 10; ++j) read.insert(read.end(), {std::to_string(j), ""});
  return read;
}

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
     "# lead|data set|KEYWORD|value\r\n1|2|DATASETTITLE|South\r\n*1|1|NOSHOW|\n1| 3|TOPTITLE|a;b\n",
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
    {"CsvHeaderOfValuesOnly",
     {"--csv", "--header", "data", "4"},
     "Quarter,Widgets,Gadgets,Gizmos,Doohickeys\nQ1,980,210.1,5,6\n",
     {{"Q1", "980", "", "210.1", "", "5", "", "6", ""}}},
    {"CsvHeaderColourColumnsByName",
     {"--csv", "--header", "data", "3"},
     "Month, North ,north_COLOR,South,,West,West Colour\nJan,1,red,2,navy,3\nFeb,4,,5,,6\n",
     {{"Jan", "1", "RED", "2", "NAVY", "3", ""}, {"Feb", "4", "", "5", "", "6", ""}}},
    {"CsvDecimalCommaOfTheLocale",
     {"--csv", "data", "2"},
     "Q1,\"1250,40\",red,\"-3,5e1\",\nQ2,1.5,,\"0,25\",",
     {{"Q1", "1250.4", "RED", "-35", ""}, {"Q2", "1.5", "", "0.25", ""}},
     kGermanLocale},
    {"CsvWithoutHeader", {"--csv", "data", "1"}, "Jan,5\n", {{"Jan", "5", ""}}},
    // A NUL is a byte of its field like any other, even at the start of a line: never an end.
    {"CsvNulAtTheStartOfALine",
     {"--csv", "data", "1"},
     std::string("Jan,5\n\0Feb,6\nMar,7\n", 18),
     {{"Jan", "5", ""}, {"Feb", "6", ""}, {"Mar", "7", ""}}},
    {"CsvByteOrderMarkWithoutHeader",
     {"--csv", "data", "1"},
     "\xEF\xBB\xBFJan,5\n",
     {{"Jan", "5", ""}}},
    {"TabEndsKeyword",
     {"--keywords", "properties"},
     "TOPTITLE\tSales\nDATASETTITLE\t2\tSouth\n",
     {{"1", "TOPTITLE", "Sales"}, {"2", "DATASETTITLE", "South"}}},
    {"TenDataSets", {"data", "10"}, TenDataSetsInBars(), {TenDataSetsRead()}},
    {"LabelFillsItsField", {"data", "1"}, "1|" + kLabelOf30 + "|1|\n", {{kLabelOf30, "1", ""}}},
    {"DataBarsLeaveOutFurtherDataSets",
     {"data", "1"},
     "1|North|420|red|380||300|\n*1|South|1||\n",
     {{"North", "420", "RED"}, kDeleted}},
};

// The same as our reader reads it, with the fields that the table's form declares: the two
// readers must agree on every byte of every record, and dbfread on the field layout.
std::string OurDump(const std::string& path, const DbfTable& form) {
  DbfFile table;
  EXPECT_TRUE(table.Open(path));
  table.ReadHeader();
  std::string dump = "version " + std::to_string(table.version) + "\n", deleted;
  for (const DbfField& field : form.fields) {
    dump += "field " + field.name + " " + field.type + " " + std::to_string(field.length) + "\n";
  }
  for (RecordCursor record(table); record.Next();) {
    (record.IsActive() ? dump : deleted) +=
        (record.IsActive() ? "live " : "deleted ") + Hex(record.Text()) + "\n";
  }
  return dump + deleted;
}

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
      // A line's end is never part of a field, though the program would trim it on reading.
      EXPECT_EQ(record.Text().find('\r'), std::string_view::npos) << record.Number();
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

  // The value field of data set `j` as the program reads it in the C locale: "." is the only
  // decimal separator there.
  static void ExpectReadsInEveryLocale(std::string_view text, int j) {
    const FieldSpan span = data_record::Value(j);
    std::string_view value = TrimmedView(Field(text, span.first, span.Last()));
    if (value.starts_with('+')) value.remove_prefix(1);
    double number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    EXPECT_TRUE(error == std::errc() && end == value.data() + value.size()) << value;
  }

  static ReadRecord DataRecord(const std::string& path, const RecordCursor& record, int dataSets) {
    const DataRecordReader reader(path, record.Number(), record.Text());
    ReadRecord read;
    DecodeDataRecord(
        reader, dataSets, [](int) { return chart::Color{0}; },
        [&](int j, double value, const std::string& label, chart::Color) {
          ExpectReadsInEveryLocale(record.Text(), j);
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
      RunProgram(TARVO_DBFWRITE_PATH, arguments, dir_.path().toStdString(), c.input, c.environment);
  ASSERT_EQ(result.exitCode, 0) << result.standardError;
  EXPECT_EQ(result.standardError, "");
  const bool properties = arguments[arguments.size() - 2] == "properties";
  const int dataSets = properties ? 0 : std::stoi(arguments[arguments.size() - 2]);
  EXPECT_EQ(ReadBack(path, properties, dataSets), c.records);
  EXPECT_EQ(DbfreadDump(path),
            OurDump(path, properties ? PropertyTable({}) : DataTable(dataSets, {})));
}

INSTANTIATE_TEST_SUITE_P(Forms, DbfWriteRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return info.param.name; });

// "--version" alone tells the tool's version; with a number it is the version byte of the table.
TEST(DbfWriteVersion, AloneTellsTheToolsVersionWithANumberSetsTheTablesVersionByte) {
  QTemporaryDir dir;
  const RunResult told = RunProgram(TARVO_DBFWRITE_PATH, {"--version"}, dir.path().toStdString());
  EXPECT_EQ(told.exitCode, 0);
  EXPECT_EQ(told.standardOutput, "tarvo-dbfwrite " TARVO_VERSION "\n");
  const std::string path = dir.filePath("T.DBF").toStdString();
  const RunResult written = RunProgram(TARVO_DBFWRITE_PATH, {"--version=48", "data", "1", path},
                                       dir.path().toStdString(), "1|Jan|1|\n");
  ASSERT_EQ(written.exitCode, 0) << written.standardError;
  EXPECT_EQ(DbfreadDump(path).substr(0, 11), "version 48\n");
}

// The options that damage a table on purpose change its end as they say: the end-of-file marker
// left out, bytes cut off, blanks added after the cut.
TEST(DbfWriteDamage, EachOptionChangesTheTablesEndAsItSays) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("T.DBF").toStdString();
  const auto write = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"data", "1", path});
    const RunResult written = RunProgram(TARVO_DBFWRITE_PATH, arguments, dir.path().toStdString(),
                                         "1|Jan|1|\n1|Feb|2|\n");
    EXPECT_EQ(written.exitCode, 0) << written.standardError;
    QFile table(QString::fromStdString(path));
    return table.open(QIODevice::ReadOnly) ? table.readAll().toStdString() : "";
  };
  const std::string intact = write({});
  ASSERT_EQ(intact.back(), '\x1A');
  const struct {
    std::vector<std::string> options;
    std::size_t cut;
    std::string added;
  } cases[] = {{{"--no-eof"}, 1, ""},
               {{"--cut=5"}, 5, ""},
               {{"--extra=3"}, 0, "   "},
               {{"--cut=5", "--extra=3"}, 5, "   "}};
  for (const auto& c : cases) {
    EXPECT_EQ(write(c.options), intact.substr(0, intact.size() - c.cut) + c.added)
        << c.options.back();
  }
}

}  // namespace
