// tarvo-dbfwrite when it cannot write what it is given: what would not fit a field, or a CSV
// column that holds the wrong thing, refused with its line, the reason and a hint, and then no
// file written; a write that fails (a full disk, a file-size limit, a read-only folder) leaves
// the old table as it was and says why.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

#include "support/runprogram.h"
#include "support/smallfilesystem.h"

namespace {

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
