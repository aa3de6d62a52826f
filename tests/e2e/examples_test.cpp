// Every example, rendered by the program itself as a batch host would (windowless, to an image),
// and checked by its pixels: the named colours stand where their bars, slices and lines should.

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr int kHeight = 450, kWidth = 720;
// The legend's swatches are in the series' colours too: filled squares of at most this side.
constexpr int kSwatchSide = 14;

class Examples : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new QTemporaryDir;
    QProcess render;
    render.start(EXAMPLES_DIR "/render.sh", {TARVOCHART_PATH, DBFWRITE_PATH, folder_->path(),
                                             QString::number(kHeight), QString::number(kWidth)});
    if (!render.waitForFinished(120000)) {
      renderFailure_ = "render.sh did not finish";
    } else if (render.exitCode() != 0) {
      renderFailure_ = "render.sh failed: " + render.readAllStandardError().toStdString();
    }
  }
  static void TearDownTestSuite() { delete folder_; }

  // A failure in SetUpTestSuite would only mark the tests skipped: each test fails instead.
  void SetUp() override { ASSERT_EQ(renderFailure_, ""); }

  static QImage Image(const char* example) {
    return QImage(folder_->filePath(QString(example) + ".png"));
  }

  static QTemporaryDir* folder_;
  static std::string renderFailure_;
};

QTemporaryDir* Examples::folder_ = nullptr;
std::string Examples::renderFailure_;

// The columns (x) in which `color` appears exactly, and how many pixels have it, but for the
// legend's swatches: the pixels of each patch of the colour, found by filling from one of them,
// where the patch is no filled square the size of a swatch.
struct ColorSpread {
  std::set<int> columns;
  long pixels = 0;
  double meanY = 0;
};

std::vector<QPoint> PatchAt(const QImage& image, QColor color, QPoint start,
                            std::vector<bool>& seen) {
  std::vector<QPoint> patch, todo{start};
  seen[start.y() * image.width() + start.x()] = true;
  while (!todo.empty()) {
    const QPoint p = todo.back();
    todo.pop_back();
    patch.push_back(p);
    for (QPoint next : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
      if (!image.rect().contains(next) || seen[next.y() * image.width() + next.x()]) continue;
      if (image.pixelColor(next) != color) continue;
      seen[next.y() * image.width() + next.x()] = true;
      todo.push_back(next);
    }
  }
  return patch;
}

bool IsSwatch(const std::vector<QPoint>& patch) {
  QRect bounds;
  for (QPoint p : patch) bounds |= QRect(p, QSize(1, 1));
  return bounds.width() <= kSwatchSide && bounds.height() <= kSwatchSide &&
         patch.size() * 10 >= static_cast<std::size_t>(bounds.width() * bounds.height()) * 8;
}

// The pixels of `color` but for its legend swatch: of the small square patches, the one farthest
// down and right (the legend stands below or right of the chart), as a short bar may be as small.
ColorSpread SpreadOf(const QImage& image, QColor color) {
  ColorSpread spread;
  double ySum = 0;
  std::vector<bool> seen(static_cast<std::size_t>(image.width() * image.height()));
  std::vector<std::vector<QPoint>> patches;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (seen[y * image.width() + x] || image.pixelColor(x, y) != color) continue;
      patches.push_back(PatchAt(image, color, QPoint(x, y), seen));
    }
  }
  const auto reach = [](const std::vector<QPoint>& patch) {
    int far = 0;
    for (QPoint p : patch) far = std::max(far, p.x() + p.y());
    return far;
  };
  auto swatch = patches.end();
  for (auto patch = patches.begin(); patch != patches.end(); ++patch) {
    if (IsSwatch(*patch) && (swatch == patches.end() || reach(*patch) > reach(*swatch)))
      swatch = patch;
  }
  for (auto patch = patches.begin(); patch != patches.end(); ++patch) {
    if (patch == swatch) continue;
    for (QPoint p : *patch) {
      spread.columns.insert(p.x());
      ySum += p.y();
    }
    spread.pixels += static_cast<long>(patch->size());
  }
  if (spread.pixels > 0) spread.meanY = ySum / double(spread.pixels);
  return spread;
}

// Runs of neighbouring columns: one per bar.
int Runs(const std::set<int>& columns) {
  int runs = 0, previous = -2;
  for (int x : columns) {
    if (x != previous + 1) ++runs;
    previous = x;
  }
  return runs;
}

double Shared(const std::set<int>& a, const std::set<int>& b) {
  int both = 0;
  for (int x : a) both += b.count(x) ? 1 : 0;
  return a.empty() ? 0 : double(both) / double(a.size());
}

const QColor kRed(255, 0, 0), kLime(0, 255, 0), kBlue(0, 0, 255), kGreen(0, 128, 0);
const QColor kNavy(0, 0, 128), kTeal(0, 128, 128), kOlive(128, 128, 0), kMaroon(128, 0, 0);

TEST_F(Examples, EachIsDrawnAtTheAskedSize) {
  for (const char* example : {"bars-overlap", "bars-side", "bars-stacked", "bars-stacked100",
                              "hbars", "hbars-side", "line", "line-3d", "pie", "pies", "sales"}) {
    const QImage image = Image(example);
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight)) << example;
    long coloured = 0;
    for (int y = 0; y < kHeight; y += 2) {
      for (int x = 0; x < kWidth; x += 2) {
        const QColor c = image.pixelColor(x, y);
        coloured += c.saturation() > 60 ? 1 : 0;
      }
    }
    EXPECT_GT(coloured, 500) << example << ": the series are drawn";
  }
}

// The examples under edge/ name their own image size ("BITMAPFILE chart.png;HEIGHT;WIDTH"), from
// 200 x 150 to 1920 x 1080, and are drawn at it.
TEST_F(Examples, HardCasesAreDrawnAtTheSizesTheyName) {
  const QDir edge(EXAMPLES_DIR "/edge");
  const QRegularExpression size("\\|BITMAPFILE\\|chart\\.png;(\\d+);(\\d+)");
  int drawn = 0;
  for (const QString& name : edge.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile properties(edge.filePath(name + "/properties.txt"));
    ASSERT_TRUE(properties.open(QIODevice::ReadOnly)) << name.toStdString();
    const QRegularExpressionMatch asked = size.match(QString::fromUtf8(properties.readAll()));
    ASSERT_TRUE(asked.hasMatch()) << name.toStdString();
    const QImage image = Image(("edge-" + name).toUtf8().constData());
    EXPECT_EQ(image.size(), QSize(asked.captured(2).toInt(), asked.captured(1).toInt()))
        << name.toStdString();
    ++drawn;
  }
  EXPECT_GE(drawn, 9);
}

TEST_F(Examples, SideBySideBarsStandApartStackedBarsShareTheirColumns) {
  const QImage side = Image("bars-side");
  std::vector<ColorSpread> sideBars;
  for (QColor color : {kRed, kLime, kBlue}) sideBars.push_back(SpreadOf(side, color));
  for (const ColorSpread& bars : sideBars) EXPECT_EQ(Runs(bars.columns), 12) << "a bar a month";
  EXPECT_EQ(Shared(sideBars[0].columns, sideBars[1].columns), 0);
  EXPECT_EQ(Shared(sideBars[1].columns, sideBars[2].columns), 0);

  const QImage stacked = Image("bars-stacked");
  const ColorSpread navy = SpreadOf(stacked, kNavy), teal = SpreadOf(stacked, kTeal),
                    olive = SpreadOf(stacked, kOlive);
  EXPECT_GT(Shared(navy.columns, teal.columns), 0.9);
  EXPECT_GT(Shared(teal.columns, olive.columns), 0.9);
  EXPECT_GT(navy.meanY, teal.meanY) << "the first series is at the bottom of the stack";
  EXPECT_GT(teal.meanY, olive.meanY);
}

TEST_F(Examples, SlicesAndLinesTakeTheColoursTheTablesName) {
  const QImage pie = Image("pie");
  const ColorSpread salaries = SpreadOf(pie, kTeal), rent = SpreadOf(pie, kNavy),
                    hardware = SpreadOf(pie, kMaroon);
  EXPECT_GT(salaries.pixels, 3 * hardware.pixels) << "5400 against 1500";
  EXPECT_GT(hardware.pixels, rent.pixels) << "1500 against 1200";
  EXPECT_GT(rent.pixels, 0);

  const QImage lines = Image("line-3d");
  const ColorSpread hardwareLine = SpreadOf(lines, kRed), softwareLine = SpreadOf(lines, kGreen),
                    servicesLine = SpreadOf(lines, kBlue);
  for (const ColorSpread* line : {&hardwareLine, &softwareLine, &servicesLine}) {
    ASSERT_FALSE(line->columns.empty());
    EXPECT_GT(*line->columns.rbegin() - *line->columns.begin(), 400) << "each line spans the plot";
  }
  EXPECT_LT(hardwareLine.meanY, softwareLine.meanY) << "larger values stand higher";
  EXPECT_LT(softwareLine.meanY, servicesLine.meanY);
}

// A font configuration that puts Nimbus Sans before every family, hints fully, renders
// subpixels and turns antialiasing off.
constexpr const char* kAnotherFamilyFirst = SUPPORT_DIR "/anotherfamilyfirst.conf";

bool NimbusSansInstalled() {
  QProcess list;
  list.start("fc-list", {"Nimbus Sans"});
  return list.waitForFinished(30000) && !list.readAllStandardOutput().isEmpty();
}

// Runs `script` with bash in `folder` under the font configuration above; empty on success.
QString RunUnderAnotherFontConfiguration(const QString& script, const QString& folder) {
  QProcess run;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("FONTCONFIG_FILE", kAnotherFamilyFirst);
  run.setProcessEnvironment(environment);
  run.setWorkingDirectory(folder);
  run.start("bash", {"-c", script});
  if (!run.waitForFinished(120000)) return "did not finish";
  return run.exitCode() == 0 ? QString() : QString::fromUtf8(run.readAllStandardError());
}

// The chart's texts come from the font files the program names: a host that compares its
// charts with stored ones gets the same bytes whatever the machine's font configuration.
TEST_F(Examples, AreTheSameBytesUnderAFontConfigurationPreferringAnotherFamily) {
  ASSERT_TRUE(NimbusSansInstalled()) << "install fonts-urw-base35 (scripts/setup.sh --tests)";
  QTemporaryDir other;
  const QString script = QString("'%1' '%2' '%3' '%4' '%5' %6 %7")
                             .arg(EXAMPLES_DIR "/render.sh", TARVOCHART_PATH, DBFWRITE_PATH,
                                  other.path(), QString::number(kHeight), QString::number(kWidth));
  ASSERT_EQ(RunUnderAnotherFontConfiguration(script, other.path()), "");
  const QStringList images = QDir(folder_->path()).entryList({"*.png"});
  ASSERT_GE(images.size(), 20);
  for (const QString& name : images) {
    QFile usual(folder_->filePath(name)), underOther(other.filePath(name));
    ASSERT_TRUE(usual.open(QIODevice::ReadOnly) && underOther.open(QIODevice::ReadOnly));
    EXPECT_TRUE(usual.readAll() == underOther.readAll()) << name.toStdString();
  }
}

// SVG names, and PDF embeds, only the family the texts were measured with, whatever family the
// font configuration puts first.
TEST_F(Examples, VectorFilesNameTheFamilyTheirTextsWereMeasuredWith) {
  ASSERT_TRUE(NimbusSansInstalled()) << "install fonts-urw-base35 (scripts/setup.sh --tests)";
  QTemporaryDir dir;
  for (const char* file : {"chart.svg", "chart.pdf"}) {
    const QString script = QString(
                               "{ grep -v BITMAPFILE '%1/properties.txt'; echo '1|1|NOSHOW|'; "
                               "echo '1|1|BITMAPFILE|%2;450;720'; } | '%3' properties P.DBF && "
                               "'%3' data 3 D.DBF <'%1/data.txt' && '%4' P.DBF D.DBF")
                               .arg(EXAMPLES_DIR "/sales", file, DBFWRITE_PATH, TARVOCHART_PATH);
    ASSERT_EQ(RunUnderAnotherFontConfiguration(script, dir.path()), "") << file;
  }
  QProcess svg;
  svg.start("xmllint", {"--xpath", "//@font-family", dir.filePath("chart.svg")});
  ASSERT_TRUE(svg.waitForFinished(30000));
  const QStringList families = QString::fromUtf8(svg.readAllStandardOutput()).split('\n');
  EXPECT_GT(families.size(), 10);
  for (const QString& family : families) {
    if (family.trimmed().isEmpty()) continue;
    EXPECT_EQ(family.trimmed(), "font-family=\"DejaVu Sans\"");
  }
  QProcess pdf;
  pdf.start("pdffonts", {dir.filePath("chart.pdf")});
  ASSERT_TRUE(pdf.waitForFinished(30000));
  const QStringList rows = QString::fromUtf8(pdf.readAllStandardOutput()).split('\n');
  ASSERT_GE(rows.size(), 4) << "a heading, a rule, a regular and a bold font";
  for (const QString& row : rows.mid(2)) {
    if (row.isEmpty()) continue;
    // name, type (one or two words), encoding, then "emb sub uni object ID"
    const QStringList columns = row.simplified().split(' ');
    ASSERT_GE(columns.size(), 8) << row.toStdString();
    EXPECT_TRUE(columns.front().startsWith("DejaVuSans")) << row.toStdString();
    EXPECT_EQ(columns[columns.size() - 5], "yes") << "embedded: " << row.toStdString();
  }
}

}  // namespace
