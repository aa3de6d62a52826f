#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>

#include "application.h"
#include "dbffile.h"
#include "dbfwriter.h"
#include "opentables.h"
#include "unit1.h"

namespace {

class TableFiles : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.filePath(name.c_str()).toStdString(); }

  std::string Write(const std::string& name, const DbfTable& table) const {
    WriteDbf(Path(name), table);
    return Path(name);
  }

  std::string WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

  QTemporaryDir dir_;
};

// A table of `count` records of `recordLength` bytes with one single text field.
DbfTable Records(int count, int recordLength) {
  DbfTable table;
  table.fields = {{"TEXT", 'C', recordLength - 1}};
  for (int i = 0; i < count; ++i) table.records.push_back({"record " + std::to_string(i + 1)});
  return table;
}

struct SizeCase {
  const char* name;
  int records;
  int recordLength;
  bool endOfFileMarker;
  std::uint64_t cutBytes;
  int extraBytes;
  bool consistent;
};

class SizeTest : public TableFiles, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(SizeTest, AgreesWithTheHeaderWithinTheAcceptedSurplus) {
  const SizeCase& c = GetParam();
  DbfTable table = Records(c.records, c.recordLength);
  table.endOfFileMarker = c.endOfFileMarker;
  table.damage.cutBytes = c.cutBytes;
  table.damage.extraBytes.assign(std::size_t(c.extraBytes), ' ');
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeaderLength();
  file.ReadRecordLength();
  file.ReadRecordCount();
  file.ReadFileSize();
  EXPECT_EQ(file.IsConsistent(), c.consistent) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, SizeTest,
    ::testing::Values(
        SizeCase{"five records with end marker", 5, 40, true, 0, 0, true},
        SizeCase{"five records without end marker", 5, 40, false, 0, 0, true},
        SizeCase{"last record one byte short", 5, 40, false, 1, 0, true},
        SizeCase{"last record two bytes short", 5, 40, false, 2, 0, true},
        SizeCase{"last record three bytes short", 5, 40, false, 3, 0, false},
        SizeCase{"one whole record cut off", 5, 40, true, 40, 0, false},
        SizeCase{"surplus of record length - 3", 5, 40, false, 0, 37, true},
        SizeCase{"surplus of record length - 2", 5, 40, false, 0, 38, false},
        SizeCase{"no records, length 4, end marker", 0, 4, true, 0, 0, true},
        SizeCase{"no records, length 3, no end marker", 0, 3, false, 0, 0, true},
        SizeCase{"no records, length 3, end marker", 0, 3, true, 0, 0, false},
        SizeCase{"records of length 3 with end marker", 4, 3, true, 0, 0, false},
        SizeCase{"records of length 4 with end marker", 4, 4, true, 0, 0, true}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST_F(TableFiles, RecordLengthZeroNeverAgrees) {
  DbfTable table = Records(0, 10);
  table.damage.recordLength = 0;
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadRecordLength();
  file.ReadFileSize();
  EXPECT_FALSE(file.IsConsistent());
}

TEST_F(TableFiles, HeaderValuesAreLittleEndianAndBytesPastTheEndReadAsZero) {
  DbfFile file;
  ASSERT_TRUE(file.Open(WriteBytes("short.dbf", std::string("\x30\0\0\0\x10\x27\0\0\x41", 9))));
  file.ReadVersion();
  file.ReadRecordCount();
  file.ReadHeaderLength();
  file.ReadRecordLength();
  EXPECT_EQ(file.version, 0x30);
  EXPECT_EQ(file.recordCount, 10000u);
  EXPECT_EQ(file.headerLength, 0x41);  // the second byte lies past the end
  EXPECT_EQ(file.recordLength, 0);
  EXPECT_EQ(file.ReadText(5, 100), std::string("\x27\0\0\x41", 4));
  EXPECT_EQ(file.ReadText(50, 3), "");
}

TEST_F(TableFiles, RecordsAreVisitedByFlagAndKeepTheirPlaces) {
  DbfTable table = Records(4, 12);
  table.records[1].deleted = true;
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeaderLength();
  file.ReadRecordLength();
  file.ReadRecordCount();
  EXPECT_TRUE(file.IsActive(1));
  EXPECT_FALSE(file.IsActive(2));
  EXPECT_TRUE(file.IsActive(3));
  EXPECT_FALSE(file.IsActive(6));  // past the end of the file
  EXPECT_EQ(file.RecordText(1), "record 1   ");  // recordLength - 1 bytes, trailing blanks kept
  EXPECT_EQ(file.RecordText(3), "record 3   ");
}

TEST_F(TableFiles, AnyFlagOtherThanABlankSkipsTheRecord) {
  DbfTable table = Records(2, 8);
  table.flagByte = '#';
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeaderLength();
  file.ReadRecordLength();
  EXPECT_FALSE(file.IsActive(1));
  EXPECT_FALSE(file.IsActive(2));
}

TEST_F(TableFiles, LongRecordsAreReadInFull) {
  DbfTable table;
  table.fields = {{"A", 'C', 250}, {"B", 'C', 250}, {"C", 'C', 250}, {"D", 'C', 250},
                  {"E", 'C', 250}};
  table.records.push_back({std::string(1249, 'x') + "!"});
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeaderLength();
  file.ReadRecordLength();
  const std::string text = file.RecordText(1);
  ASSERT_EQ(text.size(), 1250u);
  EXPECT_EQ(text.back(), '!');
}

TEST_F(TableFiles, OnlyExistingRegularFilesOpen) {
  EXPECT_FALSE(DbfFile().Open(Path("missing.dbf")));
  EXPECT_FALSE(DbfFile().Open(dir_.path().toStdString()));
  EXPECT_FALSE(DbfFile().Open("/dev/null"));
  EXPECT_FALSE(DbfFile().Open(""));
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(DbfFile().Open(Path("fifo")));  // returns at once: no writer is waited for
  EXPECT_TRUE(DbfFile().Open(Write("t.dbf", Records(1, 8))));
}

// Opening both tables through the real message path, with the messages observed.
class OpenTablesTest : public TableFiles {
 protected:
  void SetUp() override {
    Application.SetMessageObserver([this](const std::string& caption, const std::string& text) {
      messages_.push_back(caption + "|" + text);
    });
  }
  void TearDown() override { Application.SetMessageObserver(nullptr); }

  bool Open(const std::string& properties, const std::string& data) {
    propertyFileName = properties;
    dataFileName = data;
    skipRun = true;  // must be cleared by a successful open
    return OpenTables(propertyFile_, dataFile_);
  }

  DbfTable Good() const { return Records(5, 40); }

  DbfFile propertyFile_, dataFile_;
  std::vector<std::string> messages_;
};

TEST_F(OpenTablesTest, SoundTablesStayOpen) {
  EXPECT_TRUE(Open(Write("p.dbf", Good()), Write("d.dbf", Good())));
  EXPECT_FALSE(skipRun);
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(propertyFile_.IsOpen() && dataFile_.IsOpen());
  EXPECT_EQ(dataFile_.recordCount, 5u);
}

TEST_F(OpenTablesTest, EachRefusalShowsOneMessageAndClosesBoth) {
  const std::string good = Write("good.dbf", Good());
  DbfTable foreign = Good();
  foreign.version = 0x83;
  DbfTable cut = Good();
  cut.damage.cutBytes = 41;
  DbfTable huge = Good();
  huge.damage.recordCount = 4000000000u;
  const std::string missing = Path("missing.dbf");
  struct Case {
    std::string properties, data, expected;
  };
  const std::vector<Case> cases = {
      {missing, good, "TarvoChart Notice:|Could not open file(s): " + missing + " or " + good},
      {good, missing, "TarvoChart Notice:|Could not open file(s): " + good + " or " + missing},
      {missing, missing,
       "TarvoChart Notice:|Could not open file(s): " + missing + " or " + missing},
      {good, Write("foreign.dbf", foreign),
       "TarvoChart Notice:|" + good + " or " + Path("foreign.dbf") + " invalid file type(s)."},
      {WriteBytes("empty.dbf", ""), good,
       "TarvoChart Notice:|" + Path("empty.dbf") + " or " + good + " invalid file type(s)."},
      {WriteBytes("tiny.dbf", "\x03\x01"), good,
       "Tarvo Technologies Chart Routine Notice!|"
       "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file."},
      {good, Write("cut.dbf", cut),
       "Tarvo Technologies Chart Routine Notice!|"
       "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file."},
      {Write("huge.dbf", huge), good,
       "Tarvo Technologies Chart Routine Notice!|"
       "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file."},
  };
  for (const Case& c : cases) {
    messages_.clear();
    skipRun = false;
    EXPECT_FALSE(Open(c.properties, c.data));
    EXPECT_TRUE(skipRun);
    EXPECT_EQ(messages_, std::vector<std::string>{c.expected});
    EXPECT_FALSE(propertyFile_.IsOpen() || dataFile_.IsOpen());
  }
}

TEST_F(OpenTablesTest, TheDataTableIsTestedFirst) {
  DbfTable foreign = Good();
  foreign.version = 0x83;
  DbfTable cut = Good();
  cut.damage.cutBytes = 41;
  // A foreign property table wins over a damaged data table: versions come before sizes.
  EXPECT_FALSE(Open(Write("foreign.dbf", foreign), Write("cut.dbf", cut)));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("invalid file type(s)."), std::string::npos);
}

// A table over 2 GiB whose header agrees with its size: a few thousand long records.
TEST_F(OpenTablesTest, SparseTableOverTwoGibibytesIsAccepted) {
  const std::uint32_t records = 40000;
  const std::uint16_t recordLength = 60000;
  DbfTable header = Records(0, 8);
  header.damage.recordCount = records;
  header.damage.recordLength = recordLength;
  header.endOfFileMarker = false;
  const std::string path = Write("big.dbf", header);
  const std::uint64_t size = 32 + 32 + 1 + std::uint64_t{records} * recordLength;
  ASSERT_EQ(truncate(path.c_str(), off_t(size)), 0);
  EXPECT_TRUE(Open(Write("p.dbf", Good()), path));
  EXPECT_TRUE(messages_.empty());
  EXPECT_GT(dataFile_.fileSize, std::int64_t{1} << 31);
}

}  // namespace
