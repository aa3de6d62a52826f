// The chart printed on a page: only into its rectangle, at its physical size across and down,
// its texts in the PDF at their point size.

#include <gtest/gtest.h>

#include <QPdfWriter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

#include "chartfixture.h"
#include "pdftext.h"
#include "renderpixels.h"

using namespace chart;

namespace {

TEST(PrintPartial, PdfPageHoldsTheTextsAtTheirPhysicalSize) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  QTemporaryDir dir;
  const QString pdf = dir.filePath("chart.pdf");
  DocumentBuilder b;
  b.document.AddTitleLine("");
  b.document.AddTitleLine("Quarterly Revenue");
  b.document.SetLegendVisible(true);
  ChartSeries series = b.document.AddSeries(SeriesKind::Bar);
  series.SetTitle("Hardware");
  for (const char* quarter : {"Q1", "Q2", "Q3", "Q4"}) series.Add(12.5, quarter, kAutomaticColor);
  {
    QPdfWriter writer(pdf);
    writer.setResolution(1200);
    QPainter painter(&writer);
    const double inch = writer.logicalDpiX();
    b.document.PrintPartial(painter, QRect(inch, inch, 6 * inch, 4 * inch));
  }
  const QString text = PdfText(pdf, {});
  for (const char* expected : {"Quarterly Revenue", "Hardware", "Q1", "Q4", "12.5"}) {
    EXPECT_TRUE(text.contains(expected)) << expected << " in " << text.toStdString();
  }
  // The title is an 11-point font: its word box is about 11 to 16 points high on paper.
  const QString boxes = PdfText(pdf, {"-bbox"});
  const QRegularExpression word(R"re(yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">Quarterly<)re");
  const auto match = word.match(boxes);
  ASSERT_TRUE(match.hasMatch()) << boxes.toStdString();
  const double height = match.captured(2).toDouble() - match.captured(1).toDouble();
  EXPECT_GT(height, 9);
  EXPECT_LT(height, 18);
}

// The chart printed on a device of 600 dots per inch across and `dotsDown` down, two inches by
// `inchesDown`.
QImage PrintedAt(const ChartDocument& chart, int dotsDown, double inchesDown) {
  constexpr double kInchesPerMeter = 1 / 0.0254;
  QImage image(1200, int(dotsDown * inchesDown), QImage::Format_RGB32);
  image.setDotsPerMeterX(int(std::lround(600 * kInchesPerMeter)));
  image.setDotsPerMeterY(int(std::lround(dotsDown * kInchesPerMeter)));
  image.fill(Qt::white);
  QPainter painter(&image);
  chart.PrintPartial(painter, image.rect());
  return image;
}

TEST(PrintPartial, KeepsThePhysicalSizeAcrossAndDown) {
  DocumentBuilder b;
  b.document.AddTitleLine("Quarterly Revenue");
  b.Add(SeriesKind::Bar, {3, 1, 2}, 0x0000FF);
  // Half the dots down on the same paper: the page is the square one squeezed to half height.
  const QImage square = PrintedAt(b.document, 600, 1.5);
  const QImage squeezed = PrintedAt(b.document, 300, 1.5);
  const QImage expected =
      square.scaled(squeezed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  double difference = 0;
  for (int y = 0; y < squeezed.height(); ++y) {
    for (int x = 0; x < squeezed.width(); ++x) {
      difference += std::abs(qGray(squeezed.pixel(x, y)) - qGray(expected.pixel(x, y)));
    }
  }
  EXPECT_LT(difference / (squeezed.width() * squeezed.height()), 4.0);
}

TEST(Render, PrintPartialDrawsOnlyIntoAProperRectangle) {
  DocumentBuilder b;
  b.Add(SeriesKind::Bar, {1, 2, 3}, kRed);
  QImage image(300, 200, QImage::Format_RGB32);
  image.fill(Qt::blue);
  const QImage untouched = image;
  {
    QPainter painter(&image);
    for (QRect bad : {QRect(10, 10, 0, 50), QRect(50, 50, -40, -40), QRect()}) {
      b.document.PrintPartial(painter, bad);
    }
  }
  EXPECT_EQ(image, untouched);
  {
    QPainter painter(&image);
    b.document.PrintPartial(painter, QRect(100, 50, 150, 100));
  }
  EXPECT_EQ(image.pixel(99, 120) & 0xFFFFFF, 0x0000FFu) << "left of the rectangle stays";
  EXPECT_EQ(image.pixel(250, 120) & 0xFFFFFF, 0x0000FFu) << "right of the rectangle stays";
  EXPECT_EQ(image.pixel(101, 51) & 0xFFFFFF, 0xFFFFFFu) << "the chart's background inside";
}

}  // namespace
