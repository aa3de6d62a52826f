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

#include "chart/model/palette.h"
#include "chart/render/chartpainter.h"
#include "chartfixture.h"
#include "generatedcharts.h"
#include "layoutcheck/guaranteechecks.h"

using namespace chart;

namespace {

#ifdef TARVO_PROPERTY_SAMPLE
constexpr int kLayouts = 1000;  // a seeded sample, in the sanitizer build
#else
constexpr int kLayouts = 10000;
#endif

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
  return !layout.geometry.plot.isEmpty() || !layout.geometry.pies.empty();
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
    if (layout.geometry.bars.empty() ||
        !CategoriesHaveRoom(model, layout, DrawnSeriesOf(model, layout)))
      continue;
    const QImage image = RenderOf(model, size.width(), size.height(), scale);
    if (std::getenv("LAYOUT_DUMP"))
      image.save(QString("%1/render-%2.png").arg(std::getenv("LAYOUT_DUMP")).arg(i));
    for (const BarBox& bar : layout.geometry.bars) {
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
