// Bars: where each series stands in every multi-bar mode, the value axis they stand on, and
// where their data labels go.

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

const BarBox& Bar(const ChartLayout& layout, int series, int point) {
  for (const BarBox& bar : layout.geometry.bars) {
    if (bar.series == series && bar.point == point) return bar;
  }
  throw std::runtime_error("no such bar");
}

// Two series over two categories: {10, -5} and {20, 5}.
ChartLayout TwoBarSeries(ModelBuilder& b, int mode) {
  b.Add(SeriesKind::Bar, {10, -5}).barGrouping =
      BarGroupingFromNumber(static_cast<std::uint8_t>(mode));
  b.Add(SeriesKind::Bar, {20, 5}).barGrouping =
      BarGroupingFromNumber(static_cast<std::uint8_t>(mode));
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
  ASSERT_EQ(layout.geometry.bars.size(), 4u);
  EXPECT_EQ(layout.geometry.bars.back().series, 1);
}

TEST(BarLayout, SideBySideShiftsEachSeriesByItsWidth) {
  ModelBuilder b;
  const ChartLayout layout = TwoBarSeries(b, 1);
  const double slot = layout.geometry.plot.width() / 2;
  const double center = layout.geometry.plot.left() + slot / 2;
  const QRectF a = Bar(layout, 0, 0).front, c = Bar(layout, 1, 0).front;
  EXPECT_NEAR(a.width(), slot * 0.7 / 2, 1);
  EXPECT_NEAR(a.right(), c.left(), 1);
  EXPECT_NEAR((a.left() + c.right()) / 2, center, 1);
}

TEST(BarLayout, StackedKeepsPositiveAndNegativeSumsApart) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10, -5, 4}).barGrouping = BarGrouping::Stacked;
  b.Add(SeriesKind::Bar, {20, 5, -6}).barGrouping = BarGrouping::Stacked;
  b.Add(SeriesKind::Bar, {-3, -2, 1}).barGrouping = BarGrouping::Stacked;
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
  b.Add(SeriesKind::Bar, {10, 1}).barGrouping = BarGrouping::Stacked100;
  b.Add(SeriesKind::Bar, {30, 3}).barGrouping = BarGrouping::Stacked100;
  const ChartLayout layout = b.Layout();
  EXPECT_EQ(layout.geometry.valueTicks.back(), 100);
  for (int point : {0, 1}) {
    EXPECT_NEAR(Bar(layout, 0, point).front.top(), ValueToY(layout, 25), 1);
    EXPECT_NEAR(Bar(layout, 1, point).front.top(), ValueToY(layout, 100), 1);
  }
  ModelBuilder inexact;  // shares that do not add up to 100 exactly in doubles
  inexact.Add(SeriesKind::Bar, {14, 20.3, 24.2}).barGrouping = BarGrouping::Stacked100;
  inexact.Add(SeriesKind::Bar, {9.4, 16.4, 15.9}).barGrouping = BarGrouping::Stacked100;
  inexact.Add(SeriesKind::Bar, {2.5, 8.8, 7.2}).barGrouping = BarGrouping::Stacked100;
  EXPECT_EQ(inexact.Layout().geometry.valueTicks.back(), 100);

  // A negative value counts by its size: shares of 10, -10 and 20 are 25 %, -25 % and 50 %.
  ModelBuilder negative;
  for (double value : {10.0, -10.0, 20.0}) {
    negative.Add(SeriesKind::Bar, {value}).barGrouping = BarGrouping::Stacked100;
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

// A value too small to see next to a huge one still gets a pixel, alone or in a stack, and the
// stack still ends where its sum is.
TEST(BarLayout, EveryBarOfAValueOtherThanZeroKeepsAPixel) {
  for (BarGrouping mode : {BarGrouping::None, BarGrouping::SideBySide, BarGrouping::Stacked}) {
    ModelBuilder b;
    for (double value : {1e6, 1e-3, -1e-3, 1e6}) b.Add(SeriesKind::Bar, {value}).barGrouping = mode;
    const ChartLayout layout = b.Layout(300, 200);
    ASSERT_EQ(layout.geometry.bars.size(), 4u) << int(mode);
    for (const BarBox& bar : layout.geometry.bars) EXPECT_GE(bar.front.height(), 1) << int(mode);
    if (mode == BarGrouping::Stacked) {
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
  EXPECT_LE(layout.geometry.bars.size(),
            static_cast<std::size_t>(layout.geometry.plot.width() + 2));
  ASSERT_GT(layout.geometry.bars.size(), 100u);
  for (std::size_t i = 1; i + 1 < layout.geometry.bars.size();
       ++i) {  // the end columns may hold one bar
    const QRectF& bar = layout.geometry.bars[i].front;
    EXPECT_NEAR(bar.top(), ValueToY(layout, 100), 1) << i;
    EXPECT_NEAR(bar.bottom(), ValueToY(layout, 0), 1) << i;
    EXPECT_EQ(bar.width(), 1);
  }
}

// The first series decides the direction of all bars, whatever the others are.
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
    BarGrouping mode;
    double min, max;  // none: that end is not zero
    std::vector<double> line = {};
  } cases[] = {
      {{{0, -5}}, BarGrouping::None, none, 0},
      {{{-5, -3, 0}}, BarGrouping::None, none, 0},
      {{{0, 5}}, BarGrouping::None, 0, none},
      {{{3, 0, 7}}, BarGrouping::None, 0, none},
      // A share too small for a double still gets room past zero.
      {{{-1e300}, {1e-300}}, BarGrouping::Stacked100, none, none},
      {{{1e300}, {-1e-300}}, BarGrouping::Stacked100, none, none},
      // Bars without a value still stand on zero beside a line far from it.
      {{{none, none}}, BarGrouping::None, 0, none, {5, 10}},
  };
  for (const auto& c : cases) {
    ModelBuilder b;
    for (const auto& values : c.bars) b.Add(SeriesKind::Bar, values).barGrouping = c.mode;
    if (!c.line.empty()) b.Add(SeriesKind::Line, c.line);
    const ChartLayout layout = b.Layout();
    SCOPED_TRACE(::testing::PrintToString(c.bars));
    if (!std::isnan(c.max)) {
      EXPECT_EQ(layout.geometry.valueMax, c.max);
    }
    if (!std::isnan(c.min)) {
      EXPECT_EQ(layout.geometry.valueMin, c.min);
    }
    bool positive = false, negative = false;
    for (const auto& values : c.bars) {
      for (double v : values) positive |= v > 0, negative |= v < 0;
    }
    if (positive) {
      EXPECT_GT(layout.geometry.valueMax, 0);
    }
    if (negative) {
      EXPECT_LT(layout.geometry.valueMin, 0);
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
    for (const BarBox& bar : layout.geometry.bars) {
      ASSERT_TRUE(bar.dense);
      lowest = std::min(lowest, bar.point), highest = std::max(highest, bar.point);
    }
    EXPECT_EQ(rising ? highest : lowest, rising ? kCount - 1 : 0) << rising;
  }
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
  EXPECT_GT(layout.geometry.depthOffset.x(), 0);
  const QRectF front = Bar(layout, 0, 0).front, back = Bar(layout, 1, 0).front;
  EXPECT_GT(back.left(), front.left()) << "the second series sits one row further back";
  EXPECT_EQ(layout.geometry.bars.front().series, 1) << "the back row is painted first";
  ModelBuilder flat;
  TwoBarSeries(flat, 0);
  EXPECT_EQ(flat.Layout().scene.faces.size(), 4u);
  EXPECT_EQ(layout.scene.faces.size(), 12u) << "front, top and side per box";
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
      b.Add(kind, {10, 20, 30, 40, 50}).dataLabelsVisible = true;
      b.model.view3D = false;
      const ChartLayout layout = b.Layout(size.width(), size.height());
      ASSERT_EQ(layout.geometry.bars.size(), 5u);
      for (const BarBox& bar : layout.geometry.bars) {
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
    b.Add(kind, {1000, -1000}).barGrouping = BarGrouping::Stacked;
    SeriesModel& thin = b.Add(kind, {3, -3});
    thin.barGrouping = BarGrouping::Stacked;
    thin.dataLabelsVisible = true;
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(500, 400);
    int thinBars = 0;
    for (const BarBox& bar : layout.geometry.bars) {
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

// Only the series whose data labels are visible have data labels, side by side or stacked.
TEST(BarLayout, OnlySeriesWithVisibleDataLabelsHaveThem) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    for (const BarGrouping barGrouping : {BarGrouping::SideBySide, BarGrouping::Stacked}) {
      ModelBuilder b;
      b.Add(kind, {40, 50, 60}).dataLabelsVisible = false;
      b.Add(kind, {30, 20, 10}).dataLabelsVisible = true;
      for (SeriesModel& series : b.model.series) series.barGrouping = barGrouping;
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
    b.Add(kind, {4, 5, 6}).dataLabelsVisible = false;
    b.Add(kind, {nan, nan, nan}).dataLabelsVisible = false;
    const ChartLayout without = b.Layout(400, 300);
    b.model.series[1].dataLabelsVisible = true;
    EXPECT_EQ(b.Layout(400, 300).geometry.plot, without.geometry.plot) << Traits(kind).name;
    b.model.series[1].points[1].value = 0;
    for (SeriesModel& series : b.model.series) series.barGrouping = BarGrouping::SideBySide;
    const ChartLayout zero = b.Layout(400, 300);
    const TextItem* label = DataLabelOf(zero, 1, 1);
    ASSERT_NE(label, nullptr) << Traits(kind).name;
    EXPECT_EQ(label->text, "0");
    EXPECT_TRUE(std::any_of(zero.geometry.bars.begin(), zero.geometry.bars.end(),
                            [](const BarBox& bar) { return bar.series == 1 && bar.point == 1; }))
        << Traits(kind).name;
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
          b.Add(kind, values).barGrouping = BarGrouping::SideBySide;
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
      b.Add(SeriesKind::Bar, values).dataLabelsVisible = true;
    }
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(c.width, 700);
    int labels = 0;
    for (const TextItem& t : layout.scene.texts) {
      if (t.role != TextRole::DataLabel) continue;
      ++labels;
      EXPECT_EQ(t.angle, c.angle) << c.series << " series";
      EXPECT_GT(t.box.width(), layout.geometry.bars.front().front.width()) << c.series << " series";
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
      b.Add(kind, {1000, 2000, 1500, 1200, 1800, 1100}).dataLabelsVisible = true;
    b.model.view3D = false;
    const ChartLayout layout = b.Layout(600, 400);
    for (const BarBox& bar : layout.geometry.bars) {
      if (bar.series != 1) continue;
      const TextItem* label = DataLabelOf(layout, 1, bar.point);
      ASSERT_NE(label, nullptr) << Traits(kind).name << ": point " << bar.point;
      EXPECT_TRUE(PastTheEnd(TextCorners(layout, *label).boundingRect(), bar.front,
                             kind == SeriesKind::HorizBar, false))
          << Traits(kind).name << ": point " << bar.point;
    }
  }
}

}  // namespace
