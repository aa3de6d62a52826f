// Lines and dense charts, and data that the layout must survive whatever it holds.

#include <gtest/gtest.h>

#include <QTransform>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "chart/layout/labelplacer.h"
#include "chart/model/palette.h"
#include "chartfixture.h"

using namespace chart;

namespace {

double ValueToY(const ChartLayout& layout, double v) {
  const double lo = layout.geometry.valueMin, hi = layout.geometry.valueMax;
  return layout.geometry.plot.bottom() - (v - lo) / (hi - lo) * layout.geometry.plot.height();
}

// A chart of a dozen points is drawn with antialiasing and outlines; only bars or lines of more
// points than pixels are drawn dense, without them. A pie merges its thin slices instead.
TEST(Dense, OnlyMorePointsThanPixelsDrawDense) {
  for (SeriesKind kind :
       {SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Line, SeriesKind::Pie}) {
    for (bool view3D : {false, true}) {
      for (int count : {12, 10000}) {
        ModelBuilder b;
        b.model.view3D = view3D;
        std::vector<double> values(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = 10 + i % 7;
        b.Add(kind, values);
        const ChartLayout layout = b.Layout(400, 300);
        const bool dense = std::any_of(layout.scene.faces.begin(), layout.scene.faces.end(),
                                       [](auto& f) { return f.dense; }) ||
                           std::any_of(layout.scene.lines.begin(), layout.scene.lines.end(),
                                       [](auto& l) { return l.dense; });
        EXPECT_EQ(dense, count > 400 && kind != SeriesKind::Pie)
            << int(kind) << (view3D ? " 3D " : " flat ") << count;
      }
    }
  }
}

TEST(LineLayout, MillionPointsCostFollowsThePixelWidth) {
  ModelBuilder b;
  SeriesModel& line = b.Add(SeriesKind::Line, {});
  line.points.reserve(1000000);
  for (int i = 0; i < 1000000; ++i)
    line.points.push_back({std::sin(i * 0.001) * 100 + (i == 777777 ? 500 : 0), kAutomaticColor});
  const ChartLayout layout = b.Layout(1920, 1080);
  std::size_t points = 0;
  double top = 1e9;
  for (const Polyline& p : layout.scene.lines) {
    points += p.points.size();
    for (const QPointF& q : p.points) top = std::min(top, q.y());
  }
  EXPECT_LE(points, static_cast<std::size_t>(4 * layout.geometry.plot.width() + 8));
  EXPECT_NEAR(top, ValueToY(layout, 500 + std::sin(777.777) * 100), 1) << "the single peak stays";
}

// A line's data label never stands on another of its points, where the line turns: over a
// zig-zag of close points, steps of a few pixels, each label takes the side away from its
// neighbours or is left out.
TEST(LineLayout, ALabelNeverCoversAnotherPointOfItsLine) {
  for (const int width : {200, 320, 480, 800}) {
    for (const double step : {2.0, 4.0, 8.0, 16.0}) {
      ModelBuilder b;
      std::vector<double> values = {0};
      for (int i = 0; i < 24; ++i) values.push_back(i % 2 ? 100 + step : 100);
      values.push_back(200);
      b.Add(SeriesKind::Line, values).dataLabelsVisible = true;
      const ChartLayout layout = b.Layout(width, 300);
      int labels = 0;
      for (const TextItem& item : layout.scene.texts) {
        if (item.role != TextRole::DataLabel) continue;
        ++labels;
        const QPolygonF corners = TextCorners(layout, item);
        for (const LinePointSpot& spot : layout.geometry.linePoints) {
          EXPECT_TRUE(spot.point == item.point || !corners.containsPoint(spot.at, Qt::OddEvenFill))
              << width << " wide, step " << step << ": the label of point " << item.point
              << " on point " << spot.point;
        }
      }
      EXPECT_GT(labels, 0) << width << " wide, step " << step;
    }
  }
}

// A gap in a line stays a gap: no piece of the line reaches across it and nothing is drawn in
// it, whatever the points on either side, with fewer or more points than pixels.
TEST(LineLayout, ALineKeepsItsGapsOpen) {
  const double nan = std::nan("");
  const struct {
    int points, gapLength;
  } cases[] = {{12, 1}, {12, 2}, {3000, 1}, {3000, 2}, {3000, 40}};
  for (const auto& c : cases) {
    const int start = c.points / 2;
    ModelBuilder b;
    std::vector<double> values;
    for (int i = 0; i < c.points; ++i)
      values.push_back(i >= start && i < start + c.gapLength ? nan : 1 + i % 7);
    b.Add(SeriesKind::Line, values);
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(400, 300);
    const auto centre = [&](double i) {
      return layout.geometry.plot.left() + layout.geometry.plot.width() * (i + 0.5) / c.points;
    };
    const double gapFrom = centre(start - 1), gapTo = centre(start + c.gapLength);
    const auto inGap = [&](const QPointF& p) {
      return p.x() > gapFrom + 0.5 && p.x() < gapTo - 0.5;
    };
    ASSERT_GE(layout.scene.lines.size(), 2u) << c.points << " " << c.gapLength;
    for (const Polyline& piece : layout.scene.lines) {
      const bool before = std::all_of(piece.points.begin(), piece.points.end(),
                                      [&](const QPointF& p) { return p.x() <= gapTo; });
      const bool after = std::all_of(piece.points.begin(), piece.points.end(),
                                     [&](const QPointF& p) { return p.x() >= gapFrom; });
      EXPECT_TRUE(before || after) << "a piece of the line crosses a gap of " << c.gapLength;
      EXPECT_TRUE(std::none_of(piece.points.begin(), piece.points.end(), inGap))
          << "a line drawn in a gap of " << c.gapLength << " among " << c.points;
    }
  }
}

bool AllFinite(const ChartLayout& layout) {
  auto finite = [](const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); };
  for (const auto* faces : {&layout.scene.walls, &layout.scene.faces}) {
    for (const Face& f : *faces) {
      for (const QPointF& p : f.polygon)
        if (!finite(p)) return false;
    }
  }
  for (const Polyline& l : layout.scene.lines) {
    for (const QPointF& p : l.points)
      if (!finite(p)) return false;
  }
  for (const TextItem& t : layout.scene.texts)
    if (!finite(t.origin)) return false;
  return true;
}

TEST(HardData, NeverBreaksTheLayout) {
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  const std::vector<std::vector<double>> data = {{},
                                                 {5},
                                                 {0, 0, 0},
                                                 {-1, -2, -3},
                                                 {-5, 3, 0, 8},
                                                 {1e-9, 1e12},
                                                 {nan, 1, inf, -inf, 2},
                                                 {1e-320, 4e-323},
                                                 {1e308, -1e308},
                                                 {-1.7e308, 1.7e308, 4.9e-324}};
  for (bool view3D : {false, true}) {
    for (int kind = 0; kind < 4; ++kind) {
      for (const auto& values : data) {
        ModelBuilder b;
        b.model.view3D = view3D;
        b.model.legendVisible = true;
        if (kind == 0) b.Add(SeriesKind::Bar, values).barGrouping = BarGrouping::Stacked;
        if (kind == 1) b.Add(SeriesKind::HorizBar, values).barGrouping = BarGrouping::Stacked100;
        if (kind == 2) b.Add(SeriesKind::Line, values).dataLabelsVisible = true;
        if (kind == 3) b.Add(SeriesKind::Pie, values);
        // 90 x 60 leaves room for the frame but none for the plot.
        for (QSizeF size : {QSizeF(585, 401), QSizeF(90, 60), QSizeF(20, 15), QSizeF(1, 1)}) {
          EXPECT_TRUE(AllFinite(b.Layout(size.width(), size.height())))
              << kind << " " << values.size() << " " << size.width();
        }
      }
    }
  }
  ModelBuilder none;
  EXPECT_TRUE(none.Layout().scene.faces.empty());
}

// Only the title lines that can show are laid out, however many there are.
TEST(HardData, AMillionTitleLinesLayOutOnlyThoseThatShow) {
  for (const char* line : {"Sales", " "}) {
    ModelBuilder b;
    b.model.title.lines.assign(1'000'000, line);
    b.Add(SeriesKind::Bar, {1, 2});
    const ChartLayout layout = b.Layout(400, 300);
    std::size_t titles = 0;
    for (const TextItem& text : layout.scene.texts) {
      if (text.font != FontRole::Title) continue;
      ++titles;
      EXPECT_LT(text.origin.y(), 300);
    }
    EXPECT_LE(titles, 300 / QFontMetricsF(layout.scene.fonts[FontRole::Title]).height() + 1)
        << line;
  }
  // The lines left out are counted, also past blank lines that filled the title's share.
  ModelBuilder b;
  b.model.title.lines.assign(1'000'000, "");
  b.model.title.lines.front() = "Sales";
  b.model.title.lines.back() = "Units sold";
  b.Add(SeriesKind::Bar, {1, 2});
  EXPECT_EQ(b.Layout(400, 300).omitted.titleLinesLeftOut, 1);
}

TEST(HardData, TenSeriesOfAThousandCategories) {
  ModelBuilder b;
  b.model.view3D = true;
  for (int s = 0; s < 10; ++s) {
    std::vector<double> values(1000);
    for (int i = 0; i < 1000; ++i) values[i] = (i * 7 + s * 13) % 101 - 30;
    b.Add(SeriesKind::Bar, values).barGrouping = BarGrouping::SideBySide;
  }
  const ChartLayout layout = b.Layout(585, 401);
  EXPECT_LE(layout.geometry.bars.size(),
            static_cast<std::size_t>(10 * (layout.geometry.plot.width() + 2)))
      << "bars thinner than a pixel are drawn once per pixel column";
  EXPECT_TRUE(AllFinite(layout));
}

}  // namespace
