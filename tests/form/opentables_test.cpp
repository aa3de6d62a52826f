#include "opentables.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "dbffile.h"
#include "messagerecorder.h"
#include "tablefolder.h"
#include "unit1.h"

namespace {

// Opening both tables through the real message path, with the messages observed.
class OpenTablesTest : public ::testing::Test, public TableFolder {
 protected:
  bool Open(const std::string& properties, const std::string& data) {
    propertyFileName = properties;
    dataFileName = data;
    skipRun = true;  // must be cleared by a successful open
    return OpenTables(propertyFile_, dataFile_);
  }

  DbfTable Good() const { return Records(5, 40); }

  DbfFile propertyFile_, dataFile_;
  MessageRecorder recorder_{"|"};
  std::vector<std::string>& messages_ = recorder_.messages;
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
