// tarvo-dbfwrite as a host uses it: text in each form written to a table and read back with the
// chart program's own reader and decoders, and with Debian's dbfread, every value in a form that
// reads the same in every locale; what would not fit a field, or a CSV column that holds the
// wrong thing, refused with its line, the reason and a hint, and then no file written; a write
// that fails (a full disk, a file-size limit, a read-only folder) leaves the old table as it was
// and says why.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>

#include "startup/datasets.h"
#include "dbf/dbffile.h"
#include "dbf/recordlayout.h"
#include "dbfreaddump.h"
#include "dbfwrite/dbfwriter.h"
#include "properties/propertyfile.h"
#include "support/runprogram.h"
#include "support/smallfilesystem.h"

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
        reader, dataSets, [](int) { return chart::TColor{0}; },
        [&](int j, double value, const std::string& label, chart::TColor) {
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

struct RefusedInput {
  std::string name;
  std::vector<std::string> arguments;
  std::string input;
  int exitStatus;
  std::vector<std::string> errors;            // each stands in standard error
  std::vector<std::string> environment = {};  // for the tool's run
};

void PrintTo(const RefusedInput& c, std::ostream* out) { *out << c.name; }

const RefusedInput kRefusals[] = {
    {"KeywordLinesTooLong",
     {"--keywords", "properties"},
     "DATASETCOUNT 1\n" + std::string(31, 'K') + " x\nTOPTITLE " + std::string(101, 'v') +
         "\nDATASETTITLE 2026 plan\nDATASETTITLE 10 " + std::string(101, 'w') + "\n",
     1,
     {"line 2: the keyword is 31 bytes, its field holds 30: \"KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK\"",
      "line 3: the value is 101 bytes, its field holds 100: \"vvvv",
      "line 4: the data-set number 2026 is over 2 characters (a title or colour that starts with "
      "a number follows its data-set number: DATASETTITLE 1 2026 ...)",
      "line 5: the value is 101 bytes, its field holds 100: \"wwww",
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
      "line 3: 6 fields, where a row of 2 data sets holds 5: the columns are label, value 1, "
      "colour 1, value 2, colour 2 (for a CSV of values only, name the columns in a header row "
      "and give --header)"}},
    {"CsvNumbersInColourColumns",
     {"--csv", "data", "2"},
     "Q1,980,210.1,5,6\nQ2,1,red,3,4\n",
     1,
     {"line 1: the colour of data set 1 is the number \"210.1\": the columns are label, value 1, "
      "colour 1, value 2, colour 2 (for a CSV of values only, name the columns in a header row "
      "and give --header)",
      "line 1: the colour of data set 2 is the number \"6\"\n",
      "line 2: the colour of data set 2 is the number \"4\"\n"}},
    {"CsvHeaderNamesMoreDataSets",
     {"--csv", "--header", "data", "2"},
     "Quarter,Widgets,Gadgets,Gizmos,Doohickeys\nQ1,980,210.1,5,6\n",
     1,
     {"line 1: the header names 4 data sets (Widgets, Gadgets, Gizmos, Doohickeys) but the table "
      "is for 2: give \"data 4\""}},
    {"CsvHeaderColourColumnAfterTheLabel",
     {"--csv", "--header", "data", "1"},
     "\n\nQuarter,Colour,North\n",
     1,
     {"line 3: column 2 (\"Colour\") names a colour, but no value column comes right before it"}},
    {"CsvHeaderTheFirstOfTwoColourColumnsWithoutAValue",
     {"--csv", "--header", "data", "1"},
     "Quarter,Colour,North,,\n",
     1,
     {"line 1: column 2 (\"Colour\") names a colour, but no value column comes right before it"}},
    {"CsvHeaderMissing",
     {"--csv", "--header", "data", "1"},
     "\n\n",
     1,
     {"line 1: the input is empty: with --header it starts with a header row"}},
    {"CsvValueOfAMegabyteQuotedInPart",
     {"--csv", "data", "1"},
     "Q1,1\nQ2," + std::string(1 << 20, 'x') + "\n",
     1,
     {"line 2: the value of data set 1 \"" + std::string(40, 'x') + "...\" is not a number\n"}},
    {"CsvHeaderUnnamedColumnAfterAColour",
     {"--csv", "--header", "data", "1"},
     "Quarter,North,,\n",
     1,
     {"line 1: column 4 has no name: a column without a name is the colour column of the value "
      "column right before it, and there is none"}},
    {"CsvRowsAgainstTheHeader",
     {"--csv", "--header", "data", "2"},
     "Quarter,N,Colour,S\nQ1,1,,2,x\nQ2,1,3,2\nQ3,1\n",
     1,
     {"line 2: 5 fields, where the header has 4: the columns are Quarter (label), N (value 1), "
      "Colour (colour 1), S (value 2)",
      "line 3: the colour of data set 1 (N) is the number \"3\"\n",
      "line 4: the value of data set 2 (S) is missing"}},
    {"KeywordLinesWithoutKeywords",
     {"properties"},
     "DATASETCOUNT 2\nNOSHOW\n",
     1,
     {"line 1: the lead number is 14 bytes, its field holds 1: \"DATASETCOUNT 2\" (this looks "
      "like KEYWORD value lines: give --keywords)"}},
    {"CsvWithoutCsv",
     {"data", "1"},
     "Jan,12,red\n",
     1,
     {"line 1: the lead number is 10 bytes, its field holds 2: \"Jan,12,red\" (this looks like "
      "CSV: give --csv)"}},
    {"CsvQuoting",
     {"--csv", "data", "1"},
     "a\"b,1\n\"x\"y,1\nJan,1\n\"open,1\n",
     1,
     {"line 1: a quote inside a field that does not start with one",
      "line 2: text after the closing quote of a field",
      "line 4: the quoted field opened on line 4 is not closed"}},
    {"CsvLinesCountedInsideQuotes",
     {"--csv", "data", "1"},
     "\"two\nlines\",1\nJan,x\n",
     1,
     {"line 3: the value of data set 1 \"x\" is not a number"}},
    {"CsvForProperties", {"--csv", "properties"}, "", 2, {"--csv is for the data table"}},
    {"DamageNumberNotANumber",
     {"--count=x", "data", "1"},
     "",
     2,
     {"--count=x: give a whole number from 0 to 4294967295"}},
    {"DamageNumberTooLarge", {"--version=256", "properties"}, "", 2, {"from 0 to 255"}},
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
      RunProgram(TARVO_DBFWRITE_PATH, arguments, dir.path().toStdString(), c.input, c.environment);
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

enum class Place { Folder, SmallDisk, ReadOnlyDisk };

struct WriteFailure {
  std::string name;
  Place place;
  std::string table;  // the new table's name in that place
  std::string reason;
  std::string limit = "";   // a shell's "ulimit -f" for the writer
  std::string occupy = "";  // made at the table's name before the run: "folder" or "fifo"
  std::string trace = "";   // strace's options that make a system call fail
};

void PrintTo(const WriteFailure& c, std::ostream* out) { *out << c.name; }

const WriteFailure kWriteFailures[] = {
    {"FullDisk", Place::SmallDisk, "T.DBF", std::strerror(ENOSPC)},
    {"ReadOnlyFolder", Place::ReadOnlyDisk, "T.DBF", std::strerror(EROFS)},
    {"FileSizeLimit", Place::Folder, "T.DBF", std::strerror(EFBIG), "ulimit -f 8"},
    {"MissingFolder", Place::Folder, "missing/T.DBF", std::strerror(ENOENT)},
    {"AFolder", Place::Folder, "T.DBF", "it is a folder, not a regular file", "", "folder"},
    {"AFifo", Place::Folder, "T.DBF", "it is a FIFO, not a regular file", "", "fifo"},
    // The quota runs out as the complete file gets its name.
    {"NoNameForTheFile", Place::Folder, "T.DBF", std::strerror(EDQUOT), "", "",
     "-e trace=linkat -e inject=linkat:error=EDQUOT"},
};

class DbfWriteFailure : public ::testing::TestWithParam<WriteFailure> {};

// 100 KB of properties: more than the small file system and the size limit hold.
std::string ManyProperties() {
  std::string input;
  for (int i = 0; i < 750; ++i) input += "1|1|TOPTITLE|" + std::string(90, 'x') + "\n";
  return input;
}

// Puts `bytes` at `path` as it should stay, or what `occupy` names.
void Occupy(const QString& path, const std::string& occupy, const std::string& bytes) {
  if (occupy == "folder") {
    QDir().mkdir(path);
  } else if (occupy == "fifo") {
    QProcess::execute("mkfifo", {path});
  } else if (QFileInfo(path).dir().exists()) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), qint64(bytes.size()));
  }
}

TEST_P(DbfWriteFailure, LeavesTheOldTableAndSaysWhy) {
  const WriteFailure& c = GetParam();
  QTemporaryDir dir;
  SmallFileSystem disk;
  const QString folder = c.place == Place::Folder ? dir.path() : dir.filePath("disk");
  if (c.place != Place::Folder && !disk.Mount(folder)) GTEST_SKIP() << "mounting needs root";
  const QString path = folder + "/" + QString::fromStdString(c.table);
  const std::string old = "old table";
  Occupy(path, c.occupy, old);
  if (c.place == Place::ReadOnlyDisk) {
    ASSERT_TRUE(disk.MakeReadOnly());
  }
  if (!c.trace.empty() && QStandardPaths::findExecutable("strace").isEmpty()) {
    GTEST_SKIP() << "needs strace";
  }
  const std::string traced = c.trace.empty() ? "" : "strace -qq -o /dev/null " + c.trace + " ";
  const std::string script =
      (c.limit.empty() ? "" : c.limit + "; ") + "exec " + traced + "\"$0\" \"$@\"";
  const RunResult result =
      RunProgram("/bin/sh", {"-c", script, TARVO_DBFWRITE_PATH, "properties", path.toStdString()},
                 dir.path().toStdString(), ManyProperties(), {AsanOptionsUnderTrace()});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.standardError,
            "tarvo-dbfwrite: cannot write " + path.toStdString() + ": " + c.reason + "\n");
  QFile file(path);
  if (c.occupy.empty() && file.open(QIODevice::ReadOnly)) {
    EXPECT_EQ(file.readAll().toStdString(), old);
  }
  const QStringList left = QFileInfo(path).dir().entryList(QDir::Files | QDir::System);
  EXPECT_LE(left.size(), 1) << left.join(" ").toStdString() << ": no temporary file stays";
}

INSTANTIATE_TEST_SUITE_P(Places, DbfWriteFailure, ::testing::ValuesIn(kWriteFailures),
                         [](const auto& info) { return info.param.name; });

}  // namespace
