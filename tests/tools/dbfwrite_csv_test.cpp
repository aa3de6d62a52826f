// tarvo-dbfwrite --csv on CSV as spreadsheets across Europe export it: ";" or "," as the
// separator (told by the first row, or chosen), decimal commas and digits grouped by ".", ","
// or blanks, --columns by name and by number. Every table is read back with Debian's dbfread and
// with the program's own reader, and must be the same byte for byte in the C, German and French
// locales; a refusal names its line and writes nothing.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <charconv>
#include <cstdio>
#include <random>
#include <sstream>

#include "dbf/dbffile.h"
#include "dbf/recordlayout.h"
#include "dbfreaddump.h"
#include "runtime/text.h"
#include "startup/datasets.h"
#include "support/runprogram.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;  // label, then each value and colour

struct CsvCase {
  std::string name;
  std::vector<std::string> arguments;  // after --csv, before "data N OUT.DBF"
  int dataSets;
  std::string input;
  Rows rows;                 // as written, each field trimmed; none for a refusal
  std::string refusal = "";  // for a refusal: its lines on standard error, without the prefix
  int exitStatus = 0;        // of a refusal: 1 when not given
};

void PrintTo(const CsvCase& c, std::ostream* out) { *out << c.name; }

const std::string kGermanSheet =
    "Monat;Umsatz 2025;Umsatz 2026\r\nJanuar;38.120,75;40.015\r\n\"M\xC3\xA4rz; sp\xC3\xA4t\";"
    "41.250,50;-43.980\r\n";

const CsvCase kCases[] = {
    {"GermanSpreadsheet",
     {"--header"},
     2,
     kGermanSheet,
     {{"Januar", "38120.75", "", "40015", ""},
      {"M\xC3\xA4rz; sp\xC3\xA4t", "41250.50", "", "-43980", ""}}},
    {"BlanksGroupDigits",
     {"--header"},
     1,
     "Mois;Ventes\nA;41 250,5\nB;1\xC2\xA0"
     "250\nC;2\xE2\x80\xAF"
     "500,25\nD;+1 234 567\n",
     {{"A", "41250.5", ""}, {"B", "1250", ""}, {"C", "2500.25", ""}, {"D", "+1234567", ""}}},
    {"Windows1252TextKeepsItsBytes",
     {},
     1,
     "M\xE4rz;1\xA0"
     "250,5;rot\n",
     {{"M\xE4rz", "1250.5", "rot"}}},
    {"SemicolonsWithoutHeader",
     {},
     1,
     "\nJan;1,5;red\nFeb;-2,25e1;\nMar;,5\n",
     {{"Jan", "1.5", "red"}, {"Feb", "-2.25e1", ""}, {"Mar", ".5", ""}}},
    {"CommaFileGroupsWithCommas",
     {"--header"},
     2,
     "Q,A,B\nx,\"1,250,000\",\"1,250.5\"\ny,\"1250,40\",43.980\nz,\"1.250,5\",\"0,25\"\n",
     {{"x", "1250000", "", "1250.5", ""},
      {"y", "1250.40", "", "43.980", ""},
      {"z", "1250.5", "", "0.25", ""}}},
    {"SeparatorChosen", {"--separator=semicolon"}, 1, "a,b,c;1,5\n", {{"a,b,c", "1.5", ""}}},
    {"ColumnsByName",
     {"--header", "--columns", "Monat,Umsatz 2026"},
     1,
     kGermanSheet,
     {{"Januar", "40015", ""}, {"M\xC3\xA4rz; sp\xC3\xA4t", "-43980", ""}}},
    {"ColumnsByNumberAndInAnyCaseBringTheirColours",
     {"--header", "--columns=quarter;4;2"},
     2,
     "Quarter,2025,Colour,2026,Colour\nQ1,1,red,2,navy\n",
     {{"Q1", "2", "navy", "1", "red"}}},
    {"ColumnsWithoutHeader",
     {"--columns", "1,4"},
     1,
     "x;1;2;3\ny;4;5;6,5\n",
     {{"x", "3", ""}, {"y", "6.5", ""}}},
    {"ColumnsNameTheLabelFirst",
     {"--header", "--columns", "2026,Quarter"},
     1,
     "Quarter,2025,Colour,2026,Colour\nQ1,1,red,2,navy\n",
     {},
     "line 2: the value of data set 1 (Quarter) \"Q1\" is not a number"},
    {"AmbiguousCommaInACommaFile",
     {"--header"},
     1,
     "Q,A\nx,\"41,250\"\n",
     {},
     "line 2: the value of data set 1 (A) \"41,250\" can be 41250 (a comma that groups digits) "
     "or 41.250 (a decimal comma): write 41250 or 41.250"},
    {"BrokenGrouping",
     {},
     1,
     "w;1\nx;41.25.0\ny;1.250 000,5\nz;12 34\n",
     {},
     "line 2: the value of data set 1 \"41.25.0\" is not a number\n"
     "line 3: the value of data set 1 \"1.250 000,5\" is not a number\n"
     "line 4: the value of data set 1 \"12 34\" is not a number"},
    {"TheFirstLineAloneTellsTheSeparator",  // none there: the comma
     {},
     1,
     "Jan\nFeb;5\n",
     {},
     "line 1: the value of data set 1 is missing\n"
     "line 2: the value of data set 1 is missing"},
    {"ColumnNamedTwice",
     {"--header", "--columns", "Q,A"},
     1,
     "Q;A;A\nx;1;2\n",
     {},
     "line 1: --columns names \"A\", the name of columns 2 and 3: name the one you mean by its "
     "number"},
    {"ColumnOfNoName",
     {"--header", "--columns", "Monat,Umsatz"},
     1,
     kGermanSheet,
     {},
     "line 1: --columns names \"Umsatz\", which is none of the 3 columns of the header: Monat "
     "(label), Umsatz 2025 (value 1), Umsatz 2026 (value 2)"},
    {"ColumnThatIsAColour",
     {"--header", "--columns", "Q,Colour"},
     1,
     "Q;A;Colour\nx;1;red\n",
     {},
     "line 1: --columns names \"Colour\", the colour column of \"A\": name the value column, and "
     "its colours come with it"},
    {"ColumnsOfTheLabelAlone",
     {"--header", "--columns", "Umsatz 2026"},
     1,
     kGermanSheet,
     {},
     "line 1: --columns picks only the label's column, but the table is for 1 data set (the "
     "first column it names is the label)"},
    {"ColumnsByNameWithoutHeader",
     {"--columns", "a,2"},
     1,
     "x;1\n",
     {},
     "--columns names \"a\": without --header the columns have no names; give their numbers, "
     "from 1",
     2},
    {"SeparatorOfNoKind",
     {"--separator=tab"},
     1,
     "x\t1\n",
     {},
     "--separator takes \",\" or \";\" (comma, semicolon)",
     2},
    {"HeaderOfSemicolonsReadWithCommas",
     {"--header", "--separator", ","},
     1,
     "Q;A\nx;1\n",
     {},
     "line 1: the header names no value column, only the label, but the table is for 1 data set "
     "(the columns seem to be separated by \";\": give --separator=\";\")"},
};

const std::vector<std::vector<std::string>> kLocales = {{"LC_ALL=C", "LANG=C"},
                                                        {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"},
                                                        {"LC_ALL=fr_FR.UTF-8", "LANG=fr_FR.UTF-8"}};

// The records as dbfread reads them, each field trimmed of its padding, the lead number left out.
Rows DbfreadRows(const std::string& path, int dataSets) {
  std::vector<std::size_t> widths = {data_record::kLabel.width};
  for (int j = 0; j < dataSets; ++j) {
    widths.insert(widths.end(), {data_record::kValueWidth, data_record::kColorWidth});
  }
  Rows rows;
  std::istringstream dump(DbfreadDump(path));
  for (std::string line; std::getline(dump, line);) {
    if (!line.starts_with("live ")) continue;
    const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(line.substr(5)));
    std::size_t at = data_record::kLeadNumber.width;
    rows.emplace_back();
    for (const std::size_t width : widths) {
      rows.back().push_back(Trim(bytes.mid(qsizetype(at), qsizetype(width)).toStdString()));
      at += width;
    }
  }
  return rows;
}

double NumberOf(const std::string& text) {
  double value = 0;
  const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
  std::from_chars(begin, text.data() + text.size(), value);
  return value;
}

// The program reads every record as dbfread does: the same labels, colours and numbers.
void ExpectTheProgramReads(const std::string& path, int dataSets, const Rows& rows) {
  DbfFile table;
  ASSERT_TRUE(table.Open(path));
  table.ReadHeader();
  std::size_t n = 0;
  for (RecordCursor record(table); record.Next(); ++n) {
    ASSERT_LT(n, rows.size());
    const DataRecordReader reader(path, record.Number(), record.Text());
    DecodeDataRecord(
        reader, dataSets, [](int) { return chart::Color{0}; },
        [&](int j, double value, const std::string& label, chart::Color) {
          EXPECT_EQ(label, rows[n][0]);
          EXPECT_EQ(value, NumberOf(rows[n][1 + 2 * j])) << rows[n][1 + 2 * j];
          EXPECT_EQ(reader.ColorName(j), UpperCase(rows[n][2 + 2 * j]));
        });
  }
  EXPECT_EQ(n, rows.size());
}

std::string FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
}

class DbfWriteCsv : public ::testing::TestWithParam<CsvCase> {};

TEST_P(DbfWriteCsv, WritesWhatTheSpreadsheetMeantInEveryLocaleOrRefusesTheLine) {
  const CsvCase& c = GetParam();
  QTemporaryDir dir;
  std::string written;
  for (const std::vector<std::string>& locale : kLocales) {
    const std::string path = dir.filePath("T.DBF").toStdString();
    std::vector<std::string> arguments = {"--csv"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.insert(arguments.end(), {"data", std::to_string(c.dataSets), path});
    const RunResult result =
        RunProgram(TARVO_DBFWRITE_PATH, arguments, dir.path().toStdString(), c.input, locale);
    if (!c.refusal.empty()) {
      EXPECT_EQ(result.exitCode, c.exitStatus ? c.exitStatus : 1);
      std::istringstream lines(c.refusal);
      for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(result.standardError.find("tarvo-dbfwrite: " + line + "\n"), std::string::npos)
            << line << "\nnot in:\n"
            << result.standardError;
      }
      EXPECT_FALSE(QFile::exists(dir.filePath("T.DBF")));
      continue;
    }
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(DbfreadRows(path, c.dataSets), c.rows) << locale[0];
    ExpectTheProgramReads(path, c.dataSets, c.rows);
    if (written.empty()) written = FileBytes(dir.filePath("T.DBF"));
    EXPECT_EQ(FileBytes(dir.filePath("T.DBF")), written) << "differs under " << locale[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, DbfWriteCsv, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

// A number written as a spreadsheet of one convention writes it: grouped by `group` (none when
// 0) in threes, `mark` before its two decimals.
std::string Spreadsheet(long long whole, int cents, std::string_view group, char mark) {
  std::string digits = std::to_string(whole < 0 ? -whole : whole);
  for (int at = int(digits.size()) - 3; at > 0 && !group.empty(); at -= 3) {
    digits.insert(std::size_t(at), group);
  }
  char decimals[4];
  std::snprintf(decimals, sizeof decimals, "%c%02d", mark, cents);
  return (whole < 0 ? "-" : "") + digits + decimals;
}

// Over many generated numbers, each grouping of each convention: a ";" file with decimal commas
// and a "," file with decimal points (grouped ones quoted) read as the numbers they were.
TEST(DbfWriteCsvNumbers, EveryGroupingOfEitherConventionReadsAsTheNumber) {
  QTemporaryDir dir;
  std::mt19937_64 random(23);
  struct Convention {
    char separator, mark;
    std::vector<std::string_view> groups;
  };
  const Convention conventions[] = {{';', ',', {"", ".", " ", "\xC2\xA0", "\xE2\x80\xAF"}},
                                    {',', '.', {"", ",", " "}}};
  for (const Convention& convention : conventions) {
    std::string input;
    Rows rows;
    for (int i = 0; i < 400; ++i) {
      const long long whole =
          std::uniform_int_distribution<long long>(-2'000'000'000, 2'000'000'000)(random);
      const int cents = int(random() % 100);
      const std::string_view group = convention.groups[random() % convention.groups.size()];
      const std::string value = Spreadsheet(whole, cents, group, convention.mark);
      input += "r" + std::to_string(i) + convention.separator + "\"" + value + "\"\n";
      rows.push_back({"r" + std::to_string(i), Spreadsheet(whole, cents, "", '.'), ""});
    }
    const std::string path = dir.filePath("T.DBF").toStdString();
    const RunResult result = RunProgram(TARVO_DBFWRITE_PATH, {"--csv", "data", "1", path},
                                        dir.path().toStdString(), input, kLocales[0]);
    ASSERT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(DbfreadRows(path, 1), rows) << "separator " << convention.separator;
    ExpectTheProgramReads(path, 1, rows);
  }
}

}  // namespace
