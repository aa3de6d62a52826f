// The chart saved as an image file: exactly its size, in the format its name ends with and looking
// the same in each, its texts grown with the image; bad sizes and places that cannot be written
// to are clear errors that leave the old file as it was.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>

#include "chart/model/palette.h"
#include "chartfixture.h"
#include "pdftext.h"
#include "runtime/errors.h"
#include "support/smallfilesystem.h"

using namespace chart;

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

std::string ErrorOf(const ChartDocument& chart, const QString& path) {
  try {
    chart.SaveToBitmapFile(path.toStdString());
  } catch (const Exception& error) {
    return error.what();
  }
  return {};
}

// A chart with every kind of text (title, axis titles, ticks, labels, legend, marks).
void AddSampleChart(DocumentBuilder& b) {
  b.document.AddTitleLine("Quarterly Revenue");
  b.document.SetLeftAxisTitle("k EUR");
  b.document.SetBottomAxisTitle("Quarter");
  ChartSeries series = b.document.AddSeries(SeriesKind::Bar);
  series.SetTitle("Hardware");
  for (const char* quarter : {"Q1", "Q2", "Q3", "Q4"}) series.Add(12.5, quarter, 0x0000FF);
}

TEST(SaveToBitmapFile, WritesExactlyTheChartSizeAs24BitBmp) {
  QTemporaryDir dir;
  DocumentBuilder b;
  b.Add(SeriesKind::Bar, {3, 1, 2}, 0x0000FF);
  for (QSize size : {QSize(333, 217), QSize(1, 1), QSize(2000, 40)}) {
    b.Resize(size);
    const QString path = dir.filePath("chart.bmp");
    b.document.SaveToBitmapFile(path.toStdString());
    const QByteArray bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(static_cast<int>(bytes[28]), 24) << "bits per pixel";
    const QImage image(path);
    EXPECT_EQ(image.size(), size);
    if (size.width() > 100) {
      EXPECT_EQ(image, ImageFileOf(b.document.Model(), size.width(), size.height()));
    }
  }
}

TEST(SaveToBitmapFile, BadSizesAreClearErrorsAndLeaveTheOldFile) {
  QTemporaryDir dir;
  DocumentBuilder b;
  const struct {
    QSize size;
    const char* reason;
  } cases[] = {{QSize(0, 100), "no area"},
               {QSize(100, 0), "no area"},
               {QSize(40000, 10), "too large"},
               {QSize(10, 40000), "too large"},
               {QSize(30000, 30000), "too large"},
               {QSize(-5, 100), "-5 x 100 pixels"},
               {QSize(2147483647, 600), "2147483647 x 600 pixels is too large"},
               {QSize(600, 16777216), "600 x 16777216 pixels is too large"}};
  for (const char* name : {"old.bmp", "old.png", "old.svg", "old.pdf"}) {
    const QString path = dir.filePath(name);
    WriteAll(path, "old contents");
    for (const auto& c : cases) {
      b.Resize(c.size);
      const std::string error = ErrorOf(b.document, path);
      EXPECT_NE(error.find(path.toStdString()), std::string::npos) << error;
      EXPECT_NE(error.find(c.reason), std::string::npos) << error;
      EXPECT_EQ(ReadAll(path), "old contents");
    }
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4);
}

// Each with the system's reason; what is there and is not a regular file is refused, never
// replaced (as root a device or a FIFO could be).
TEST(SaveToBitmapFile, UnwritablePlacesNameTheFileAndTheReasonAndLeaveNothing) {
  QTemporaryDir dir;
  DocumentBuilder b;
  b.Resize(QSize(50, 40));
  QDir(dir.path()).mkdir("taken");
  QDir(dir.path()).mkdir("taken.pdf");
  QProcess::execute("mkfifo", {dir.filePath("fifo.png")});
  SmallFileSystem disk;
  const bool readOnly = disk.Mount(dir.filePath("disk")) && disk.MakeReadOnly();
  const std::string folder = "it is a folder, not a regular file";
  const struct {
    QString path;
    std::string reason;
  } cases[] = {{dir.filePath("missing/chart.bmp"), std::strerror(ENOENT)},
               {dir.filePath("missing/chart.svg"), std::strerror(ENOENT)},
               {dir.filePath("taken"), folder},
               {dir.filePath("taken.pdf"), folder},
               {dir.filePath("fifo.png"), "it is a FIFO, not a regular file"},
               {dir.filePath("disk/chart.svg"), std::strerror(EROFS)}};
  for (const auto& c : cases) {
    if (c.reason == std::strerror(EROFS) && !readOnly) continue;  // mounting needs root
    EXPECT_EQ(ErrorOf(b.document, c.path),
              "Cannot write " + c.path.toStdString() + ": " + c.reason);
  }
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// Files may grow to `bytes` only while it lives; writing past that fails (EFBIG) instead of
// ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

// The reason is the system's whether the write fails at the end or while the encoder writes
// (a bitmap of more than the writer's megabyte of buffer).
TEST(SaveToBitmapFile, AWriteThatFailsHalfWayLeavesTheOldFileAndNothingElse) {
  QTemporaryDir dir;
  DocumentBuilder b;
  AddSampleChart(b);
  b.Resize(QSize(333, 217));
  for (const char* name : {"old.bmp", "old.png", "old.svg", "old.pdf", "large.bmp"}) {
    if (std::string(name) == "large.bmp") b.Resize(QSize(800, 600));
    const QString path = dir.filePath(name);
    WriteAll(path, "old contents");
    std::string error;
    {
      const FileSizeLimit limit(1024);  // each of these files takes more
      error = ErrorOf(b.document, path);
    }
    EXPECT_NE(error.find("Cannot write " + path.toStdString() + ": "), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_EQ(ReadAll(path), "old contents") << name;
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 5) << "no temporary file left";
}

// The file drawn back into pixels: raster files read, SVG rendered by QtSvg into `size`, PDF by
// poppler's pdftoppm at 96 dpi into `scratch`.
QImage PixelsOf(const QString& path, QSize size, const QTemporaryDir& scratch) {
  if (path.endsWith(".svg", Qt::CaseInsensitive)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QSvgRenderer svg(path);
    QPainter painter(&image);
    svg.render(&painter);
    return image;
  }
  if (path.endsWith(".pdf", Qt::CaseInsensitive)) {
    const QString page = scratch.filePath("page");
    QProcess::execute("pdftoppm", {"-r", "96", "-png", "-singlefile", path, page});
    return QImage(page + ".png").convertToFormat(QImage::Format_RGB32);
  }
  return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// Share of the pixels where two images of one size differ by more than antialiasing does.
double ShareOfDifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 1;
  long different = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      const int delta = std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                                  std::abs(p.blue() - q.blue())});
      different += delta > 96 ? 1 : 0;
    }
  }
  return double(different) / (double(a.width()) * a.height());
}

TEST(SaveToBitmapFile, TheNameEndingChoosesTheFormatAndTheChartLooksTheSameInEach) {
  for (const char* tool : {"pdftoppm", "pdftotext"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "no " << tool;
  }
  QTemporaryDir dir;
  DocumentBuilder b;
  AddSampleChart(b);
  const QSize size(333, 217);
  b.Resize(size);
  const QImage expected = ImageFileOf(b.document.Model(), size.width(), size.height());
  const struct {
    const char* name;
    QByteArray magic;
  } cases[] = {{"chart.png", "\x89PNG"},      {"chart.PNG", "\x89PNG"},
               {"chart.svg", "<?xml"},        {"chart.Svg", "<?xml"},
               {"chart.pdf", "%PDF-"},        {"chart.PDF", "%PDF-"},
               {"chart.bmp", "BM"},           {"chart", "BM"},
               {"chart.png.bak", "BM"},       {"chart.gif", "BM"},
               {"chart.jpg", "\xFF\xD8\xFF"}, {"chart.JPEG", "\xFF\xD8\xFF"}};
  QTemporaryDir scratch;
  for (const auto& c : cases) {
    const QString path = dir.filePath(c.name);
    b.document.SaveToBitmapFile(path.toStdString());
    EXPECT_TRUE(ReadAll(path).startsWith(c.magic)) << c.name;
    const QImage pixels = PixelsOf(path, size, scratch);
    // A PDF page is the size in whole points: up to 1/72 inch (4/3 pixel) more.
    const QSize slack = c.magic == "%PDF-" ? QSize(2, 2) : QSize(0, 0);
    EXPECT_GE(pixels.width(), size.width()) << c.name;
    EXPECT_GE(pixels.height(), size.height()) << c.name;
    EXPECT_LE(pixels.width(), size.width() + slack.width()) << c.name;
    EXPECT_LE(pixels.height(), size.height() + slack.height()) << c.name;
    const QImage drawn = pixels.copy(QRect(QPoint(0, 0), size));
    const bool raster = c.magic == "\x89PNG" || c.magic == "BM";
    if (raster) {
      EXPECT_EQ(drawn, expected) << c.name << ": raster files hold the drawing exactly";
    } else {
      // Drawn back by other rasterisers, the glyphs differ by a pixel here and there; a JPEG
      // blurs edges a little.
      EXPECT_LT(ShareOfDifferentPixels(drawn, expected), 0.03) << c.name;
    }
  }
  const QByteArray png = ReadAll(dir.filePath("chart.png"));
  EXPECT_EQ(png.mid(24, 2), QByteArray("\x08\x02", 2)) << "PNG in 24-bit colour, as the BMP";
  EXPECT_TRUE(PdfText(dir.filePath("chart.pdf"), {}).contains("Quarterly Revenue")) << "vector";
  EXPECT_TRUE(ReadAll(dir.filePath("chart.svg")).contains("Quarterly Revenue")) << "vector";
  EXPECT_EQ(QSvgRenderer(dir.filePath("chart.svg")).viewBox(), QRect(QPoint(0, 0), size));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 12)
      << "no temporary file left beside them";
}

// An image's texts, lines and gaps grow with the square root of its size: twice the window's
// size is the window's chart laid out √2 times as large and drawn √2 times as large; half of it
// the chart made smaller until its texts would shrink below three quarters of their size.
TEST(SaveToBitmapFile, AnImagesTextsGrowWithTheSquareRootOfItsSize) {
  DocumentBuilder b;
  AddSampleChart(b);
  const QImage large = ImageFileOf(b.document.Model(), 1170, 802);
  const QSize room(static_cast<int>(std::round(1170 / std::sqrt(2.0))),
                   static_cast<int>(std::round(802 / std::sqrt(2.0))));
  const QImage shrunk = large.scaled(room, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_LT(ShareOfDifferentPixels(shrunk, b.Render(room.width(), room.height())), 0.02)
      << "more room, texts √2 times as large";
  const QImage small = ImageFileOf(b.document.Model(), 292, 200);
  const QImage asWindow =
      b.Render(390, 267).scaled(292, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_LT(ShareOfDifferentPixels(small, asWindow), 0.04) << "texts at three quarters";
}

}  // namespace
