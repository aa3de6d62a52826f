// The chart's right-click menu in the window: opening it, copying the chart, saving it.

#include "window/chartmenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "support/messagerecorder.h"
#include "window/tchart.h"
#include "window/tform1.h"

namespace {

// The window with a chart of two bars in the palette's colours.
class ChartMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart::ChartSeries series = form_.Chart1->Document().AddSeries(chart::SeriesKind::Bar);
    series.Add(12, "Jan", chart::kAutomaticColor);
    series.Add(15, "Feb", chart::kAutomaticColor);
    form_.show();
  }

  // Saves through the menu, the dialog answered with `name` in the folder and `filter` chosen.
  void SaveAs(const QString& name, const QString& filter, bool confirmed = true) {
    recorder_.dialogAnswer = confirmed;
    recorder_.fillDialog = [&](QDialog& dialog) {
      auto& files = dynamic_cast<QFileDialog&>(dialog);
      files.selectNameFilter(filter);
      emit files.filterSelected(filter);  // as the list of file types does when the user picks
      files.selectFile(folder_.filePath(name));
    };
    form_.ChartMenu1->SaveAction->trigger();
  }

  QByteArray Start(const QString& name) const {
    QFile file(folder_.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.read(5) : QByteArray();
  }

  TForm1 form_;
  MessageRecorder recorder_;
  QTemporaryDir folder_;
};

TEST_F(ChartMenuTest, OpensAtARightClickOnTheChartAndItsEscapeLeavesTheWindowOpen) {
  // What a right-click on the chart sends it.
  QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(200, 200),
                               form_.Chart1->mapToGlobal(QPoint(200, 200)));
  QApplication::sendEvent(form_.Chart1, &rightClick);
  ASSERT_TRUE(form_.ChartMenu1->isVisible());
  EXPECT_EQ(form_.ChartMenu1->pos(), form_.Chart1->mapToGlobal(QPoint(200, 200)));
  EXPECT_EQ(form_.ChartMenu1->actions(),
            (QList<QAction*>{form_.ChartMenu1->CopyAction, form_.ChartMenu1->SaveAction}));
  // The press closes the menu; its release then reaches the window.
  QTest::keyPress(form_.ChartMenu1, Qt::Key_Escape);
  EXPECT_FALSE(form_.ChartMenu1->isVisible());
  QTest::keyRelease(&form_, Qt::Key_Escape);
  EXPECT_TRUE(form_.isVisible());
  QTest::keyClick(&form_, Qt::Key_Escape);
  EXPECT_FALSE(form_.isVisible());
}

TEST_F(ChartMenuTest, CopiesTheChartAsShown) {
  QApplication::clipboard()->clear();
  form_.ChartMenu1->CopyAction->trigger();
  const QImage copied = QApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), form_.Chart1->size());
  EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
            form_.Chart1->grab().toImage().convertToFormat(QImage::Format_RGB32));
  EXPECT_GT(copied.convertToFormat(QImage::Format_Indexed8).colorCount(), 5) << "a chart, drawn";
}

TEST_F(ChartMenuTest, SavesInTheFormatThatTheNameEndsInOrTheChosenType) {
  struct Case {
    const char* typed;
    const char* filter;
    const char* written;
    QByteArray start;
  };
  for (const Case& c : {
           Case{"chart.png", "PNG image (*.png)", "chart.png", "\x89PNG\r"},
           Case{"drawing", "SVG drawing (*.svg)", "drawing.svg", "<?xml"},
           Case{"report", "PDF document (*.pdf)", "report.pdf", "%PDF-"},
           Case{"Upper.PDF", "PNG image (*.png)", "Upper.PDF", "%PDF-"},
           Case{"v2.bmp", "SVG drawing (*.svg)", "v2.bmp.svg", "<?xml"},
       }) {
    SaveAs(c.typed, c.filter);
    EXPECT_EQ(Start(c.written), c.start) << c.typed;
  }
  EXPECT_EQ(recorder_.dialogs, std::vector<std::string>(5, "Save Chart As"));
  EXPECT_TRUE(recorder_.messages.empty());
  EXPECT_EQ(QImage(folder_.filePath("chart.png")).size(), form_.Chart1->size());
}

TEST_F(ChartMenuTest, ADeclinedDialogSavesNothingAndAFailedWriteIsReported) {
  SaveAs("declined.png", "PNG image (*.png)", false);
  EXPECT_FALSE(QFile::exists(folder_.filePath("declined.png")));
  EXPECT_TRUE(recorder_.messages.empty());

  SaveAs("missing/chart.png", "PNG image (*.png)");
  ASSERT_EQ(recorder_.messages.size(), 1u);
  const std::string expected =
      "tarvochart: Cannot write " + folder_.filePath("missing/chart.png").toStdString() + ": ";
  EXPECT_EQ(recorder_.messages[0].substr(0, expected.size()), expected) << recorder_.messages[0];
  EXPECT_TRUE(form_.isVisible());
}

}  // namespace
