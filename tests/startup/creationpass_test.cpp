// The creation pass on real tables: each refusal names its check and leaves no table open, and a
// sound pass goes through every step in order.

#include "startup/creationpass.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "properties/printsettings.h"
#include "support/tablefolder.h"
#include "support/tablerows.h"

namespace {

// The window's changes, as plain data.
struct RecordedWindow : WindowEffects {
  std::vector<std::string> effects;
  void HideWindow() override { effects.push_back("hide window"); }
  void ShowPrintButton() override { effects.push_back("show button"); }
  void HidePrintButton() override { effects.push_back("hide button"); }
  void Uncheck3DCheckBox() override { effects.push_back("uncheck box"); }
  void Hide3DCheckBox() override { effects.push_back("hide box"); }
};

// Every step the pass reports, in order.
struct RecordedSteps : PassObserver {
  std::vector<std::string> steps;
  std::int64_t dataFileSize = 0;
  void TablesChecked(const DbfFile&, const DbfFile& dataFile, const Refusal* refusal) override {
    dataFileSize = dataFile.fileSize;
    steps.push_back(refusal ? "tables refused" : "tables");
  }
  void PropertyRecord(std::uint32_t number, std::string_view, RecordOutcome,
                      const PassState&) override {
    steps.push_back("property " + std::to_string(number));
  }
  void OptionsChecked(const PassState&, const Refusal* refusal) override {
    steps.push_back(refusal ? "options refused" : "options");
  }
  void SeriesPlanned(const SeriesPlan& plan) override {
    steps.push_back("plan " + std::to_string(plan.count));
  }
  void DataRecord(const RecordCursor&) override { steps.push_back("data"); }
};

class CreationPass : public ::testing::Test, public TableFolder {
 protected:
  std::optional<Refusal> Run(const std::string& properties, const std::string& data) {
    PassTargets targets{properties, data, window_, chart_, print_, skipRun_};
    targets.placeWindow = [this] { steps_.steps.push_back("placed"); };
    return RunCreationPass(targets, &steps_);
  }

  // The files of this test's folder that the process holds open.
  std::size_t OpenTablesLeft() const {
    std::size_t open = 0;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System)) {
      open += fd.symLinkTarget().startsWith(QString::fromStdString(Folder()));
    }
    return open;
  }

  DbfTable Good() const { return Records(5, 40); }

  RecordedWindow window_;
  RecordedSteps steps_;
  chart::ChartDocument chart_;
  PrintSettings print_;
  bool skipRun_ = true;
};

TEST_F(CreationPass, EachTableRefusalNamesItsCheckAndClosesBoth) {
  const std::string good = Write("good.dbf", Good());
  DbfTable foreign = Good();
  foreign.version = 0x83;
  DbfTable cut = Good();
  cut.damage.cutBytes = 41;
  DbfTable huge = Good();
  huge.damage.recordCount = 4000000000u;
  const std::string missing = Path("missing.dbf");
  const std::string notice = "TarvoChart Notice:";
  const std::string corrupt = "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file.";
  const std::string corruptCaption = "Tarvo Technologies Chart Routine Notice!";
  struct Case {
    std::string properties, data;
    RefusedBy check;
    std::string caption, text;
  };
  const std::vector<Case> cases = {
      {missing, good, RefusedBy::Opening, notice,
       "Could not open file(s): " + missing + " or " + good},
      {good, missing, RefusedBy::Opening, notice,
       "Could not open file(s): " + good + " or " + missing},
      {good, Write("foreign.dbf", foreign), RefusedBy::Version, notice,
       good + " or " + Path("foreign.dbf") + " invalid file type(s)."},
      {WriteBytes("empty.dbf", ""), good, RefusedBy::Version, notice,
       Path("empty.dbf") + " or " + good + " invalid file type(s)."},
      {WriteBytes("tiny.dbf", "\x03\x01"), good, RefusedBy::Size, corruptCaption, corrupt},
      {good, Write("cut.dbf", cut), RefusedBy::Size, corruptCaption, corrupt},
      {Write("huge.dbf", huge), good, RefusedBy::Size, corruptCaption, corrupt},
      // A foreign property table wins over a damaged data table: versions come before sizes.
      {Path("foreign.dbf"), Path("cut.dbf"), RefusedBy::Version, notice,
       Path("foreign.dbf") + " or " + Path("cut.dbf") + " invalid file type(s)."},
  };
  for (const Case& c : cases) {
    steps_.steps.clear();
    const std::optional<Refusal> refusal = Run(c.properties, c.data);
    ASSERT_TRUE(refusal) << c.text;
    EXPECT_EQ(refusal->check, c.check) << c.text;
    EXPECT_EQ(refusal->caption, c.caption) << c.text;
    EXPECT_EQ(refusal->text, c.text);
    EXPECT_EQ(steps_.steps, std::vector<std::string>{"tables refused"}) << c.text;
    EXPECT_EQ(OpenTablesLeft(), 0u) << c.text;
  }
  EXPECT_TRUE(window_.effects.empty()) << "a refused pass leaves the window as it was";
  EXPECT_EQ(chart_.SeriesCount(), 0);
}

// A process that has no file descriptor left is told so: its tables are sound.
TEST_F(CreationPass, NoFileDescriptorLeftIsGivenAsTheReason) {
#ifdef __SANITIZE_ADDRESS__
  // The sanitizers open a pipe to check memory before each virtual call: with no descriptor
  // left they report the call itself. The normal build runs this test.
  GTEST_SKIP() << "the sanitizers need descriptors of their own";
#endif
  const std::string good = Write("good.dbf", Good());
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int lowestFree = dup(STDIN_FILENO);
  ASSERT_GE(lowestFree, 0);
  close(lowestFree);
  rlimit none = saved;
  none.rlim_cur = rlim_t(lowestFree);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  const std::optional<Refusal> refusal = Run(good, good);
  setrlimit(RLIMIT_NOFILE, &saved);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->text,
            "Could not open file(s): " + good + " or " + good + " (" + std::strerror(EMFILE) + ")");
}

// A data table over 2 GiB whose header agrees with its size (sparse: a few thousand long
// records) passes the table checks; the empty property table is refused after it.
TEST_F(CreationPass, ATableOverTwoGibibytesPassesTheChecks) {
  const std::uint32_t records = 40000;
  const std::uint16_t recordLength = 60000;
  DbfTable header = Records(0, 8);
  header.damage.recordCount = records;
  header.damage.recordLength = recordLength;
  header.endOfFileMarker = false;
  const std::string path = Write("big.dbf", header);
  ASSERT_EQ(truncate(path.c_str(), off_t(32 + 32 + 1 + std::uint64_t{records} * recordLength)), 0);
  const std::optional<Refusal> refusal = Run(Write("p.dbf", PropertyTable({})), path);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->check, RefusedBy::DataSetCount);
  EXPECT_GT(steps_.dataFileSize, std::int64_t{1} << 31);
  EXPECT_EQ(steps_.steps, (std::vector<std::string>{"tables", "options refused"}));
  EXPECT_EQ(OpenTablesLeft(), 0u);
}

TEST_F(CreationPass, ASoundPassGoesThroughEveryStepInOrder) {
  const std::string properties =
      Write("p.dbf", PropertyTable({Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR"),
                                    Row("2D"), Row("NOPRINTBUTTON")}));
  const std::string data = Write("d.dbf", DataTable(2, {{"1", "Jan", {{"1", ""}, {"2", ""}}},
                                                        {"1", "Feb", {{"3", ""}, {"4", ""}}}}));
  EXPECT_FALSE(Run(properties, data));
  EXPECT_EQ(steps_.steps, (std::vector<std::string>{"tables", "property 1", "property 2",
                                                    "property 3", "property 4", "options", "plan 2",
                                                    "data", "data", "placed"}));
  EXPECT_EQ(window_.effects,
            (std::vector<std::string>{"show button", "uncheck box", "hide button"}));
  EXPECT_FALSE(skipRun_);
  EXPECT_FALSE(chart_.Model().view3D);
  ASSERT_EQ(chart_.SeriesCount(), 2);
  EXPECT_EQ(chart_.CategoryLabels(), (std::vector<std::string>{"Jan", "Feb"}));
  EXPECT_EQ(OpenTablesLeft(), 0u);
}

}  // namespace
