// The last step of the creation pass: tables closed, print, bitmap, window placed, in order.

#include "startup/startupoutputs.h"

#include <gtest/gtest.h>

#include <QImage>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "properties/chartoptions.h"
#include "runtime/errors.h"
#include "support/tablefolder.h"

namespace {

TEST(CentredPosition, HalvesTheExcessTruncatingTowardZero) {
  const struct {
    QSize screen, window;
    QPoint position;
  } cases[] = {{{1024, 768}, {640, 480}, {192, 144}},
               {{1025, 769}, {640, 480}, {192, 144}},
               {{1024, 768}, {633, 479}, {195, 144}},  // not half the screen less half the window
               {{640, 480}, {640, 480}, {0, 0}},
               {{600, 400}, {641, 481}, {-20, -40}}};
  for (const auto& c : cases) EXPECT_EQ(CentredPosition(c.screen, c.window), c.position);
}

class StartupOutputs : public ::testing::Test, public TableFolder {
 protected:
  void SetUp() override {
    const std::string table = Write("t.dbf", Records(1, 8));
    ASSERT_TRUE(propertyFile_.Open(table) && dataFile_.Open(table));
  }

  void Run(bool skipRun) {
    const auto print = [this] {
      events_.push_back("print at " + Size());
      EXPECT_FALSE(propertyFile_.IsOpen() || dataFile_.IsOpen());
      if (printFails_) throw Exception("no printer");
    };
    const auto place = [this] { events_.push_back("placed at " + Size()); };
    StartupTargets targets{propertyFile_, dataFile_, chart_, {401, 585}, skipRun, print, place};
    RunStartupOutputs(options_, targets);
  }

  std::string Size() const {
    return std::to_string(chart_.Width()) + "x" + std::to_string(chart_.Height());
  }

  chart::ChartDocument chart_;
  DbfFile propertyFile_, dataFile_;
  ChartOptions options_;
  std::vector<std::string> events_;
  bool printFails_ = false;
};

TEST_F(StartupOutputs, PrintFirstThenTheBitmapThenTheWindowSize) {
  options_.printAtStart = true;
  options_.saveBitmap = true;
  options_.bitmapFile = Path("chart.bmp");
  options_.bitmapHeight = 300;
  options_.bitmapWidth = 500;
  Run(false);
  EXPECT_EQ(events_, (std::vector<std::string>{"print at 585x401", "placed at 585x401"}));
  EXPECT_EQ(QImage(QString::fromStdString(options_.bitmapFile)).size(), QSize(500, 300));
  EXPECT_EQ(Size(), "585x401") << "the window's chart gets its size back";
}

TEST_F(StartupOutputs, AWindowlessRunKeepsTheBitmapSizeAndIsNotPlaced) {
  options_.saveBitmap = true;
  options_.bitmapFile = Path("chart.png");
  options_.bitmapHeight = 120;
  options_.bitmapWidth = 160;
  Run(true);
  EXPECT_TRUE(events_.empty()) << "nothing printed without PRINT, no window placed";
  EXPECT_EQ(QImage(QString::fromStdString(options_.bitmapFile)).size(), QSize(160, 120));
  EXPECT_EQ(Size(), "160x120");
}

TEST_F(StartupOutputs, ASizeOfZeroWritesNoFile) {
  for (const auto& [height, width] : {std::pair{0, 200}, {200, 0}, {0, 0}}) {
    options_.saveBitmap = true;
    options_.bitmapFile = Path("none.bmp");
    options_.bitmapHeight = height;
    options_.bitmapWidth = width;
    Run(false);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(options_.bitmapFile)));
    EXPECT_EQ(Size(), "585x401");
  }
}

TEST_F(StartupOutputs, AFailureEndsTheStepWhereItHappens) {
  options_.printAtStart = true;
  options_.saveBitmap = true;
  options_.bitmapFile = Path("chart.bmp");
  options_.bitmapHeight = options_.bitmapWidth = 100;
  printFails_ = true;
  EXPECT_THROW(Run(false), Exception);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(options_.bitmapFile)));
  EXPECT_EQ(events_, std::vector<std::string>{"print at 585x401"}) << "not placed";

  // A bitmap that cannot be written: the chart keeps the bitmap size.
  printFails_ = false;
  options_.printAtStart = false;
  options_.bitmapFile = Path("missing/chart.bmp");
  events_.clear();
  EXPECT_THROW(Run(false), Exception);
  EXPECT_EQ(Size(), "100x100");
  EXPECT_TRUE(events_.empty()) << "not placed";
}

}  // namespace
