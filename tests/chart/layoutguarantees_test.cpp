// One property over thousands of generated charts: every layout keeps the guarantees of
// layoutguarantees.h, whatever the style, view, mode, size, texts, series and values.

#include "chart/layoutguarantees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>

#include "chart/chartpainter.h"
#include "chartfixture.h"

using namespace chart;

namespace {

constexpr int kLayouts = 5000;

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
        default:
          values.push_back(OneOf({std::nan(""), 1.0, -2.5, 0.0}));
          break;
      }
    }
    return values;
  }

  QSizeF Size() {
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
};

Case Generate(Generator& g) {
  Case c;
  ChartModel& settings = c.chart.model;
  const SeriesKind kind =
      g.OneOf({SeriesKind::Pie, SeriesKind::Line, SeriesKind::Bar, SeriesKind::HorizBar});
  settings.view3D = g.Chance(0.5);
  settings.percent3D = g.OneOf({15, 15, 0, 40, 100});
  settings.legendVisible = g.Chance(0.6);
  settings.title.lines.resize(static_cast<std::size_t>(g.OneOf({0, 1, 2, 3, 10})));
  for (std::string& line : settings.title.lines) line = g.Text(g.TextLength(), 1);
  settings.leftAxisTitle.caption = g.Text(g.TextLength(), 2);
  settings.bottomAxisTitle.caption = g.Text(g.TextLength(), 3);
  if (g.Chance(0.2)) settings.margins = {g.Below(20), g.Below(20), g.Below(20), g.Below(20)};
  const int seriesCount = 1 + g.Below(10);
  const int categories = g.Categories();
  const int mode = g.OneOf({0, 1, 2, 3, 7});
  const int labelLength = g.OneOf({0, 2, 8, 30, 100});
  const bool marks = g.Chance(0.5);
  int shape = g.Below(8);
  for (int s = 0; s < seriesCount; ++s) {
    if (g.Chance(0.2)) shape = g.Below(8);  // now and then a series of another shape
    const double scale = std::pow(10.0, g.Below(7) - 2);
    SeriesModel& series = c.chart.Add(kind, {});
    series.title = g.Text(g.TextLength(), s);
    series.multiBar = MultiBarFromNumber(static_cast<TMultiBar>(mode));
    series.marksVisible = kind == SeriesKind::Pie || (kind != SeriesKind::Line && marks);
    for (double value : g.Values(categories, shape, scale)) {
      const int k = static_cast<int>(series.points.size());
      c.chart.AddPoint(series, value, labelLength > 0 ? g.Text(labelLength, k) : "", clAutomatic);
    }
  }
  // An image file is laid out at its size over its text scale; the window and a printed page at
  // their size in logical pixels.
  const QSizeF size = g.Size();
  const bool image = g.Chance(0.5);
  c.logical = image ? size / ImageTextScale(size) : size;
  std::ostringstream text;
  text << "kind " << int(kind) << (settings.view3D ? " 3D " : " flat ") << settings.percent3D
       << " % mode " << mode << ", " << seriesCount << " series x " << categories
       << " categories, shape " << shape << ", " << (image ? "image " : "window ") << size.width()
       << " x " << size.height() << ", labels " << labelLength << ", title lines "
       << settings.title.lines.size();
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
    const ChartModel& model = c.chart.Model();
    const ChartLayout layout = LayoutOf(model, c.logical.width(), c.logical.height());
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

// The check itself finds what it is for: a text pushed out, two texts on each other, a series
// hidden behind another, an axis that leaves most of its length empty.
TEST(LayoutGuarantees, TheCheckFindsEachKindOfFault) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10, 20, 30});
  b.Add(SeriesKind::Bar, {5, 6, 7});
  b.model.legendVisible = true;
  const ChartModel model = b.Model();
  const ChartLayout good = LayoutOf(model, 640, 480);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(model, good)), "");
  ASSERT_GE(good.texts.size(), 2u);

  auto breaks = [&](const ChartLayout& layout, Guarantee guarantee) {
    const auto broken = BrokenGuarantees(model, layout);
    return std::any_of(broken.begin(), broken.end(),
                       [&](const BrokenGuarantee& one) { return one.guarantee == guarantee; });
  };
  ChartLayout out = good;
  out.texts.front().origin += QPointF(-2000, 0);
  EXPECT_TRUE(breaks(out, Guarantee::TextInside));

  ChartLayout onTop = good;
  onTop.texts[1].origin = onTop.texts[0].origin;
  onTop.texts[1].box = onTop.texts[0].box;
  onTop.texts[1].align = onTop.texts[0].align;
  EXPECT_TRUE(breaks(onTop, Guarantee::TextsApart));

  ChartLayout hidden = good;  // the first series' faces drawn behind a wall of the second's colour
  Face wall{QPolygonF(hidden.plot), Qt::black, Qt::black, false, 1};
  hidden.faces.push_back(wall);
  EXPECT_TRUE(breaks(hidden, Guarantee::SeriesVisible));

  ChartLayout lost = good;
  lost.legend.pop_back();
  EXPECT_TRUE(breaks(lost, Guarantee::LegendComplete));

  ChartLayout wide = good;
  wide.valueMax = 1000;
  EXPECT_TRUE(breaks(wide, Guarantee::AxisFits));
}

}  // namespace
