// Properties over thousands of generated charts: every layout keeps the guarantees of
// layoutguarantees.h, whatever the style, view, mode, size, texts, series, values and the
// reader's locale; the process runs each chart under that locale too, so that nothing of the
// C library's own number writing can leak into a chart. The bars of the generated charts show in
// their colours when drawn, and the same charts with more room show as much.

#include "layoutcheck/layoutguarantees.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <sstream>

#include "chart/chartpainter.h"
#include "chart/palette.h"
#include "chartfixture.h"
#include "layoutcheck/guaranteechecks.h"

using namespace chart;

namespace {

#ifdef TARVO_PROPERTY_SAMPLE
constexpr int kLayouts = 1000;  // a seeded sample, in the sanitizer build
#else
constexpr int kLayouts = 10000;
#endif
// The locales a chart is read in; the process's own locale is set to each in turn where the
// system has it (scripts/setup.sh makes them).
constexpr const char* kLocales[] = {"C", "en_US", "de_DE", "fr_FR"};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
  double Uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random_);
  }
  template <class T>
  T OneOf(std::initializer_list<T> items) {
    return *(items.begin() + Below(static_cast<int>(items.size())));
  }

  // A text of about `length` characters, words of a business report, or a number ending that
  // tells apart labels that start alike.
  std::string Text(int length, int number) {
    static const char* const kWords[] = {"Product", "line",    "number", "Units",    "sold", "per",
                                         "Région",  "quarter", "total",  "Ångström", "x"};
    std::string text;
    while (static_cast<int>(text.size()) < length) {
      if (!text.empty()) text += ' ';
      text += kWords[Below(std::size(kWords))];
    }
    text.resize(static_cast<std::size_t>(length));
    while (!text.empty() && (text.back() & 0x80)) text.pop_back();  // whole letters only
    if (Chance(0.5) && length > 0) text += " " + std::to_string(number);
    return text;
  }
  int TextLength() { return OneOf({0, 1, 4, 12, 30, 100}); }

  int Categories() {
    const double pick = Uniform(0, 1);
    if (pick < 0.005) return 100000;
    if (pick < 0.02) return OneOf({5000, 20000});
    if (pick < 0.1) return OneOf({150, 500, 2000});
    return OneOf({0, 1, 2, 3, 5, 7, 12, 24, 60});
  }

  std::vector<double> Values(int count, int shape, double scale) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) {
      switch (shape) {
        case 0:
          values.push_back(0);
          break;
        case 1:
          values.push_back(scale);
          break;
        case 2:
          values.push_back(Uniform(0, scale));
          break;
        case 3:
          values.push_back(Uniform(-scale, scale));
          break;
        case 4:
          values.push_back(i == count / 2 ? scale : scale * 1e-4);
          break;
        case 5:
          values.push_back(OneOf({1.79e308, -1.79e308, 1e307, 0.0}));
          break;
        case 6:
          values.push_back(Uniform(-1, 1) * 1e-300);
          break;
        case 8:  // a segment a thousandth of its stack
          values.push_back(i % 3 == 1 ? scale * 1e-3 : Uniform(0.5, 1) * scale);
          break;
        case 9:  // business figures, now and then below zero; money in cents
          values.push_back(Cents(Uniform(Chance(0.15) ? -0.4 : 0.2, 1) * scale, scale));
          break;
        case 7:  // variances: gains, losses and months without change
          values.push_back(Chance(0.2) ? 0.0 : Uniform(-1, 1) * scale);
          break;
        default:
          values.push_back(OneOf({std::nan(""), 1.0, -2.5, 0.0}));
          break;
      }
    }
    return values;
  }

  // Amounts of money keep their cents, where a scale of at least 1 (and below 10¹²) makes them
  // money.
  static double Cents(double value, double scale) {
    return scale >= 1 && scale < 1e12 ? std::round(value * 100) / 100 : value;
  }

  QSizeF Size() {
    if (Chance(0.08)) return QSizeF(160, 120);
    const double w = std::exp(Uniform(std::log(160.0), std::log(4000.0)));
    const double h = std::exp(Uniform(std::log(120.0), std::log(3000.0)));
    return QSizeF(std::round(w), std::round(h));
  }

 private:
  std::mt19937 random_;
};

struct Case {
  ModelBuilder chart;
  QSizeF logical;
  std::string description;
  const char* locale = "C";
  bool business = false;
  double scale = 1;  // device pixels per logical pixel: an image's text scale, else 1
  bool image = false;
};

// The process's locale for one chart, and back to the one before.
class ProcessLocale {
 public:
  explicit ProcessLocale(const char* name)
      : before_(std::setlocale(LC_ALL, nullptr)), language_(qgetenv("LANG")) {
    const std::string full = std::string(name) == "C" ? "C" : std::string(name) + ".UTF-8";
    std::setlocale(LC_ALL, full.c_str());  // stays C where the system lacks it
    qputenv("LANG", full.c_str());
  }
  ~ProcessLocale() {
    std::setlocale(LC_ALL, before_.c_str());
    qputenv("LANG", language_);
  }

 private:
  std::string before_;
  QByteArray language_;
};

// A chart as hosts make them every day: two or three data sets of twelve to forty categories,
// side by side or stacked, with data labels, as an image of 800 x 600 or 1200 x 700.
void MakeBusinessChart(Generator& g, Case& c, SeriesKind& kind, int& categories, int& mode,
                       int& shape) {
  kind = g.OneOf({SeriesKind::Bar, SeriesKind::Bar, SeriesKind::HorizBar});
  categories = g.OneOf({12, 24, 36, 40});
  mode = g.OneOf({1, 1, 2, 0});
  shape = g.OneOf({9, 9, 8, 3});
  c.business = true;
}

Case Generate(Generator& g) {
  Case c;
  ChartModel& settings = c.chart.model;
  SeriesKind kind =
      g.OneOf({SeriesKind::Pie, SeriesKind::Line, SeriesKind::Bar, SeriesKind::HorizBar});
  settings.view3D = g.Chance(0.5);
  settings.percent3D = g.OneOf({15, 15, 0, 40, 100});
  settings.legendVisible = g.Chance(0.6);
  settings.title.lines.resize(static_cast<std::size_t>(g.OneOf({0, 1, 2, 3, 10})));
  for (std::string& line : settings.title.lines) line = g.Text(g.TextLength(), 1);
  settings.leftAxisTitle.caption = g.Text(g.TextLength(), 2);
  settings.bottomAxisTitle.caption = g.Text(g.TextLength(), 3);
  if (g.Chance(0.2)) settings.margins = {g.Below(20), g.Below(20), g.Below(20), g.Below(20)};
  c.locale = kLocales[g.Below(4)];
  settings.numbers = NumberLocaleOf(QLocale(QString(c.locale)));
  int seriesCount = 1 + g.Below(10);
  int categories = g.Categories();
  int mode = g.OneOf({0, 1, 2, 3, 7});
  int shape = g.Below(10);
  if (g.Chance(0.25)) {
    MakeBusinessChart(g, c, kind, categories, mode, shape);
    seriesCount = 2 + g.Below(2);
  } else if (kind == SeriesKind::Pie && g.Chance(0.5)) {
    categories = 2 + g.Below(59);  // a pie of 2 to 60 slices
  }
  const int labelLength = g.OneOf({0, 2, 8, 30, 100});
  const bool marks = c.business || g.Chance(0.5);
  for (int s = 0; s < seriesCount; ++s) {
    if (!c.business && g.Chance(0.2)) shape = g.Below(10);  // now and then another shape
    const double scale = std::pow(10.0, g.Below(25) - 9);   // 1e-9 to 1e15
    SeriesModel& series = c.chart.Add(kind, {});
    series.title = g.Text(g.TextLength(), s);
    series.barGrouping = BarGroupingFromNumber(static_cast<std::uint8_t>(mode));
    series.dataLabelsVisible = kind == SeriesKind::Pie || (kind != SeriesKind::Line && marks);
    for (double value : g.Values(categories, shape, scale)) {
      const int k = static_cast<int>(series.points.size());
      c.chart.AddPoint(series, value, labelLength > 0 ? g.Text(labelLength, k) : "",
                       kAutomaticColor);
    }
  }
  // An image file is laid out at its size over its text scale; the window and a printed page at
  // their size in logical pixels.
  const QSizeF size = c.business ? g.OneOf({QSizeF(800, 600), QSizeF(1200, 700)}) : g.Size();
  const bool image = c.business || g.Chance(0.5);
  c.image = image;
  c.scale = image ? ImageTextScale(size) : 1;
  c.logical = size / c.scale;
  std::ostringstream text;
  text << "kind " << int(kind) << (settings.view3D ? " 3D " : " flat ") << settings.percent3D
       << " % mode " << mode << ", " << seriesCount << " series x " << categories
       << " categories, shape " << shape << ", " << (image ? "image " : "window ") << size.width()
       << " x " << size.height() << ", labels " << labelLength << ", title lines "
       << settings.title.lines.size() << ", locale " << c.locale;
  c.description = text.str();
  return c;
}

// A chart of default margins at least as large as the smallest image (160 x 120 at its text scale)
// always draws its plot or its pies. A smaller window may be too small for its legend: then it
// draws neither.
bool DrawsItsChart(const Case& c, const ChartLayout& layout) {
  if (c.logical.width() < 160 / 0.75 || c.logical.height() < 120 / 0.75) return true;
  const ChartModel& model = c.chart.Model();
  bool anyValue = false;
  for (const SeriesModel& one : model.series) {
    for (const ChartPoint& point : one.points) anyValue = anyValue || std::isfinite(point.value);
  }
  const bool defaultMargins = model.margins == std::array<int, 4>{};
  if (!anyValue || !defaultMargins) return true;
  return !layout.plot.isEmpty() || !layout.pies.empty();
}

TEST(LayoutGuarantees, HoldForThousandsOfGeneratedCharts) {
  // LAYOUT_SEED explores other charts than the ones every run checks.
  const char* seed = std::getenv("LAYOUT_SEED");
  Generator g(seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 20261207u);
  int failures = 0;
  for (int i = 0; i < kLayouts && failures < 10; ++i) {
    const Case c = Generate(g);
    const ProcessLocale locale(c.locale);
    const ChartModel& model = c.chart.Model();
    const ChartLayout layout = LayoutOf(model, c.logical.width(), c.logical.height(), c.scale);
    const auto broken = BrokenGuarantees(model, layout);
    const bool drawn = DrawsItsChart(c, layout);
    if (broken.empty() && drawn) continue;
    ++failures;
    ADD_FAILURE() << "chart " << i << ": " << c.description << "\n"
                  << DescribeBroken(broken) << (drawn ? "" : "draws no chart\n");
    // LAYOUT_DUMP names a folder for a picture of each chart that fails.
    if (const char* dump = std::getenv("LAYOUT_DUMP")) {
      RenderOf(model, static_cast<int>(c.logical.width()), static_cast<int>(c.logical.height()))
          .save(QString("%1/chart-%2.png").arg(dump).arg(i));
    }
  }
}

// What the check reads off the layout holds on the image too: every non-zero bar of a chart of
// one depth row (flat, or in 3D side by side or stacked) has pixels of exactly its colour when
// drawn, thin stacked segments between their neighbours' outlines included.
TEST(LayoutGuarantees, EveryBarHasPixelsOfItsOwnColourWhenDrawn) {
  Generator g(20261208u);
  int checked = 0;
  for (int i = 0; i < 400; ++i) {
    Case c = Generate(g);
    ChartModel& model = c.chart.model;
    const BarGrouping mode =
        model.series.empty() ? BarGrouping::None : model.series.front().barGrouping;
    const bool oneRow = !model.view3D || mode != BarGrouping::None || model.series.size() == 1;
    if (model.series.empty() || !IsBar(model.series.front().kind) || !oneRow) continue;
    const double scale = c.scale;
    const QSize size = (c.logical * scale).toSize();
    const ChartLayout layout = LayoutOf(model, c.logical.width(), c.logical.height(), c.scale);
    if (layout.bars.empty() || !CategoriesHaveRoom(model, layout, DrawnSeriesOf(model, layout)))
      continue;
    const QImage image = RenderOf(model, size.width(), size.height(), scale);
    if (std::getenv("LAYOUT_DUMP"))
      image.save(QString("%1/render-%2.png").arg(std::getenv("LAYOUT_DUMP")).arg(i));
    for (const BarBox& bar : layout.bars) {
      const SeriesModel& series = model.series[static_cast<std::size_t>(bar.series)];
      if (bar.dense) continue;
      const QRgb colour = ToQColor(PointColors(series)[static_cast<std::size_t>(bar.point)]).rgb();
      const QRect pixels = QRectF(bar.front.topLeft() * scale, bar.front.bottomRight() * scale)
                               .toAlignedRect()
                               .intersected(image.rect());
      bool found = false;
      for (int y = pixels.top(); y <= pixels.bottom() && !found; ++y) {
        for (int x = pixels.left(); x <= pixels.right() && !found; ++x)
          found = image.pixel(x, y) == colour;
      }
      EXPECT_TRUE(found) << "chart " << i << ": " << c.description << ": series " << bar.series
                         << ", point " << bar.point;
    }
    ++checked;
  }
  EXPECT_GT(checked, 40);
}

namespace {

// Whether `line` runs over a pie's disc (top face, 3D edge or bottom rim) deeper than a leader
// grazing its rim: checked at every half pixel along it.
bool RunsOverDisc(const PieGeometry& pie, const QLineF& line) {
  const double rx = pie.radiusX - 2.5, ry = pie.radiusY - 2.5;
  const int steps = static_cast<int>(line.length() * 2) + 1;
  for (int i = 0; i <= steps; ++i) {
    const QPointF p = line.pointAt(static_cast<double>(i) / steps) - pie.center;
    for (double down = 0; down <= pie.thickness; down += 0.5) {
      if (std::pow(p.x() / rx, 2) + std::pow((p.y() - down) / ry, 2) < 1) return true;
    }
  }
  return false;
}

}  // namespace

// Pie leaders read: none runs over a disc, and a label that crossed to the other side of its disc
// has a leader straight up or down from its slice, then level to its label, crossing no other
// leader. Over generated pies, skewed and thin slices among them.
TEST(LayoutGuarantees, PieLeadersCrossNeitherADiscNorEachOther) {
  Generator g(20261210u);
  int across = 0;
  for (int i = 0; i < 3000; ++i) {
    const Case c = Generate(g);
    const ChartModel& model = c.chart.Model();
    if (model.series.empty() || !IsPie(model.series.front().kind)) continue;
    const ProcessLocale locale(c.locale);
    const ChartLayout layout = LayoutOf(model, c.logical.width(), c.logical.height(), c.scale);
    std::vector<QLineF> leaders;  // two segments per label: rim to elbow, elbow to label
    for (const Segment& stroke : layout.strokes) {
      if (stroke.color == QColor(110, 110, 110)) leaders.push_back(stroke.line);
    }
    ASSERT_EQ(leaders.size() % 2, 0u);
    for (std::size_t a = 0; a < leaders.size(); a += 2) {
      for (const PieGeometry& pie : layout.pies) {
        ASSERT_FALSE(RunsOverDisc(pie, leaders[a + 1]))
            << "chart " << i << ": " << c.description << ": a leader to " << leaders[a + 1].p2().x()
            << "," << leaders[a + 1].p2().y() << " over a disc";
      }
      const bool crossed = leaders[a].dx() == 0 && leaders[a].dy() != 0 &&
                           leaders[a + 1].dy() == 0 &&
                           leaders[a + 1].length() > 2 * std::abs(leaders[a].dy());
      if (!crossed) continue;
      ++across;
      for (std::size_t b = 0; b < leaders.size(); ++b) {
        if (b / 2 == a / 2) continue;
        for (const QLineF& own : {leaders[a], leaders[a + 1]}) {
          QPointF at;
          ASSERT_NE(own.intersects(leaders[b], &at), QLineF::BoundedIntersection)
              << "chart " << i << ": " << c.description << ": a label across its pie at "
              << own.p2().x() << "," << own.p2().y();
        }
      }
    }
  }
  EXPECT_GT(across, 50);
}

// Every value of 3D bars in rows has its label, also where a longer bar in a row in front hides
// its end: business charts of two to four data sets of a few months each, gains and losses, at
// sizes that give every category a few labels' room. A label that could not stand at its own
// bar's end stands past the bars in front and is framed in its bar's colour.
TEST(LayoutGuarantees, EveryBarOfThreeDimensionalRowsHasItsLabel) {
  Generator g(20261211u);
  int behind = 0;
  for (int i = 0; i < 3000; ++i) {
    ModelBuilder chart;
    chart.model.view3D = true;
    chart.model.legendVisible = g.Chance(0.5);
    const SeriesKind kind = g.OneOf({SeriesKind::Bar, SeriesKind::HorizBar});
    const int count = 2 + g.Below(3), categories = 2 + g.Below(5);
    std::vector<std::vector<double>> values;
    for (int s = 0; s < count; ++s)
      values.push_back(g.Values(categories, g.OneOf({9, 7, 2}), 1000));
    // Now and then the bars of one category all near the top of an axis that ends at their
    // longest, so that the labels that stand past it need the room kept for them.
    if (g.Chance(0.5)) {
      const int top = g.Below(categories);
      for (int s = 0; s < count; ++s) values[s][top] = s == 0 ? 1000 : 1000 - 10 * g.Below(count);
    }
    for (int s = 0; s < count; ++s) {
      SeriesModel& series = chart.Add(kind, {});
      series.dataLabelsVisible = true;
      for (double value : values[s]) chart.AddPoint(series, value, "", kAutomaticColor);
    }
    const QSizeF size = g.OneOf({QSizeF(720, 450), QSizeF(1200, 700), QSizeF(900, 900)});
    const ChartLayout layout = LayoutOf(chart.Model(), size.width(), size.height());
    if (std::getenv("LAYOUT_DUMP"))
      RenderOf(chart.Model(), size.width(), size.height(), 1)
          .save(QString("%1/rows-%2.png").arg(std::getenv("LAYOUT_DUMP")).arg(i));
    std::map<std::pair<int, int>, const TextItem*> labels;
    for (const TextItem& text : layout.texts)
      if (text.role == TextRole::DataLabel) labels[{text.series, text.point}] = &text;
    for (std::size_t s = 0; s < chart.model.series.size(); ++s) {
      const SeriesModel& series = chart.model.series[s];
      for (std::size_t p = 0; p < series.points.size(); ++p) {
        const auto found = labels.find({static_cast<int>(s), static_cast<int>(p)});
        ASSERT_NE(found, labels.end())
            << "chart " << i << ", " << count << " x " << categories << " at " << size.width()
            << " x " << size.height() << ": no label of series " << s << ", point " << p;
        if (found->second->frame == ToQColor(PointColors(series)[p])) ++behind;
      }
    }
  }
  EXPECT_GT(behind, 100);
}

}  // namespace

// (x) over generated pairs: every chart laid out again with more room on both sides, as an image
// grown by up to three times on each side or a larger window. Image pairs whose text scale grows
// faster than one of their sides have less room on that side, and are not compared; the property
// counts them so that they stay the exception.
//
// The guarantee does not hold for every chart yet: a data set's labels placed with more room
// are sometimes fewer (pies' thin slices, 3D bars at extreme scales), and a legend may take a
// narrower share and shorten its entries. Until it holds, the share of pairs that lose anything
// is held below kMaxLosingShare (2.2 % lose now), so that a change that makes larger images lose
// more is seen; LAYOUT_DUMP names a folder for the pictures of the pairs that lose.
constexpr double kMaxLosingShare = 0.04;

TEST(LayoutGuarantees, MoreRoomShowsLessOnlyInFewCharts) {
  const char* seed = std::getenv("LAYOUT_SEED");
  Generator g(seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 20261209u);
  int losing = 0;
  int compared = 0;
  int narrower = 0;
  std::string first;  // the first pairs that lose, for the report
  for (int i = 0; i < kLayouts / 2; ++i) {
    const Case c = Generate(g);
    const QSizeF size = (c.logical * c.scale).toSize();
    const QSizeF grown(std::round(size.width() * g.Uniform(1, 3)),
                       std::round(size.height() * g.Uniform(1, 3)));
    const double scale = c.image ? ImageTextScale(grown) : 1;
    const QSizeF room = grown / scale;
    if (room.width() < c.logical.width() || room.height() < c.logical.height()) {
      ++narrower;
      continue;
    }
    const ProcessLocale locale(c.locale);
    const ChartModel& model = c.chart.Model();
    const ChartLayout smaller = LayoutOf(model, c.logical.width(), c.logical.height(), c.scale);
    const ChartLayout larger = LayoutOf(model, room.width(), room.height(), scale);
    ++compared;
    const auto lost = LostWithMoreRoom(smaller, larger);
    if (lost.empty()) continue;
    if (++losing <= 5) {
      std::ostringstream text;
      text << "chart " << i << ": " << c.description << ", grown to " << grown.width() << " x "
           << grown.height() << "\n"
           << DescribeBroken(lost);
      first += text.str();
    }
    if (const char* dump = std::getenv("LAYOUT_DUMP")) {
      const QString name = QString("%1/pair-%2-%3.png").arg(dump).arg(i);
      RenderOf(model, int(size.width()), int(size.height()), c.scale).save(name.arg("smaller"));
      RenderOf(model, int(grown.width()), int(grown.height()), scale).save(name.arg("larger"));
    }
  }
  EXPECT_LE(losing, kMaxLosingShare * compared)
      << losing << " of " << compared << " pairs lose with more room; the first:\n"
      << first;
  EXPECT_GT(compared, 4 * narrower) << narrower << " pairs had less room on a side";
}
