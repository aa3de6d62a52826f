#include "dbf/dbffile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "dbfwrite/dbfwriter.h"
#include "support/tablefolder.h"

namespace {

class TableFiles : public ::testing::Test, public TableFolder {};

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
  file.ReadHeader();
  EXPECT_EQ(file.IsConsistent(), c.consistent) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, SizeTest,
    ::testing::Values(SizeCase{"five records with end marker", 5, 40, true, 0, 0, true},
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

// dBASE (3), Visual FoxPro (0x30) and FoxPro with memo (0xF5), and no other byte.
TEST(TableVersion, ExactlyTheThreeKnownVersionsAreRead) {
  for (int version = 0; version < 256; ++version) {
    const bool known = version == 0x03 || version == 0x30 || version == 0xF5;
    EXPECT_EQ(IsAcceptedVersion(std::uint8_t(version)), known) << version;
  }
}

TEST_F(TableFiles, RecordLengthZeroNeverAgrees) {
  DbfTable table = Records(0, 10);
  table.damage.recordLength = 0;
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeader();
  EXPECT_FALSE(file.IsConsistent());
}

TEST_F(TableFiles, HeaderValuesAreLittleEndianAndBytesPastTheEndReadAsZero) {
  DbfFile file;
  ASSERT_TRUE(file.Open(WriteBytes("short.dbf", std::string("\x30\0\0\0\x10\x27\0\0\x41", 9))));
  errno = EINTR;  // left by an earlier call: the end of the file still ends the read
  file.ReadHeader();
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
  file.ReadHeader();
  EXPECT_TRUE(file.IsActive(1));
  EXPECT_FALSE(file.IsActive(2));
  EXPECT_TRUE(file.IsActive(3));
  EXPECT_FALSE(file.IsActive(6));                // past the end of the file
  EXPECT_EQ(file.RecordText(1), "record 1   ");  // recordLength - 1 bytes, trailing blanks kept
  EXPECT_EQ(file.RecordText(3), "record 3   ");
}

TEST_F(TableFiles, AnyFlagOtherThanABlankSkipsTheRecord) {
  DbfTable table = Records(2, 8);
  table.flagByte = '#';
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeader();
  EXPECT_FALSE(file.IsActive(1));
  EXPECT_FALSE(file.IsActive(2));
}

TEST_F(TableFiles, LongRecordsAreReadInFull) {
  DbfTable table;
  table.fields = {
      {"A", 'C', 250}, {"B", 'C', 250}, {"C", 'C', 250}, {"D", 'C', 250}, {"E", 'C', 250}};
  table.records.push_back({std::string(1249, 'x') + "!"});
  DbfFile file;
  ASSERT_TRUE(file.Open(Write("t.dbf", table)));
  file.ReadHeader();
  const std::string text = file.RecordText(1);
  ASSERT_EQ(text.size(), 1250u);
  EXPECT_EQ(text.back(), '!');
}

// The cursor reads many records at a time and must give exactly what reading each record on its
// own gives: across block boundaries, with deleted records and with a last record cut short.
TEST_F(TableFiles, TheCursorSeesEachRecordAsReadOnItsOwn) {
  const struct {
    int records, recordLength;
    std::uint64_t cutBytes;
  } cases[] = {{0, 8, 0},      {5000, 8, 0},    {300000, 7, 3},
               {40, 60000, 0}, {3, 65535, 100}, {20, 65535, 1}};
  for (const auto& c : cases) {
    DbfTable table = Records(c.records, c.recordLength);
    for (std::size_t i = 0; i < table.records.size(); i += 3) table.records[i].deleted = true;
    table.endOfFileMarker = false;
    table.damage.cutBytes = c.cutBytes;
    DbfFile file;
    ASSERT_TRUE(file.Open(Write("t.dbf", table)));
    file.ReadHeader();
    std::uint32_t visited = 0;
    for (RecordCursor cursor(file); cursor.Next();) {
      const std::uint32_t n = ++visited;
      ASSERT_EQ(cursor.Number(), n);
      ASSERT_EQ(cursor.IsActive(), file.IsActive(n)) << c.recordLength << " record " << n;
      ASSERT_EQ(cursor.Text(), file.RecordText(n)) << c.recordLength << " record " << n;
    }
    EXPECT_EQ(visited, std::uint32_t(c.records)) << c.recordLength;
  }
}

// Records in the hole of a sparse table read as zeros, whether read one by one or by the cursor,
// which skips the hole without reading it.
TEST_F(TableFiles, TheCursorReadsAHoleAsZeros) {
  const int records = 3000, recordLength = 1000;
  DbfTable table = Records(10, recordLength);
  table.damage.recordCount = records;
  table.endOfFileMarker = false;
  const std::string path = Write("sparse.dbf", table);
  const std::uint64_t headerLength = EncodeDbf(Records(0, recordLength)).size() - 1;  // no end mark
  const std::string last = EncodeDbf(Records(1, recordLength)).substr(headerLength, recordLength);
  const std::uint64_t lastOffset = headerLength + std::uint64_t(records - 1) * recordLength;
  ASSERT_EQ(truncate(path.c_str(), off_t(lastOffset)), 0);
  std::ofstream(path, std::ios::binary | std::ios::app) << last;
  DbfFile file;
  ASSERT_TRUE(file.Open(path));
  file.ReadHeader();
  ASSERT_TRUE(file.IsConsistent());
  int active = 0;
  for (RecordCursor cursor(file); cursor.Next();) {
    const std::uint32_t n = cursor.Number();
    ASSERT_EQ(cursor.IsActive(), file.IsActive(n)) << n;
    ASSERT_EQ(cursor.Text(), file.RecordText(n)) << n;
    active += cursor.IsActive() ? 1 : 0;
  }
  EXPECT_EQ(active, 11) << "the ten records before the hole and the one after it";
}

TEST_F(TableFiles, OnlyExistingRegularFilesOpen) {
  EXPECT_FALSE(DbfFile().Open(Path("missing.dbf")));
  EXPECT_FALSE(DbfFile().Open(Folder()));
  EXPECT_FALSE(DbfFile().Open("/dev/null"));
  EXPECT_FALSE(DbfFile().Open(""));
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(DbfFile().Open(Path("fifo")));  // returns at once: no writer is waited for
  EXPECT_TRUE(DbfFile().Open(Write("t.dbf", Records(1, 8))));
}

}  // namespace
