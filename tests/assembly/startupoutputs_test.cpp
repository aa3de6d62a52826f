// The last step of the creation pass: tables closed, print, bitmap, window placed, in order.

#include "startupoutputs.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "chartoptions.h"
#include "dbffile.h"
#include "runtime.h"
#include "tablefolder.h"
#include "tchart.h"

namespace {

TEST(CentredPosition, HalvesTheExcessTruncatingTowardZero) {
  const struct {
    QSize screen, window;
    QPoint position;
  } cases[] = {{{1024, 768}, {640, 480}, {192, 144}},
               {{1025, 769}, {640, 480}, {192, 144}},
               {{640, 480}, {640, 480}, {0, 0}},
               {{600, 400}, {641, 481}, {-20, -40}}};
  for (const auto& c : cases) EXPECT_EQ(CentredPosition(c.screen, c.window), c.position);
}

class StartupOutputs : public ::testing::Test, public TableFolder {
 protected:
  void SetUp() override {
    chart_ = new TChart(&window_);
    chart_->resize(585, 401);
    const std::string table = Write("t.dbf", Records(1, 8));
    ASSERT_TRUE(propertyFile_.Open(table) && dataFile_.Open(table));
  }

  void Run(bool skipRun) {
    StartupTargets targets{propertyFile_, dataFile_, window_, *chart_, {401, 585}, skipRun, [this] {
                             events_.push_back("print at " + Size());
                             EXPECT_FALSE(propertyFile_.IsOpen() || dataFile_.IsOpen());
                             if (printFails_) throw Exception("no printer");
                           }};
    RunStartupOutputs(options_, targets);
  }

  std::string Size() const {
    return std::to_string(chart_->width()) + "x" + std::to_string(chart_->height());
  }

  QWidget window_;
  TChart* chart_ = nullptr;
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
  window_.move(5, 5);
  Run(false);
  EXPECT_EQ(events_, std::vector<std::string>{"print at 585x401"});
  EXPECT_EQ(QImage(QString::fromStdString(options_.bitmapFile)).size(), QSize(500, 300));
  EXPECT_EQ(Size(), "585x401") << "the window's chart gets its size back";
  EXPECT_NE(window_.pos(), QPoint(5, 5)) << "centred";
  EXPECT_EQ(window_.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(StartupOutputs, AWindowlessRunKeepsTheBitmapSizeAndIsNotPlaced) {
  options_.saveBitmap = true;
  options_.bitmapFile = Path("chart.png");
  options_.bitmapHeight = 120;
  options_.bitmapWidth = 160;
  window_.move(5, 5);
  Run(true);
  EXPECT_TRUE(events_.empty()) << "nothing printed without PRINT";
  EXPECT_EQ(QImage(QString::fromStdString(options_.bitmapFile)).size(), QSize(160, 120));
  EXPECT_EQ(Size(), "160x120");
  EXPECT_EQ(window_.pos(), QPoint(5, 5));
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
  window_.move(5, 5);
  EXPECT_THROW(Run(false), Exception);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(options_.bitmapFile)));
  EXPECT_EQ(window_.pos(), QPoint(5, 5));

  // A bitmap that cannot be written: the chart keeps the bitmap size.
  printFails_ = false;
  options_.printAtStart = false;
  options_.bitmapFile = Path("missing/chart.bmp");
  EXPECT_THROW(Run(false), Exception);
  EXPECT_EQ(Size(), "100x100");
  EXPECT_EQ(window_.pos(), QPoint(5, 5));
}

}  // namespace
