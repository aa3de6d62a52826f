// The chart document: its series and their category labels, the image file and the printed page.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QToolTip>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <functional>
#include <limits>

#include "chart/palette.h"
#include "chartfixture.h"
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

TEST(MultiBar, NumbersOneToThreeNameAModeAnyOtherActsAsNone) {
  const struct {
    TMultiBar number;
    MultiBar mode;
  } cases[] = {{0, MultiBar::None},       {1, MultiBar::SideBySide}, {2, MultiBar::Stacked},
               {3, MultiBar::Stacked100}, {4, MultiBar::None},       {255, MultiBar::None}};
  ChartDocument document;
  for (const auto& c : cases) {
    EXPECT_EQ(MultiBarFromNumber(c.number), c.mode) << int(c.number);
    ChartSeries bars = document.AddSeries(SeriesKind::HorizBar);
    bars.SetMultiBar(c.number);
    EXPECT_EQ(bars.MultiBarMode(), c.mode) << int(c.number);
  }
}

// Every series' point k has label k of the chart: the first label that is not empty wins, and no
// label is lost, whichever series gives it.
TEST(CategoryLabels, FirstNonEmptyLabelWinsAndNoneIsLost) {
  const struct {
    const char* what;
    std::vector<std::pair<int, std::string>> points;  // series, label
    std::vector<std::string> labels;
  } cases[] = {
      {"the first series' label", {{0, "Jan"}, {1, "Feb"}}, {"Jan"}},
      {"an empty label leaves room", {{0, ""}, {1, "Feb"}}, {"Feb"}},
      {"each point its own", {{0, "Jan"}, {0, "Feb"}}, {"Jan", "Feb"}},
      {"a later series fills a gap", {{0, "Jan"}, {0, ""}, {1, ""}, {1, "Feb"}}, {"Jan", "Feb"}},
      {"a gap before a later label filled", {{0, ""}, {0, "Feb"}, {1, "Jan"}}, {"Jan", "Feb"}},
      {"no label at all", {{0, ""}, {0, ""}}, {}},
  };
  for (const auto& c : cases) {
    ChartDocument document;
    document.AddSeries(SeriesKind::Bar);
    document.AddSeries(SeriesKind::Line);
    for (const auto& [series, label] : c.points)
      document.GetSeries(series).Add(1, label, clAutomatic);
    EXPECT_EQ(document.CategoryLabels(), c.labels) << c.what;
  }
}

// A viewer of the chart hears of every change to what is drawn, once; the image size is not drawn.
TEST(OnChange, EveryChangeToWhatIsDrawnTellsTheViewerOnce) {
  ChartDocument document;
  ChartSeries series = document.AddSeries(SeriesKind::Bar);
  int told = 0;
  document.OnChange([&] { ++told; });
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"add series", [&] { document.AddSeries(SeriesKind::Line); }},
      {"add point", [&] { series.Add(2, "A", clAutomatic); }},
      {"series colour", [&] { series.SetSeriesColor(0x0000FF); }},
      {"series title", [&] { series.SetTitle("North"); }},
      {"series marks", [&] { series.SetMarksVisible(true); }},
      {"multi-bar", [&] { series.SetMultiBar(2); }},
      {"3D", [&] { document.SetView3D(false); }},
      {"3D percent", [&] { document.Set3DPercent(30); }},
      {"orthogonal", [&] { document.SetOrthogonal(false); }},
      {"legend", [&] { document.SetLegendVisible(true); }},
      {"number locale", [&] { document.SetNumberLocale(NumberLocale{.decimal = ","}); }},
      {"title line", [&] { document.AddTitleLine("Sales"); }},
      {"title font", [&] { document.SetTitleFontStyle({.bold = true}); }},
      {"left axis title", [&] { document.SetLeftAxisTitle("Units"); }},
      {"left axis font", [&] { document.SetLeftAxisTitleFontStyle({.italic = true}); }},
      {"bottom axis title", [&] { document.SetBottomAxisTitle("Month"); }},
      {"bottom axis font", [&] { document.SetBottomAxisTitleFontStyle({.bold = true}); }},
      {"margin", [&] { document.SetMargin(2, 10); }},
  };
  for (const auto& [what, change] : changes) {
    const int before = told;
    change();
    EXPECT_EQ(told, before + 1) << what;
  }
  const int before = told;
  document.SetWidth(900);
  document.SetHeight(700);
  EXPECT_EQ(told, before) << "the image size";
}

// The four sides keep their margins; any other index is neither kept nor read.
TEST(Margins, OnlyTheFourSidesHaveOne) {
  ChartDocument document;
  for (int side = 0; side < 4; ++side) document.SetMargin(side, 11 + side);
  for (int other : {-1, 4, 1000, std::numeric_limits<int>::min()}) document.SetMargin(other, 99);
  for (int side = 0; side < 4; ++side) EXPECT_EQ(document.Margin(side), 11 + side) << side;
  for (int other : {-1, 4, 1000}) EXPECT_EQ(document.Margin(other), 0) << other;
}

// Series are appended at the next index and found by it; no other index has one.
TEST(GetSeries, FindsEachSeriesByItsIndexAndRefusesAnyOther) {
  ChartDocument document;
  document.AddSeries(SeriesKind::Bar).SetTitle("first");
  document.AddSeries(SeriesKind::Pie).SetTitle("second");
  EXPECT_EQ(document.GetSeries(1).Title(), "second");
  EXPECT_EQ(document.GetSeries(1).Kind(), SeriesKind::Pie);
  EXPECT_EQ(document.GetSeries(0).SeriesColor(), PaletteColor(0)) << "the palette's, by index";
  EXPECT_TRUE(IsAutomaticColor(document.GetSeries(1).SeriesColor())) << "a pie's slices choose";
  for (int index : {-1, 2, 1000}) {
    try {
      document.GetSeries(index);
      ADD_FAILURE() << index;
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()),
                "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
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

QString PdfText(const QString& pdf, const QStringList& options) {
  QProcess process;
  process.start("pdftotext", options + QStringList{pdf, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
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
  for (const char* quarter : {"Q1", "Q2", "Q3", "Q4"}) series.Add(12.5, quarter, clAutomatic);
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

}  // namespace

namespace {

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

}  // namespace
