// The bitmap file and the printed page.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "chartfixture.h"
#include "runtime.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& data) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(data);
}

std::string ErrorOf(const TChart& chart, const QString& path) {
  try {
    chart.SaveToBitmapFile(path.toStdString());
  } catch (const Exception& error) {
    return error.what();
  }
  return {};
}

TEST(SaveToBitmapFile, WritesExactlyTheWidgetSizeAs24BitBmp) {
  QTemporaryDir dir;
  ChartBuilder b;
  b.Add<TBarSeries>({3, 1, 2}, 0x0000FF);
  for (QSize size : {QSize(333, 217), QSize(1, 1), QSize(2000, 40)}) {
    b.chart.resize(size);
    const QString path = dir.filePath("chart.bmp");
    b.chart.SaveToBitmapFile(path.toStdString());
    const QByteArray bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(static_cast<int>(bytes[28]), 24) << "bits per pixel";
    const QImage image(path);
    EXPECT_EQ(image.size(), size);
    if (size.width() > 100) {
      EXPECT_EQ(image, b.Render(size.width(), size.height()));
    }
  }
}

TEST(SaveToBitmapFile, BadSizesAreClearErrorsAndLeaveTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("old.bmp");
  WriteAll(path, "old contents");
  ChartBuilder b;
  const struct {
    QSize size;
    const char* reason;
  } cases[] = {{QSize(0, 100), "no area"},
               {QSize(100, 0), "no area"},
               {QSize(40000, 10), "too large"},
               {QSize(10, 40000), "too large"},
               {QSize(30000, 30000), "too large"}};
  for (const auto& c : cases) {
    b.chart.resize(c.size);
    ASSERT_EQ(b.chart.size(), c.size);
    const std::string error = ErrorOf(b.chart, path);
    EXPECT_NE(error.find(path.toStdString()), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(ReadAll(path), "old contents");
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(SaveToBitmapFile, UnwritablePlacesNameTheFileAndLeaveNothing) {
  QTemporaryDir dir;
  ChartBuilder b;
  b.chart.resize(50, 40);
  QDir(dir.path()).mkdir("taken");
  for (const QString& path : {dir.filePath("missing/chart.bmp"), dir.filePath("taken")}) {
    const std::string error = ErrorOf(b.chart, path);
    EXPECT_NE(error.find(path.toStdString()), std::string::npos) << error;
  }
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

QString PdfText(const QString& pdf, const QStringList& options) {
  QProcess process;
  process.start("pdftotext", options + QStringList{pdf, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(PrintPartial, PdfPageHoldsTheTextsAtTheirPhysicalSize) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  QTemporaryDir dir;
  const QString pdf = dir.filePath("chart.pdf");
  ChartBuilder b;
  b.chart.AddTitleLine("");
  b.chart.AddTitleLine("Quarterly Revenue");
  b.chart.SetLegendVisible(true);
  auto* series = new TBarSeries(&b.owner);
  series->SetTitle("Hardware");
  for (const char* quarter : {"Q1", "Q2", "Q3", "Q4"}) series->Add(12.5, quarter, clAutomatic);
  b.chart.AddSeries(series);
  {
    QPdfWriter writer(pdf);
    writer.setResolution(1200);
    QPainter painter(&writer);
    const double inch = writer.logicalDpiX();
    b.chart.PrintPartial(painter, QRect(inch, inch, 6 * inch, 4 * inch));
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

}  // namespace

namespace {

// The chart printed on a device of 600 dots per inch across and `dotsDown` down, two inches by
// `inchesDown`.
QImage PrintedAt(const TChart& chart, int dotsDown, double inchesDown) {
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
  ChartBuilder b;
  b.chart.AddTitleLine("Quarterly Revenue");
  b.Add<TBarSeries>({3, 1, 2}, 0x0000FF);
  // Half the dots down on the same paper: the page is the square one squeezed to half height.
  const QImage square = PrintedAt(b.chart, 600, 1.5);
  const QImage squeezed = PrintedAt(b.chart, 300, 1.5);
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

}  // namespace
