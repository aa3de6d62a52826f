#include <gtest/gtest.h>

#include <QTransform>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "chart/labelplacer.h"
#include "chart/palette.h"
#include "chartfixture.h"

using namespace chart;

namespace {

double ValueToY(const ChartLayout& layout, double v) {
  const double lo = layout.valueMin, hi = layout.valueMax;
  return layout.plot.bottom() - (v - lo) / (hi - lo) * layout.plot.height();
}

const BarBox& Bar(const ChartLayout& layout, int series, int point) {
  for (const BarBox& bar : layout.bars) {
    if (bar.series == series && bar.point == point) return bar;
  }
  throw std::runtime_error("no such bar");
}

// Two series over two categories: {10, -5} and {20, 5}.
ChartLayout TwoBarSeries(ModelBuilder& b, int mode) {
  b.Add(SeriesKind::Bar, {10, -5}).multiBar = MultiBarFromNumber(static_cast<TMultiBar>(mode));
  b.Add(SeriesKind::Bar, {20, 5}).multiBar = MultiBarFromNumber(static_cast<TMultiBar>(mode));
  return b.Layout();
}

// Flat, bars of mode 0 overlap as office suites draw them: each series offset and narrower, the
// later ones in front, so that every series keeps a strip of its own whatever its values.
TEST(BarLayout, FlatOverlappingBarsAreOffsetAndStartAtZero) {
  for (int mode : {0, 7}) {  // unknown modes act as 0
    ModelBuilder b;
    const ChartLayout layout = TwoBarSeries(b, mode);
    const QRectF a = Bar(layout, 0, 0).front, c = Bar(layout, 1, 0).front;
    EXPECT_LT(a.left(), c.left()) << mode;
    EXPECT_GT(a.right(), c.left()) << mode << ": they overlap";
    EXPECT_NEAR(a.width(), c.width(), 1) << mode;
    EXPECT_NEAR(a.bottom(), ValueToY(layout, 0), 1) << mode;
    EXPECT_NEAR(a.top(), ValueToY(layout, 10), 1) << mode;
    EXPECT_NEAR(c.top(), ValueToY(layout, 20), 1) << mode;
    const QRectF negative = Bar(layout, 0, 1).front;
    EXPECT_NEAR(negative.top(), ValueToY(layout, 0), 1) << "negative bars hang below zero";
    EXPECT_NEAR(negative.bottom(), ValueToY(layout, -5), 1);
  }
}

TEST(BarLayout, FlatOverlappingBarsPaintLaterSeriesInFront) {
  ModelBuilder b;
  const ChartLayout layout = TwoBarSeries(b, 0);
  ASSERT_EQ(layout.bars.size(), 4u);
  EXPECT_EQ(layout.bars.back().series, 1);
}

TEST(BarLayout, SideBySideShiftsEachSeriesByItsWidth) {
  ModelBuilder b;
  const ChartLayout layout = TwoBarSeries(b, 1);
  const double slot = layout.plot.width() / 2;
  const double center = layout.plot.left() + slot / 2;
  const QRectF a = Bar(layout, 0, 0).front, c = Bar(layout, 1, 0).front;
  EXPECT_NEAR(a.width(), slot * 0.7 / 2, 1);
  EXPECT_NEAR(a.right(), c.left(), 1);
  EXPECT_NEAR((a.left() + c.right()) / 2, center, 1);
}

TEST(BarLayout, StackedKeepsPositiveAndNegativeSumsApart) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10, -5, 4}).multiBar = MultiBar::Stacked;
  b.Add(SeriesKind::Bar, {20, 5, -6}).multiBar = MultiBar::Stacked;
  b.Add(SeriesKind::Bar, {-3, -2, 1}).multiBar = MultiBar::Stacked;
  const ChartLayout layout = b.Layout();
  const struct {
    int series, point;
    double low, high;
  } expected[] = {{0, 0, 0, 10},  {1, 0, 10, 30}, {2, 0, -3, 0}, {0, 1, -5, 0}, {1, 1, 0, 5},
                  {2, 1, -7, -5}, {0, 2, 0, 4},   {1, 2, -6, 0}, {2, 2, 4, 5}};
  for (const auto& e : expected) {
    const QRectF r = Bar(layout, e.series, e.point).front;
    EXPECT_NEAR(r.bottom(), ValueToY(layout, e.low), 1) << e.series << "/" << e.point;
    EXPECT_NEAR(r.top(), ValueToY(layout, e.high), 1) << e.series << "/" << e.point;
  }
}

TEST(BarLayout, StackedToHundredPercentFillsTheAxis) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10, 1}).multiBar = MultiBar::Stacked100;
  b.Add(SeriesKind::Bar, {30, 3}).multiBar = MultiBar::Stacked100;
  const ChartLayout layout = b.Layout();
  EXPECT_EQ(layout.valueTicks.back(), 100);
  for (int point : {0, 1}) {
    EXPECT_NEAR(Bar(layout, 0, point).front.top(), ValueToY(layout, 25), 1);
    EXPECT_NEAR(Bar(layout, 1, point).front.top(), ValueToY(layout, 100), 1);
  }
  ModelBuilder inexact;  // shares that do not add up to 100 exactly in doubles
  inexact.Add(SeriesKind::Bar, {14, 20.3, 24.2}).multiBar = MultiBar::Stacked100;
  inexact.Add(SeriesKind::Bar, {9.4, 16.4, 15.9}).multiBar = MultiBar::Stacked100;
  inexact.Add(SeriesKind::Bar, {2.5, 8.8, 7.2}).multiBar = MultiBar::Stacked100;
  EXPECT_EQ(inexact.Layout().valueTicks.back(), 100);

  // A negative value counts by its size: shares of 10, -10 and 20 are 25 %, -25 % and 50 %.
  ModelBuilder negative;
  for (double value : {10.0, -10.0, 20.0}) {
    negative.Add(SeriesKind::Bar, {value}).multiBar = MultiBar::Stacked100;
  }
  const ChartLayout shares = negative.Layout();
  const struct {
    int series;
    double low, high;
  } expected[] = {{0, 0, 25}, {1, -25, 0}, {2, 25, 75}};
  for (const auto& e : expected) {
    EXPECT_NEAR(Bar(shares, e.series, 0).front.bottom(), ValueToY(shares, e.low), 1) << e.series;
    EXPECT_NEAR(Bar(shares, e.series, 0).front.top(), ValueToY(shares, e.high), 1) << e.series;
  }
}

// The first series decides the direction of all bars, whatever the others are.
// A value too small to see next to a huge one still gets a pixel, alone or in a stack, and the
// stack still ends where its sum is.
TEST(BarLayout, EveryBarOfAValueOtherThanZeroKeepsAPixel) {
  for (MultiBar mode : {MultiBar::None, MultiBar::SideBySide, MultiBar::Stacked}) {
    ModelBuilder b;
    for (double value : {1e6, 1e-3, -1e-3, 1e6}) b.Add(SeriesKind::Bar, {value}).multiBar = mode;
    const ChartLayout layout = b.Layout(300, 200);
    ASSERT_EQ(layout.bars.size(), 4u) << int(mode);
    for (const BarBox& bar : layout.bars) EXPECT_GE(bar.front.height(), 1) << int(mode);
    if (mode == MultiBar::Stacked) {
      EXPECT_NEAR(Bar(layout, 3, 0).front.top(), ValueToY(layout, 2e6), 1);
    }
  }
}

// Bars thinner than a pixel are drawn once per pixel column, as the range of the series there.
TEST(BarLayout, BarsThinnerThanAPixelShowEachColumnsRange) {
  ModelBuilder b;
  std::vector<double> values(10000);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = i % 2 ? 100 : 10;
  b.Add(SeriesKind::Bar, values);
  const ChartLayout layout = b.Layout(400, 300);
  EXPECT_LE(layout.bars.size(), static_cast<std::size_t>(layout.plot.width() + 2));
  ASSERT_GT(layout.bars.size(), 100u);
  for (std::size_t i = 1; i + 1 < layout.bars.size(); ++i) {  // the end columns may hold one bar
    const QRectF& bar = layout.bars[i].front;
    EXPECT_NEAR(bar.top(), ValueToY(layout, 100), 1) << i;
    EXPECT_NEAR(bar.bottom(), ValueToY(layout, 0), 1) << i;
    EXPECT_EQ(bar.width(), 1);
  }
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
        const bool dense =
            std::any_of(layout.faces.begin(), layout.faces.end(),
                        [](auto& f) { return f.dense; }) ||
            std::any_of(layout.lines.begin(), layout.lines.end(), [](auto& l) { return l.dense; });
        EXPECT_EQ(dense, count > 400 && kind != SeriesKind::Pie)
            << int(kind) << (view3D ? " 3D " : " flat ") << count;
      }
    }
  }
}

TEST(BarLayout, TheFirstSeriesDecidesTheDirection) {
  for (SeriesKind first : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    b.Add(first, {3, 5});
    b.Add(first == SeriesKind::Bar ? SeriesKind::HorizBar : SeriesKind::Bar, {4, 6});
    const ChartLayout layout = b.Layout();
    for (int series : {0, 1}) {
      const QRectF bar = Bar(layout, series, 1).front;
      const bool horizontal = bar.width() > bar.height();
      EXPECT_EQ(horizontal, first == SeriesKind::HorizBar) << series;
    }
  }
}

// Bars that never pass zero end their axis at zero: no empty step above bars of no positive
// value, nor below bars of no negative one.
// Bars stand on zero, so the value axis reaches zero and past every bar, however small its share.
TEST(BarLayout, TheValueAxisReachesZeroAndPastEveryBar) {
  const double none = NAN;  // no end that must be zero; below, an empty value
  const struct {
    std::vector<std::vector<double>> bars;
    MultiBar mode;
    double min, max;  // none: that end is not zero
    std::vector<double> line = {};
  } cases[] = {
      {{{0, -5}}, MultiBar::None, none, 0},
      {{{-5, -3, 0}}, MultiBar::None, none, 0},
      {{{0, 5}}, MultiBar::None, 0, none},
      {{{3, 0, 7}}, MultiBar::None, 0, none},
      // A share too small for a double still gets room past zero.
      {{{-1e300}, {1e-300}}, MultiBar::Stacked100, none, none},
      {{{1e300}, {-1e-300}}, MultiBar::Stacked100, none, none},
      // Bars without a value still stand on zero beside a line far from it.
      {{{none, none}}, MultiBar::None, 0, none, {5, 10}},
  };
  for (const auto& c : cases) {
    ModelBuilder b;
    for (const auto& values : c.bars) b.Add(SeriesKind::Bar, values).multiBar = c.mode;
    if (!c.line.empty()) b.Add(SeriesKind::Line, c.line);
    const ChartLayout layout = b.Layout();
    SCOPED_TRACE(::testing::PrintToString(c.bars));
    if (!std::isnan(c.max)) {
      EXPECT_EQ(layout.valueMax, c.max);
    }
    if (!std::isnan(c.min)) {
      EXPECT_EQ(layout.valueMin, c.min);
    }
    bool positive = false, negative = false;
    for (const auto& values : c.bars) {
      for (double v : values) positive |= v > 0, negative |= v < 0;
    }
    if (positive) {
      EXPECT_GT(layout.valueMax, 0);
    }
    if (negative) {
      EXPECT_LT(layout.valueMin, 0);
    }
  }
}

// Bars thinner than a pixel are gathered into their pixel column, which names the point of the
// largest value there: the last of each column where the values rise, the first where they fall.
TEST(BarLayout, ABarColumnOfManyPointsNamesItsLargest) {
  constexpr int kCount = 20000;
  for (bool rising : {true, false}) {
    ModelBuilder b;
    SeriesModel& series = b.Add(SeriesKind::Bar, {});
    for (int i = 0; i < kCount; ++i) series.points.push_back({rising ? i + 1.0 : kCount - i + 0.0});
    const ChartLayout layout = b.Layout();
    int lowest = kCount, highest = -1;
    for (const BarBox& bar : layout.bars) {
      ASSERT_TRUE(bar.dense);
      lowest = std::min(lowest, bar.point), highest = std::max(highest, bar.point);
    }
    EXPECT_EQ(rising ? highest : lowest, rising ? kCount - 1 : 0) << rising;
  }
}

// Where the plot lacks room, the texts around it go in a fixed order: the axis titles first,
// then the category labels, the tick labels last. Over every size of a small chart, whatever is
// shown of that order, all that comes after it is shown too.
TEST(BarLayout, TextsAroundThePlotAreLeftOutInOrder) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {12000, 18500, 9100, 22400, 15000, 17250}).marksVisible = true;
  b.model.leftAxisTitle.caption = "Turnover of the regional offices in thousands";
  b.model.bottomAxisTitle.caption = "Months of the second half of the year";
  int sizes = 0, titlesOut = 0, ticksAlone = 0;
  for (int width = 100; width <= 500; width += 16) {
    for (int height = 80; height <= 400; height += 16) {
      const ChartLayout layout = b.Layout(width, height);
      if (layout.plot.isEmpty()) continue;
      ++sizes;
      std::map<TextRole, int> shown;
      for (const TextItem& item : layout.texts) ++shown[item.role];
      const bool titles = shown[TextRole::AxisTitle] > 0,
                 labels = shown[TextRole::CategoryLabel] > 0,
                 ticks = shown[TextRole::TickLabel] > 0;
      titlesOut += !titles;
      ticksAlone += ticks && !labels;
      EXPECT_TRUE((!titles || labels) && (!labels || ticks))
          << width << " x " << height << ": axis titles " << titles << ", category labels "
          << labels << ", tick labels " << ticks;
    }
  }
  EXPECT_GT(sizes, 300);
  EXPECT_GT(titlesOut, 0) << "some sizes are too small for the axis titles";
  EXPECT_GT(ticksAlone, 0) << "and some for all but the tick labels";
}

TEST(BarLayout, HorizontalBarsListCategoriesFromTopToBottom) {
  ModelBuilder b;
  b.Add(SeriesKind::HorizBar, {3, 8, -2});
  const ChartLayout layout = b.Layout();
  const QRectF first = Bar(layout, 0, 0).front, second = Bar(layout, 0, 1).front;
  EXPECT_LT(first.center().y(), second.center().y());
  EXPECT_GT(second.width(), first.width());
  EXPECT_LT(Bar(layout, 0, 2).front.left(), first.left()) << "negative bars grow to the left";
}

TEST(BarLayout, ThreeDimensionalModeZeroPutsEachSeriesInItsOwnRow) {
  ModelBuilder b;
  b.model.view3D = true;
  TwoBarSeries(b, 0);
  const ChartLayout layout = b.Layout();
  EXPECT_GT(layout.depthOffset.x(), 0);
  const QRectF front = Bar(layout, 0, 0).front, back = Bar(layout, 1, 0).front;
  EXPECT_GT(back.left(), front.left()) << "the second series sits one row further back";
  EXPECT_EQ(layout.bars.front().series, 1) << "the back row is painted first";
  ModelBuilder flat;
  TwoBarSeries(flat, 0);
  EXPECT_EQ(flat.Layout().faces.size(), 4u);
  EXPECT_EQ(layout.faces.size(), 12u) << "front, top and side per box";
}

TEST(PieLayout, SlicesStartAtTwelveClockwiseAndCloseTheCircle) {
  ModelBuilder b;
  b.Add(SeriesKind::Pie, {1, 0, 3, -4});
  const ChartLayout layout = b.Layout();
  ASSERT_EQ(layout.pies.size(), 1u);
  const auto& slices = layout.pies[0].slices;
  ASSERT_EQ(slices.size(), 3u) << "the zero slice vanishes";
  EXPECT_DOUBLE_EQ(slices[0].startDegrees, 90);
  EXPECT_DOUBLE_EQ(slices[0].sweepDegrees, -45);
  EXPECT_EQ(slices[1].point, 2);
  EXPECT_DOUBLE_EQ(slices[1].sweepDegrees, -135);
  EXPECT_DOUBLE_EQ(slices[2].sweepDegrees, -180) << "slices take absolute values";
  double sum = 0;
  for (const auto& slice : slices) sum += slice.sweepDegrees;
  EXPECT_DOUBLE_EQ(sum, -360);
}

TEST(PieLayout, EdgeCases) {
  const struct {
    std::vector<double> values;
    std::size_t pies, slices;
  } cases[] = {{{}, 0, 0},
               {{0, 0}, 1, 0},  // all zero: an empty disc
               {{5}, 1, 1},
               {{0, 7, 0}, 1, 1},
               {{0.1, 0.2, 0.3}, 1, 3}};
  for (const auto& c : cases) {
    ModelBuilder b;
    b.Add(SeriesKind::Pie, c.values);
    b.model.legendVisible = true;
    const ChartLayout layout = b.Layout();
    ASSERT_EQ(layout.pies.size(), c.pies);
    EXPECT_EQ(layout.legend.size(), c.values.size()) << "every slice is listed, zero ones too";
    if (c.pies == 0) continue;
    ASSERT_EQ(layout.pies[0].slices.size(), c.slices);
    EXPECT_FALSE(layout.faces.empty()) << "the disc is drawn";
    if (c.slices == 1) {
      EXPECT_DOUBLE_EQ(layout.pies[0].slices[0].sweepDegrees, -360);
    }
  }
}

// Slices thinner than a pixel of the rim are drawn together, one wedge for each pixel, named by
// the largest value among them (the first of equals): over generated pies of many small slices.
TEST(PieLayout, ThinSlicesMergeIntoWedgesNamedByTheirLargestPoint) {
  std::mt19937 random(20261209u);
  for (int round = 0; round < 20; ++round) {
    std::vector<double> values = {1e6};
    std::uniform_int_distribution<int> small(1, 60);
    for (int i = 0; i < 300; ++i) values.push_back(small(random));
    ModelBuilder b;
    b.Add(SeriesKind::Pie, values);
    const ChartLayout layout = b.Layout();
    ASSERT_EQ(layout.pies.size(), 1u);
    const std::vector<PieSlice>& slices = layout.pies[0].slices;
    ASSERT_LT(slices.size(), values.size()) << "thin slices are merged";
    double sum = 0, before = 0;
    for (double v : values) sum += v;
    EXPECT_NEAR(slices[0].sweepDegrees, -values[0] / sum * 360, 1e-6) << "the wide slice alone";
    EXPECT_GT(slices.size(), 2u) << "thin slices make wedges of their own once a pixel wide";
    std::vector<double> starts;  // where each point's slice begins, in degrees
    for (double v : values) starts.push_back(90 - before / sum * 360), before += v;
    for (const PieSlice& slice : slices) {
      int largest = -1;
      for (std::size_t i = 0; i < values.size(); ++i) {
        const bool inside = starts[i] <= slice.startDegrees + 1e-9 &&
                            starts[i] > slice.startDegrees + slice.sweepDegrees + 1e-9;
        if (inside && (largest < 0 || values[i] > values[std::size_t(largest)])) {
          largest = static_cast<int>(i);
        }
      }
      EXPECT_EQ(slice.point, largest) << "round " << round << ", wedge at " << slice.startDegrees;
    }
  }
}

// Each data label of a pie hangs on a leader: from a point of the rim within its own slice, by an
// elbow, to the middle of the label's near side.
TEST(PieLayout, EveryPieMarkHangsOnALeaderFromItsSlice) {
  for (bool view3D : {false, true}) {
    ModelBuilder b;
    b.Add(SeriesKind::Pie, {3, 5, 2, 7, 4, 1});
    b.model.view3D = view3D;
    const ChartLayout layout = b.Layout();
    const PieGeometry& pie = layout.pies.front();
    int marks = 0;
    for (const TextItem& item : layout.texts) {
      if (item.role != TextRole::DataLabel) continue;
      ++marks;
      const auto slice = std::find_if(pie.slices.begin(), pie.slices.end(),
                                      [&](const PieSlice& s) { return s.point == item.point; });
      ASSERT_NE(slice, pie.slices.end());
      const QRectF box = item.box.translated(item.origin);
      bool hangs = false;
      for (const Segment& first : layout.strokes) {
        // On the rim, or in 3D on the edge below its front half.
        const auto onRim = [&](double down) {
          const QPointF r = first.line.p1() - pie.center - QPointF(0, down);
          const double x = r.x() / pie.radiusX, y = -r.y() / pie.radiusY;
          double degrees = std::atan2(y, x) * 180 / std::numbers::pi;
          while (degrees > slice->startDegrees) degrees -= 360;
          return std::abs(std::hypot(x, y) - 1) < 0.02 &&
                 degrees >= slice->startDegrees + slice->sweepDegrees;
        };
        if (!onRim(0) && !onRim(pie.thickness)) continue;
        for (const Segment& second : layout.strokes) {
          const QPointF end = second.line.p2();
          hangs |= second.line.p1() == first.line.p2() &&
                   std::abs(end.y() - box.center().y()) < 1 &&
                   (std::abs(end.x() - box.left()) < 1 || std::abs(end.x() - box.right()) < 1);
        }
      }
      EXPECT_TRUE(hangs) << (view3D ? "3D" : "flat") << ": the mark of point " << item.point;
    }
    EXPECT_EQ(marks, 6);
  }
}

TEST(PieLayout, SeveralPiesSideBySideEachUnderItsTitle) {
  ModelBuilder b;
  b.Add(SeriesKind::Pie, {1, 2}).title = "First";
  b.Add(SeriesKind::Pie, {3, 4}).title = "Second";
  const ChartLayout layout = b.Layout();
  ASSERT_EQ(layout.pies.size(), 2u);
  EXPECT_LT(layout.pies[0].center.x(), layout.pies[1].center.x());
  for (const char* title : {"First", "Second"}) {
    const auto found = std::find_if(layout.texts.begin(), layout.texts.end(),
                                    [&](const TextItem& t) { return t.text == title; });
    ASSERT_NE(found, layout.texts.end()) << title;
  }
}

// The share of the chart's height that the discs (with their 3D edges) stand on.
double ShareOfHeightCovered(const ChartLayout& layout) {
  std::vector<std::pair<double, double>> spans;
  for (const PieGeometry& pie : layout.pies) {
    spans.emplace_back(pie.center.y() - pie.radiusY, pie.center.y() + pie.radiusY + pie.thickness);
  }
  std::sort(spans.begin(), spans.end());
  double covered = 0, reached = -1e9;
  for (const auto& [top, bottom] : spans) {
    covered += std::max(0.0, bottom - std::max(top, reached));
    reached = std::max(reached, bottom);
  }
  return covered / layout.size.height();
}

TEST(PieLayout, SeveralPiesUseTheHeightOfThePlotAndShowEveryMark) {
  const std::vector<std::string> regions = {"North", "South", "East", "West", "Central", "Online"};
  const std::vector<double> values = {420, 310, 275, 390, 150, 95};
  for (int count : {2, 3, 4, 6}) {
    for (bool view3D : {false, true}) {
      ModelBuilder b;
      b.model.view3D = view3D;
      b.model.title.lines = {"Customers by region"};
      for (int p = 0; p < count; ++p) {
        SeriesModel& pie = b.Add(SeriesKind::Pie, {});
        pie.title = std::to_string(2020 + p);
        for (std::size_t i = 0; i < values.size(); ++i)
          b.AddPoint(pie, values[i] + p * 10, regions[i], clAutomatic);
      }
      const ChartLayout layout = b.Layout(720, 450);
      ASSERT_EQ(layout.pies.size(), static_cast<std::size_t>(count));
      EXPECT_GT(ShareOfHeightCovered(layout), 0.33) << count << (view3D ? " in 3D" : " flat");
      for (const PieGeometry& pie : layout.pies) {
        EXPECT_EQ(pie.radiusX, layout.pies.front().radiusX) << "one size for all";
      }
      const auto marks = std::count_if(layout.texts.begin(), layout.texts.end(),
                                       [](const TextItem& t) { return t.framed; });
      EXPECT_EQ(marks, count * 6) << count << (view3D ? " in 3D" : " flat");
    }
  }
}

// A pie's mark too wide for its column keeps its value and shortens its label, or shows the value
// alone where no letter of the label fits: never a label without its value.
TEST(PieLayout, AMarkShortensItsLabelAndKeepsItsValue) {
  ModelBuilder b;
  SeriesModel& pie = b.Add(SeriesKind::Pie, {});
  for (int i = 1; i <= 5; ++i) {
    b.AddPoint(pie, 10 + i, "Revenue of the regional office number " + std::to_string(i),
               clAutomatic);
  }
  int shortened = 0;
  for (int width = 200; width <= 900; width += 50) {
    for (const TextItem& t : b.Layout(width, 400).texts) {
      if (!t.framed) continue;
      const std::string text = t.text.toStdString();
      const std::string value = text.substr(text.find_last_of(' ') + 1);
      EXPECT_TRUE(value.size() == 2 && std::stoi(value) > 10 && std::stoi(value) <= 15) << text;
      EXPECT_FALSE(text.starts_with(":")) << text;
      shortened += t.text.contains(QChar(0x2026)) && t.text.contains(": ");
    }
  }
  EXPECT_GT(shortened, 0) << "some marks show a shortened label with their value";
}

TEST(PieLayout, MarksOfThinSlicesAreLeftOutNotPiledUp) {
  ModelBuilder b;
  std::vector<double> values(60, 0.01);
  values.push_back(100);
  b.Add(SeriesKind::Pie, values);
  const ChartLayout layout = b.Layout(585, 401);
  std::vector<QRectF> marks;
  for (const TextItem& t : layout.texts) {
    if (t.framed) marks.push_back(t.box.translated(t.origin));
  }
  EXPECT_GT(marks.size(), 1u);
  EXPECT_LT(marks.size(), values.size());
  for (std::size_t i = 0; i < marks.size(); ++i) {
    for (std::size_t k = i + 1; k < marks.size(); ++k) EXPECT_FALSE(marks[i].intersects(marks[k]));
  }
}

TEST(CategoryLabels, TurnedThenThinnedNeverOverlapping) {
  const struct {
    int count;
    std::string label;
    bool turned, thinned;
  } cases[] = {{5, "Jan", false, false},
               {20, "A label of thirty characters..", true, false},
               {50, "Category", true, true},
               {1000, "Category", true, true}};
  for (const auto& c : cases) {
    ModelBuilder b;
    SeriesModel& series = b.Add(SeriesKind::Bar, {});
    for (int i = 0; i < c.count; ++i) b.AddPoint(series, i, c.label, clAutomatic);
    const ChartLayout layout = b.Layout(585, 401);
    EXPECT_EQ(layout.categoryLabelAngle > 0, c.turned) << c.count;
    EXPECT_EQ(layout.shownCategories.size() < static_cast<std::size_t>(c.count), c.thinned);
    // Neighbouring labels, turned by the angle, stay a text height apart.
    const double slot = layout.plot.width() / c.count;
    const double step = layout.shownCategories.size() > 1
                            ? layout.shownCategories[1] - layout.shownCategories[0]
                            : c.count;
    const double apart = layout.categoryLabelAngle == 0
                             ? step * slot
                             : step * slot * std::sin(layout.categoryLabelAngle * M_PI / 180);
    EXPECT_GE(apart, QFontMetricsF(layout.fonts[FontRole::Tick]).height()) << c.count;
  }
}

TEST(Frame, MarginsArePercentOfTheChart) {
  DocumentBuilder plain;
  plain.Add(SeriesKind::Bar, {1, 2, 3});
  DocumentBuilder margins;
  margins.Add(SeriesKind::Bar, {1, 2, 3});
  margins.document.SetMargin(0, 10);
  margins.document.SetMargin(3, 20);
  margins.document.SetMargin(9, 50);  // ignored
  const ChartLayout a = plain.Layout(1000, 500), b = margins.Layout(1000, 500);
  EXPECT_NEAR(b.plot.left() - a.plot.left(), 100, 1);
  EXPECT_NEAR(a.plot.bottom() - b.plot.bottom(), 100, 1);
}

// Of either bar chart, a wide first tick label included, no text reaches into the margins that
// the host asks for, nor into the chart's own padding inside them.
TEST(Frame, NoTextReachesIntoTheMargins) {
  for (SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    DocumentBuilder b;
    ChartSeries series = b.document.AddSeries(kind);
    for (double value : {-123456.0, 5.0, 300.0}) series.Add(value, "", clAutomatic);
    for (int side = 0; side < 4; ++side) b.document.SetMargin(side, 10);
    const ChartLayout layout = b.Layout(600, 400);
    const QRectF inside = QRectF(60, 40, 480, 320).adjusted(6, 6, -6, -6);  // and the padding
    for (const TextItem& item : layout.texts) {
      ASSERT_EQ(item.angle, 0) << item.text.toStdString();
      EXPECT_TRUE(inside.contains(item.box.translated(item.origin))) << item.text.toStdString();
    }
  }
}

TEST(Frame, EmptyTitleLinesCostAtMostASmallGap) {
  ModelBuilder none;
  none.Add(SeriesKind::Bar, {1, 2});
  ModelBuilder blank;
  blank.Add(SeriesKind::Bar, {1, 2});
  blank.model.title.lines.push_back("");
  EXPECT_EQ(none.Layout().plot, blank.Layout().plot);
  blank.model.title.lines.push_back("Sales");
  const ChartLayout layout = blank.Layout();
  const double lineHeight = QFontMetricsF(layout.fonts[FontRole::Title]).height();
  ASSERT_FALSE(layout.texts.empty());
  const auto title = std::find_if(layout.texts.begin(), layout.texts.end(),
                                  [](const TextItem& t) { return t.text == "Sales"; });
  ASSERT_NE(title, layout.texts.end());
  EXPECT_LT(title->origin.y(), 6 + lineHeight / 2);
  // Between two lines, a blank one parts them by a quarter of a line.
  auto yearAt = [](const std::vector<std::string>& lines) {
    ModelBuilder b;
    b.Add(SeriesKind::Bar, {1, 2});
    b.model.title.lines = lines;
    const ChartLayout layout = b.Layout();
    return std::find_if(layout.texts.begin(), layout.texts.end(),
                        [](const TextItem& t) { return t.text == "2026"; })
        ->origin.y();
  };
  EXPECT_NEAR(yearAt({"Sales", "", "2026"}) - yearAt({"Sales", "2026"}), lineHeight / 4, 1);
}

TEST(Frame, EachTitleDrawsInItsOwnFontStyle) {
  ModelBuilder builder;
  builder.Add(SeriesKind::Bar, {1, 2});
  builder.model.title = {{"Sales"}, {false, true}};
  builder.model.leftAxisTitle = {"Units", {true, false}};
  builder.model.bottomAxisTitle = {"Month", {false, true}};
  const ChartLayout layout = builder.Layout();
  const auto fontOf = [&](const QString& text) {
    const auto item = std::find_if(layout.texts.begin(), layout.texts.end(),
                                   [&](const TextItem& t) { return t.text == text; });
    EXPECT_NE(item, layout.texts.end()) << text.toStdString();
    return item == layout.texts.end() ? QFont() : layout.fonts[item->font];
  };
  EXPECT_FALSE(fontOf("Sales").bold());
  EXPECT_TRUE(fontOf("Sales").italic());
  EXPECT_TRUE(fontOf("Units").bold());
  EXPECT_FALSE(fontOf("Units").italic());
  EXPECT_FALSE(fontOf("Month").bold());
  EXPECT_TRUE(fontOf("Month").italic());
}

// Every value tick has its short mark just outside the plot, on the value axis: left of the
// plot of vertical bars, below the plot of horizontal ones.
TEST(Frame, EveryValueTickHasItsMarkOnTheAxis) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    b.Add(kind, {10, 25, 40});
    const ChartLayout layout = b.Layout(640, 480);
    const QRectF& p = layout.plot;
    ASSERT_GE(layout.valueTicks.size(), 3u);
    for (const double v : layout.valueTicks) {
      const double share = (v - layout.valueMin) / (layout.valueMax - layout.valueMin);
      const bool across = kind == SeriesKind::HorizBar;
      const QPointF onAxis = across ? QPointF(p.left() + share * p.width(), p.bottom())
                                    : QPointF(p.left(), p.bottom() - share * p.height());
      const bool marked = std::any_of(layout.strokes.begin(), layout.strokes.end(), [&](auto& s) {
        const double first = QLineF(s.line.p1(), onAxis).length();
        const double second = QLineF(s.line.p2(), onAxis).length();
        const QPointF outer = first < second ? s.line.p2() : s.line.p1();
        return std::min(first, second) < 0.5 &&
               (across ? outer.y() > p.bottom() : outer.x() < p.left());
      });
      EXPECT_TRUE(marked) << (across ? "horizontal" : "vertical") << " bars, tick " << v;
    }
  }
}

TEST(Legend, ListsSeriesOrSlicesWithTheirColours) {
  ModelBuilder bars;
  bars.model.legendVisible = true;
  bars.Add(SeriesKind::Bar, {1}).title = "Sales";
  bars.Add(SeriesKind::Bar, {2});
  const ChartLayout a = bars.Layout();
  ASSERT_EQ(a.legend.size(), 2u);
  EXPECT_EQ(a.legend[0].text.text, "Sales");
  EXPECT_EQ(a.legend[1].text.text, "Series2");
  EXPECT_EQ(a.legend[1].color, ToQColor(PaletteColor(1)));
  EXPECT_FALSE(a.plot.intersects(a.legendFrame));

  ModelBuilder pie;
  pie.model.legendVisible = true;
  SeriesModel& series = pie.Add(SeriesKind::Pie, {});
  pie.AddPoint(series, 4, "North", clAutomatic);
  pie.AddPoint(series, 6, "South", 0x00FF00);
  const ChartLayout b = pie.Layout();
  ASSERT_EQ(b.legend.size(), 2u);
  EXPECT_EQ(b.legend[0].text.text, "North");
  EXPECT_EQ(b.legend[1].color, QColor(0, 255, 0));
}

// An entry shows its series as drawn: in the colour its points are drawn in (the one most of them
// take where they differ, of equals the first), a stretch of line for a line series and a filled
// square for bars; the drawn image shows the same.
TEST(Legend, ShowsEachSeriesAsItIsDrawn) {
  constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kAuto = clAutomatic;
  const double nan = std::nan("");
  struct Case {
    const char* what;
    SeriesKind kind;
    TColor series;
    std::vector<std::pair<double, TColor>> points;
    QColor expected;
  };
  const Case cases[] = {
      {"every point red from the table",
       SeriesKind::Bar,
       kAuto,
       {{3, kRed}, {4, kRed}},
       QColor(Qt::red)},
      {"points of the table over the series colour",
       SeriesKind::Bar,
       kGreen,
       {{3, kBlue}, {4, kBlue}},
       QColor(Qt::blue)},
      {"the series colour",
       SeriesKind::HorizBar,
       kGreen,
       {{3, kAuto}, {4, kAuto}},
       QColor(Qt::green)},
      {"the palette's", SeriesKind::Bar, kAuto, {{3, kAuto}}, ToQColor(PaletteColor(0))},
      {"most points blue",
       SeriesKind::Bar,
       kAuto,
       {{3, kRed}, {4, kBlue}, {5, kBlue}},
       QColor(Qt::blue)},
      {"as many of each: the first",
       SeriesKind::Bar,
       kAuto,
       {{3, kBlue}, {4, kRed}},
       QColor(Qt::blue)},
      {"a point without a value is not drawn",
       SeriesKind::Bar,
       kAuto,
       {{nan, kRed}, {4, kBlue}},
       QColor(Qt::blue)},
      {"a line of the palette's",
       SeriesKind::Line,
       kAuto,
       {{3, kAuto}, {4, kAuto}},
       ToQColor(PaletteColor(0))},
      {"a line of blue points",
       SeriesKind::Line,
       kGreen,
       {{3, kBlue}, {4, kBlue}},
       QColor(Qt::blue)},
  };
  for (const Case& c : cases) {
    ModelBuilder b;
    b.model.legendVisible = true;
    SeriesModel& series = b.Add(c.kind, {}, c.series);
    series.color = c.series;
    for (const auto& [value, colour] : c.points) b.AddPoint(series, value, "", colour);
    const ChartLayout layout = b.Layout(640, 400);
    ASSERT_EQ(layout.legend.size(), 1u) << c.what;
    const LegendItem& entry = layout.legend.front();
    EXPECT_EQ(entry.color, c.expected) << c.what;
    const bool line = c.kind == SeriesKind::Line;
    EXPECT_EQ(entry.sample, line ? LegendSample::Line : LegendSample::Square) << c.what;
    // A square fills its swatch to the corner; a line crosses its middle only.
    const QImage image = b.Render(640, 400);
    const QPoint middle = entry.swatch.center().toPoint();
    bool drawn = false;
    for (int dy = -1; dy <= 1; ++dy)
      drawn |= image.pixelColor(middle + QPoint(0, dy)) == c.expected;
    EXPECT_TRUE(drawn) << c.what;
    const QPoint corner = (entry.swatch.topLeft() + QPointF(2, 2)).toPoint();
    EXPECT_EQ(image.pixelColor(corner), line ? QColor(Qt::white) : c.expected) << c.what;
  }
}

// A pie of many slices: entries in their order, texts that stay apart where there is room for a
// few letters, and where the chart has no room for them all a last line that counts the rest.
TEST(Legend, APieOfManySlicesListsThemInOrderAndCountsTheRest) {
  ModelBuilder pie;
  pie.model.legendVisible = true;
  SeriesModel& series = pie.Add(SeriesKind::Pie, {});
  for (int i = 0; i < 60; ++i) {
    pie.AddPoint(series, 60 - i, "Product line number " + std::to_string(i + 1), clAutomatic);
  }
  for (QSizeF size : {QSizeF(720, 450), QSizeF(300, 200)}) {
    const ChartLayout layout = pie.Layout(size.width(), size.height());
    ASSERT_FALSE(layout.legend.empty());
    std::set<QString> texts;
    for (std::size_t i = 0; i < layout.legend.size(); ++i) {
      const LegendItem& item = layout.legend[i];
      if (item.entry < 0) {
        EXPECT_EQ(i + 1, layout.legend.size()) << "the count comes last";
        EXPECT_TRUE(item.text.text.contains(QString::number(60 - static_cast<int>(i))));
        continue;
      }
      EXPECT_EQ(item.entry, static_cast<int>(i));
      EXPECT_FALSE(item.text.text.isEmpty());
      texts.insert(item.text.text);
    }
    if (size.width() > 600) {
      EXPECT_EQ(texts.size(), layout.legend.size()) << "every entry says which slice it is";
    }
  }
  EXPECT_EQ(pie.Layout(720, 450).legend.size(), 60u) << "a large chart lists them all";
}

TEST(Defaults, PaletteAndMarksByKind) {
  DocumentBuilder b;
  ChartSeries bar = b.Add(SeriesKind::Bar, {1});
  ChartSeries line = b.Add(SeriesKind::Line, {1});
  ChartSeries pie = b.Add(SeriesKind::Pie, {1, 2, 3});
  EXPECT_EQ(bar.SeriesColor(), PaletteColor(0));
  EXPECT_EQ(line.SeriesColor(), PaletteColor(1));
  EXPECT_TRUE(IsAutomaticColor(pie.SeriesColor()));
  EXPECT_TRUE(bar.MarksVisible());
  EXPECT_FALSE(line.MarksVisible());
  EXPECT_TRUE(pie.MarksVisible());
  EXPECT_NE(ResolvePointColor(pie.Data(), 0), ResolvePointColor(pie.Data(), 1));
  EXPECT_EQ(ResolvePointColor(pie.Data(), 2), PaletteColor(2));
  pie.SetSeriesColor(0x0000FF);
  EXPECT_EQ(ResolvePointColor(pie.Data(), 1), 0x0000FFu)
      << "automatic points take the series colour";
}

// Thirty series stand apart by colour, and no two neighbouring slices of a pie share one, the
// last and the first included, with slices of zero (which are not drawn) between any of them.
TEST(Defaults, NeighbouringSlicesAndThirtySeriesNeverShareAnAutomaticColour) {
  std::set<TColor> thirty;
  for (int i = 0; i < 30; ++i) thirty.insert(PaletteColor(i));
  EXPECT_EQ(thirty.size(), 30u);
  for (int count = 2; count <= 61; ++count) {
    for (int zeroEvery : {0, 2, 9}) {
      SeriesModel pie;
      pie.kind = SeriesKind::Pie;
      for (int i = 0; i < count; ++i)
        pie.points.push_back({zeroEvery > 0 && i % zeroEvery == 1 ? 0.0 : 1.0, clAutomatic});
      const std::vector<TColor> colors = PointColors(pie);
      std::vector<TColor> drawn;
      for (int i = 0; i < count; ++i) {
        if (pie.points[i].value != 0) drawn.push_back(colors[i]);
      }
      for (std::size_t k = 0; k < drawn.size() && drawn.size() > 1; ++k) {
        EXPECT_NE(drawn[k], drawn[(k + 1) % drawn.size()])
            << count << " slices, zero every " << zeroEvery << ", slice " << k;
      }
    }
  }
  // Colours that the tables give stay as given, also where neighbours share them: the slices'
  // own, and the series' colour that its slices without one take.
  constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000;  // 0x00BBGGRR
  SeriesModel given;
  given.kind = SeriesKind::Pie;
  given.points = {{1, kRed}, {2, kRed}, {3, clAutomatic}, {4, clAutomatic}};
  EXPECT_EQ(PointColors(given),
            std::vector<TColor>({kRed, kRed, PaletteColor(2), PaletteColor(3)}));
  given.color = kBlue;
  EXPECT_EQ(PointColors(given), std::vector<TColor>({kRed, kRed, kBlue, kBlue}));
}

TEST(LineLayout, MillionPointsCostFollowsThePixelWidth) {
  ModelBuilder b;
  SeriesModel& line = b.Add(SeriesKind::Line, {});
  line.points.reserve(1000000);
  for (int i = 0; i < 1000000; ++i)
    line.points.push_back({std::sin(i * 0.001) * 100 + (i == 777777 ? 500 : 0), clAutomatic});
  const ChartLayout layout = b.Layout(1920, 1080);
  std::size_t points = 0;
  double top = 1e9;
  for (const Polyline& p : layout.lines) {
    points += p.points.size();
    for (const QPointF& q : p.points) top = std::min(top, q.y());
  }
  EXPECT_LE(points, static_cast<std::size_t>(4 * layout.plot.width() + 8));
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
      b.Add(SeriesKind::Line, values).marksVisible = true;
      const ChartLayout layout = b.Layout(width, 300);
      int labels = 0;
      for (const TextItem& item : layout.texts) {
        if (item.role != TextRole::DataLabel) continue;
        ++labels;
        const QPolygonF corners = TextCorners(layout, item);
        for (const LinePointSpot& spot : layout.linePoints) {
          EXPECT_TRUE(spot.point == item.point || !corners.containsPoint(spot.at, Qt::OddEvenFill))
              << width << " wide, step " << step << ": the label of point " << item.point
              << " on point " << spot.point;
        }
      }
      EXPECT_GT(labels, 0) << width << " wide, step " << step;
    }
  }
}

// Whether a label's box lies wholly past the end of a bar's front, positive or negative.
bool PastTheEnd(const QRectF& label, const QRectF& front, bool horizontal, bool negative) {
  if (horizontal) return negative ? label.right() <= front.left() : label.left() >= front.right();
  return negative ? label.top() >= front.bottom() : label.bottom() <= front.top();
}

// Where the chart has the room, the frame keeps room past the bars' ends for their labels, so
// that the label of a bar that reaches the end of the value axis stands past it too, as every
// other bar's does, not inside it.
TEST(BarLayout, TheFrameKeepsRoomPastTheLongestBarForItsLabel) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    for (const QSize size : {QSize(400, 300), QSize(800, 600)}) {
      ModelBuilder b;
      b.Add(kind, {10, 20, 30, 40, 50}).marksVisible = true;
      b.model.view3D = false;
      const ChartLayout layout = b.Layout(size.width(), size.height());
      ASSERT_EQ(layout.bars.size(), 5u);
      for (const BarBox& bar : layout.bars) {
        const TextItem* label = DataLabelOf(layout, bar.series, bar.point);
        ASSERT_NE(label, nullptr) << "no label for bar " << bar.point;
        const QRectF box =
            TextCorners(layout, *label).boundingRect().adjusted(0.5, 0.5, -0.5, -0.5);
        EXPECT_TRUE(PastTheEnd(box, bar.front, kind == SeriesKind::HorizBar, false))
            << Traits(kind).name << " at " << size.width() << "x" << size.height()
            << ": the label of bar " << bar.point << " is not past its end";
      }
    }
  }
}

// A segment of a stack too thin to hold its label has it past the stack's end where it is the
// outermost, on either side of zero.
TEST(BarLayout, TheOutermostSegmentOfAStackHasItsLabelPastTheEnd) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    b.Add(kind, {1000, -1000}).multiBar = MultiBar::Stacked;
    SeriesModel& thin = b.Add(kind, {3, -3});
    thin.multiBar = MultiBar::Stacked;
    thin.marksVisible = true;
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(500, 400);
    int thinBars = 0;
    for (const BarBox& bar : layout.bars) {
      if (bar.series != 1) continue;
      ++thinBars;
      const TextItem* label = DataLabelOf(layout, 1, bar.point);
      ASSERT_NE(label, nullptr) << Traits(kind).name << ": point " << bar.point;
      EXPECT_TRUE(PastTheEnd(TextCorners(layout, *label).boundingRect(), bar.front,
                             kind == SeriesKind::HorizBar, bar.point == 1))
          << Traits(kind).name << ": point " << bar.point;
    }
    EXPECT_EQ(thinBars, 2) << Traits(kind).name;
  }
}

// Only the series whose marks are shown have data labels, side by side or stacked.
TEST(BarLayout, OnlySeriesWithMarksShownHaveDataLabels) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    for (const MultiBar multiBar : {MultiBar::SideBySide, MultiBar::Stacked}) {
      ModelBuilder b;
      b.Add(kind, {40, 50, 60}).marksVisible = false;
      b.Add(kind, {30, 20, 10}).marksVisible = true;
      for (SeriesModel& series : b.model.series) series.multiBar = multiBar;
      const ChartLayout layout = b.Layout(600, 400);
      for (int point = 0; point < 3; ++point) {
        EXPECT_EQ(DataLabelOf(layout, 0, point), nullptr) << Traits(kind).name << " " << point;
        EXPECT_NE(DataLabelOf(layout, 1, point), nullptr) << Traits(kind).name << " " << point;
      }
    }
  }
}

// Labels that are never drawn take no room: bars whose values are all missing lay out as they do
// without labels. A zero is read like any value: a mark on the zero line and its label.
TEST(BarLayout, LabelsOfNoValueTakeNoRoomAndZerosAreRead) {
  const double nan = std::nan("");
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    b.Add(kind, {4, 5, 6}).marksVisible = false;
    b.Add(kind, {nan, nan, nan}).marksVisible = false;
    const ChartLayout without = b.Layout(400, 300);
    b.model.series[1].marksVisible = true;
    EXPECT_EQ(b.Layout(400, 300).plot, without.plot) << Traits(kind).name;
    b.model.series[1].points[1].value = 0;
    for (SeriesModel& series : b.model.series) series.multiBar = MultiBar::SideBySide;
    const ChartLayout zero = b.Layout(400, 300);
    const TextItem* label = DataLabelOf(zero, 1, 1);
    ASSERT_NE(label, nullptr) << Traits(kind).name;
    EXPECT_EQ(label->text, "0");
    EXPECT_TRUE(std::any_of(zero.bars.begin(), zero.bars.end(), [](const BarBox& bar) {
      return bar.series == 1 && bar.point == 1;
    })) << Traits(kind).name;
  }
}

// A budget against its actuals and their variance: the losses and the month without change are
// labelled as the gains are, vertical and horizontal, flat and 3D, at a window's size and larger.
TEST(BarLayout, BarsBelowZeroAndZerosHaveTheirLabelsAsBarsAboveZeroDo) {
  const std::vector<double> budget = {45000, 20000, 38000, 12000, 9000, 15000};
  const std::vector<double> actual = {49120.4, 14940.45, 27939.77, 12000, 9850.1, 17210};
  std::vector<double> variance;
  for (std::size_t i = 0; i < budget.size(); ++i) variance.push_back(actual[i] - budget[i]);
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    for (const bool deep : {false, true}) {
      for (const QSizeF size : {QSizeF(640, 400), QSizeF(1200, 700)}) {
        ModelBuilder b;
        for (const std::vector<double>& values : {budget, actual, variance})
          b.Add(kind, values).multiBar = MultiBar::SideBySide;
        b.model.view3D = deep;
        const ChartLayout layout = b.Layout(size.width(), size.height());
        for (int s = 0; s < 3; ++s) {
          for (int point = 0; point < 6; ++point) {
            EXPECT_NE(DataLabelOf(layout, s, point), nullptr)
                << Traits(kind).name << (deep ? " 3D " : " flat ") << size.width() << ": series "
                << s << ", point " << point;
          }
        }
      }
    }
  }
}

// Labels wider than their bars: the bars of several series side by side read them upward, all of
// them, where the plot has the room; a single series lets them lie across its whole slot.
TEST(BarLayout, LabelsWiderThanBarsReadUpwardWhereTheyMeetTheNextBar) {
  const struct { int series, width, angle; } cases[] = {{3, 1200, 90}, {1, 900, 0}};
  for (const auto& c : cases) {
    ModelBuilder b;
    for (int s = 0; s < c.series; ++s) {
      std::vector<double> values;
      for (int month = 1; month <= 12; ++month) values.push_back(30000 + month * 3217 + s + 0.25);
      b.Add(SeriesKind::Bar, values).marksVisible = true;
    }
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(c.width, 700);
    int labels = 0;
    for (const TextItem& t : layout.texts) {
      if (t.role != TextRole::DataLabel) continue;
      ++labels;
      EXPECT_EQ(t.angle, c.angle) << c.series << " series";
      EXPECT_GT(t.box.width(), layout.bars.front().front.width()) << c.series << " series";
    }
    EXPECT_EQ(labels, 12 * c.series);
  }
}

// Overlapping bars (the later series in front) whose labels compete for the room past their ends:
// the bar in front takes it, in the mark's font.
TEST(BarLayout, TheBarInFrontHasItsLabelPastItsEnd) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    for (int s = 0; s < 2; ++s)
      b.Add(kind, {1000, 2000, 1500, 1200, 1800, 1100}).marksVisible = true;
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(600, 400);
    for (const BarBox& bar : layout.bars) {
      if (bar.series != 1) continue;
      const TextItem* label = DataLabelOf(layout, 1, bar.point);
      ASSERT_NE(label, nullptr) << Traits(kind).name << ": point " << bar.point;
      EXPECT_TRUE(PastTheEnd(TextCorners(layout, *label).boundingRect(), bar.front,
                             kind == SeriesKind::HorizBar, false))
          << Traits(kind).name << ": point " << bar.point;
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
      return layout.plot.left() + layout.plot.width() * (i + 0.5) / c.points;
    };
    const double gapFrom = centre(start - 1), gapTo = centre(start + c.gapLength);
    const auto inGap = [&](const QPointF& p) {
      return p.x() > gapFrom + 0.5 && p.x() < gapTo - 0.5;
    };
    ASSERT_GE(layout.lines.size(), 2u) << c.points << " " << c.gapLength;
    for (const Polyline& piece : layout.lines) {
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
  for (const auto* faces : {&layout.walls, &layout.faces}) {
    for (const Face& f : *faces) {
      for (const QPointF& p : f.polygon)
        if (!finite(p)) return false;
    }
  }
  for (const Polyline& l : layout.lines) {
    for (const QPointF& p : l.points)
      if (!finite(p)) return false;
  }
  for (const TextItem& t : layout.texts)
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
        if (kind == 0) b.Add(SeriesKind::Bar, values).multiBar = MultiBar::Stacked;
        if (kind == 1) b.Add(SeriesKind::HorizBar, values).multiBar = MultiBar::Stacked100;
        if (kind == 2) b.Add(SeriesKind::Line, values).marksVisible = true;
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
  EXPECT_TRUE(none.Layout().faces.empty());
}

// Only the title lines that can show are laid out, however many there are.
TEST(HardData, AMillionTitleLinesLayOutOnlyThoseThatShow) {
  for (const char* line : {"Sales", " "}) {
    ModelBuilder b;
    b.model.title.lines.assign(1'000'000, line);
    b.Add(SeriesKind::Bar, {1, 2});
    const ChartLayout layout = b.Layout(400, 300);
    std::size_t titles = 0;
    for (const TextItem& text : layout.texts) {
      if (text.font != FontRole::Title) continue;
      ++titles;
      EXPECT_LT(text.origin.y(), 300);
    }
    EXPECT_LE(titles, 300 / QFontMetricsF(layout.fonts[FontRole::Title]).height() + 1) << line;
  }
}

TEST(HardData, TenSeriesOfAThousandCategories) {
  ModelBuilder b;
  b.model.view3D = true;
  for (int s = 0; s < 10; ++s) {
    std::vector<double> values(1000);
    for (int i = 0; i < 1000; ++i) values[i] = (i * 7 + s * 13) % 101 - 30;
    b.Add(SeriesKind::Bar, values).multiBar = MultiBar::SideBySide;
  }
  const ChartLayout layout = b.Layout(585, 401);
  EXPECT_LE(layout.bars.size(), static_cast<std::size_t>(10 * (layout.plot.width() + 2)))
      << "bars thinner than a pixel are drawn once per pixel column";
  EXPECT_TRUE(AllFinite(layout));
}

}  // namespace
