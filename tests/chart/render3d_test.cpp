// Pixel checks on charts drawn in 3D: the shaded tops and walls where the depth is, and every bar
// and every line still showing what gives its value.

#include <gtest/gtest.h>

#include <cmath>

#include "chartfixture.h"
#include "renderpixels.h"

using namespace chart;

namespace {

TEST(Render, ThreeDimensionsAddShadedTopsWhereTheDepthIs) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10}, kRed);
  b.model.view3D = true;
  const ChartLayout layout = b.Layout();
  const QImage deep = b.Render();
  b.model.view3D = false;
  const QImage flat = b.Render();
  const BarBox& bar = layout.geometry.bars.front();
  const double depth = layout.geometry.depthOffset.x() * 0.75;
  const QPointF onTop =
      bar.front.topLeft() + QPointF(bar.front.width() / 2 + depth / 2, -depth / 2);
  const QColor top = QColor::fromRgb(PixelAt(deep, onTop));
  EXPECT_NE(PixelAt(deep, onTop), PixelAt(flat, onTop));
  EXPECT_EQ(top.hue(), 0) << "the top is a shade of the bar's red";
  EXPECT_GT(top.lightness(), QColor(Qt::red).lightness());
  EXPECT_NE(deep, flat);
}

// Flat, the plot is white; in 3D it stands in a box of three shaded walls, the side wall carrying
// each value's grid line back to the back wall.
TEST(Render, ThreeDimensionsPutThePlotInShadedWallsThatCarryTheGrid) {
  ModelBuilder b;
  b.Add(SeriesKind::Line, {10, 10, 10}, kRed).dataLabelsVisible = false;
  for (bool view3D : {false, true}) {
    b.model.view3D = view3D;
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    const QRectF& p = layout.geometry.plot;
    const double depth = layout.geometry.depthOffset.x();
    auto heightOf = [&](double v) {
      return p.bottom() - (v - layout.geometry.valueMin) /
                              (layout.geometry.valueMax - layout.geometry.valueMin) * p.height();
    };
    ASSERT_GE(layout.geometry.valueTicks.size(), 3u);
    const double between =
        (heightOf(layout.geometry.valueTicks[0]) + heightOf(layout.geometry.valueTicks[1])) / 2;
    const QPointF back = QPointF(p.center().x(), between) + layout.geometry.depthOffset;
    SCOPED_TRACE(view3D ? "3D" : "flat");
    EXPECT_EQ(PixelAt(image, back), view3D ? 0xFAFAFAu : 0xFFFFFFu) << "the back wall";
    if (!view3D) continue;
    const QPointF side(p.left() + depth / 2, between - depth / 2);
    EXPECT_EQ(PixelAt(image, side), 0xEEEEEEu) << "the side wall";
    EXPECT_EQ(PixelAt(image, QPointF(p.center().x(), p.bottom() - depth / 2)), 0xE4E4E4u)
        << "the floor";
    for (std::size_t t = 1; t + 1 < layout.geometry.valueTicks.size(); ++t) {
      const QPoint on =
          QPointF(p.left() + depth / 2, heightOf(layout.geometry.valueTicks[t]) - depth / 2)
              .toPoint();
      int darkest = 255;
      for (int dy = -1; dy <= 1; ++dy)
        darkest = std::min(darkest, qRed(image.pixel(on.x(), on.y() + dy)));
      EXPECT_LT(darkest, 0xEE) << "a grid line across the side wall at tick " << t;
    }
  }
}

TEST(Render, EveryBarOfA3DChartInDepthRowsShowsTheEndThatGivesItsValue) {
  const std::vector<double> north = {120, 135, 160, 148, 172, 190, 205, 198, 176, 164, 150, 210},
                            south = {95, 102, 110, 125, 131, 140, 152, 149, 138, 127, 119, 160},
                            west = {60, 72, 81, 90, 97, 110, 118, 121, 104, 99, 87, 130},
                            hardware = {12.5, 14, 13.2, 17.8, 19.1, 22.4, 25, 24.2},
                            software = {8.1, 9.4, 11.7, 10.2, 12.8, 14.1, 13.5, 15.9},
                            services = {-3.2, 2.5, 4.8, 6.1, 5.4, -1.8, 3.9, 7.2}, none(12, NAN);
  const struct {
    const char* what;
    std::vector<std::vector<double>> series;
  } cases[] = {{"largest series first", {north, south, west}},
               {"smallest series first", {west, south, north}},
               {"negative values", {hardware, software, services}},
               {"a series without values", {north, none, west}}};
  const Color colors[] = {kRed, kGreen, 0xFF0000};
  for (const auto& c : cases) {
    ModelBuilder b;
    b.model.view3D = true;
    for (std::size_t s = 0; s < c.series.size(); ++s) {
      b.Add(SeriesKind::Bar, c.series[s], colors[s]).dataLabelsVisible = false;
    }
    const ChartLayout layout = b.Layout(720, 450);
    const QImage image = b.Render(720, 450);
    for (const BarBox& bar : layout.geometry.bars) {
      const double value = c.series[static_cast<std::size_t>(bar.series)][bar.point];
      const QPointF end(bar.front.center().x(),
                        value >= 0 ? bar.front.top() + 2 : bar.front.bottom() - 2);
      EXPECT_EQ(PixelAt(image, end), ToQColor(colors[bar.series]).rgb() & 0xFFFFFF)
          << c.what << ": series " << bar.series << ", bar " << bar.point;
    }
  }
}

// A 3D line stands in a row of its own; one of few points (the rest gaps) goes in front, where
// the ribbons of fuller lines cannot hide it, and every line shows at each of its points.
TEST(Render, EveryLineOfA3DChartShowsAtEachOfItsPoints) {
  const double gap = NAN;
  // Level where they meet, the sparse line a little below the full one: behind it, it would lie
  // within the full line's ribbon.
  const std::vector<double> full = {2, 5, 5, 5, 8}, sparse = {gap, 4.8, 4.8, gap, gap};
  const Color colors[] = {kRed, kGreen};
  for (const auto& lines : {std::vector{full, sparse}, std::vector{sparse, full}}) {
    ModelBuilder b;
    b.model.view3D = true;
    for (std::size_t s = 0; s < lines.size(); ++s) {
      b.Add(SeriesKind::Line, lines[s], colors[s]).dataLabelsVisible = false;
    }
    const ChartLayout layout = b.Layout();
    const QImage image = b.Render();
    for (const LinePointSpot& spot : layout.geometry.linePoints) {
      const QColor own = ToQColor(colors[spot.series]);
      bool shows = false;  // the line's own colour on or next to the spot
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
          const QColor seen(image.pixel(spot.at.toPoint() + QPoint(dx, dy)));
          shows |= std::abs(seen.red() - own.red()) + std::abs(seen.green() - own.green()) < 60;
        }
      }
      EXPECT_TRUE(shows) << "series " << spot.series << ", point " << spot.point;
    }
  }
}

TEST(Render, ADenseLineIn3DShowsTheRangeOfItsValuesAsTheFlatLineDoes) {
  ModelBuilder b;
  SeriesModel& line = b.Add(SeriesKind::Line, {}, kRed);
  line.points.reserve(1000000);
  for (int i = 0; i < 1000000; ++i)
    line.points.push_back({std::sin(i * 1e-4) * 100 + i % 97, kRed});
  const long flat = PixelsOf(b.Render(1920, 1080), 0xFF0000);
  b.model.view3D = true;
  const ChartLayout layout = b.Layout(1920, 1080);
  EXPECT_LE(layout.scene.faces.size(),
            static_cast<std::size_t>(2 * layout.geometry.plot.width() + 4))
      << "the cost follows the width";
  const long deep = PixelsOf(b.Render(1920, 1080), 0xFF0000);
  EXPECT_GT(flat, 100000);
  EXPECT_GT(deep, flat * 8 / 10) << "the range in the line's own colour, not a wall of shades";
}

// Bars in depth rows of their own, where the categories have room for their rows: a category's
// back row, its side included, ends before the next category's front row begins, so that no bar
// reaches behind the next category's bars, at any 3D depth (half a pixel allowed for each bar's
// rounding to whole pixels and for the depth's).
TEST(Render, ACategorysDepthRowsEndBeforeTheNextCategoryBegins) {
  for (const int series : {2, 3, 5}) {
    for (const int categories : {4, 12}) {
      for (const int percent : {15, 100}) {
        ModelBuilder b;
        for (int s = 0; s < series; ++s)
          b.Add(SeriesKind::Bar, std::vector<double>(categories, 10 + s)).dataLabelsVisible = false;
        b.model.view3D = true;
        b.model.percent3D = percent;
        const ChartLayout layout = b.Layout(800, 500);
        std::vector<double> backEnd(categories, -HUGE_VAL), frontStart(categories, HUGE_VAL);
        for (const BarBox& bar : layout.geometry.bars) {
          backEnd[bar.point] = std::max(backEnd[bar.point], bar.front.right() + bar.depth);
          frontStart[bar.point] = std::min(frontStart[bar.point], bar.front.left());
        }
        for (int c = 0; c + 1 < categories; ++c) {
          EXPECT_LE(backEnd[c], frontStart[c + 1] + 1.5)
              << series << " series, " << categories << " categories, " << percent
              << " %: category " << c;
        }
      }
    }
  }
}

}  // namespace
