#include "chart/model/niceticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace chart;

namespace {

bool IsNiceStep(double step) {
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
  for (double nice : {1.0, 2.0, 5.0, 10.0}) {
    if (std::abs(mantissa - nice) < 1e-9) return true;
  }
  return false;
}

struct RangeCase {
  const char* name;
  double low, high, pixels;
};

class NiceTicksRanges : public ::testing::TestWithParam<RangeCase> {};

// Every range at every axis length: a nice step, ends around the range that it fills to at least
// 60 %, ticks within the ends, zero exactly.
TEST_P(NiceTicksRanges, StepIsNiceEndsHoldTheRangeWhichFillsTheAxis) {
  const RangeCase c = GetParam();
  for (double pixels : {c.pixels, 30.0, 80.0}) {
    const NiceTicks ticks = ChooseNiceTicks(c.low, c.high, pixels, 40);
    const double lo = std::min(c.low, c.high), hi = std::max(c.low, c.high);
    ASSERT_GT(ticks.step, 0);
    // Doubles below the smallest normal one hold too few digits for a step of 1, 2 or 5.
    if (ticks.step > std::numeric_limits<double>::min()) {
      EXPECT_TRUE(IsNiceStep(ticks.step)) << ticks.step;
    }
    EXPECT_LT(ticks.min, ticks.max);
    EXPECT_LE(ticks.min, lo);
    EXPECT_GE(ticks.max, hi);
    EXPECT_TRUE(std::isfinite(ticks.min) && std::isfinite(ticks.max));
    if (hi > lo) {
      EXPECT_GE((hi / 2 - lo / 2) / (ticks.max / 2 - ticks.min / 2), 0.6) << pixels;
    }
    ASSERT_GE(ticks.values.size(), 1u);
    EXPECT_LE(ticks.values.size(), static_cast<std::size_t>(kMaxTickCount));
    EXPECT_GE(ticks.values.front(), ticks.min);
    EXPECT_LE(ticks.values.back(), ticks.max);
    for (double v : ticks.values) {
      if (std::abs(v) < ticks.step / 2) {
        EXPECT_EQ(v, 0.0) << "tick next to zero must be zero";
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NiceTicksRanges,
    ::testing::Values(
        RangeCase{"simple", 0, 25, 300}, RangeCase{"reversed", 25, -3, 300},
        RangeCase{"crossesZero", -0.7, 0.3, 400}, RangeCase{"huge", 0, 1e15, 500},
        RangeCase{"hugeOffset", 1e15, 1e15 + 5e13, 500}, RangeCase{"tiny", 0, 1e-50, 300},
        RangeCase{"tinyNegative", -3e-50, -1e-50, 300}, RangeCase{"singleValue", 7, 7, 300},
        RangeCase{"singleZero", 0, 0, 300}, RangeCase{"singleNegative", -4, -4, 300},
        RangeCase{"noPixels", 0, 10, 0}, RangeCase{"manyPixels", 0, 10, 1e9},
        RangeCase{"nearMax", -1e308, 1e308, 300}, RangeCase{"largest", -1.79e308, 1.79e308, 300},
        RangeCase{"largestPositive", 1e307, 1.79e308, 300}, RangeCase{"offZero", -5, 71, 300},
        RangeCase{"micro", 1e-9, 1e12, 300}, RangeCase{"denormal", 0, 1e-320, 300},
        RangeCase{"denormalSingle", 4e-323, 4e-323, 300}),
    [](const auto& info) { return std::string(info.param.name); });

// The next smaller nice step is taken where it fills the axis better, or where an axis with room
// for six intervals would have fewer than four, for at most a quarter more ticks than the axis
// wants (four at 160 pixels, six at 260).
TEST(NiceTicks, ASmallerStepThatFillsBetterCostsAtMostAQuarterMoreTicks) {
  const struct {
    double low, high, step, pixels = 160;
  } cases[] = {{0, 210, 50},             // 0 to 250, not to 300
               {0.5, 10.5, 2},           // five steps: a quarter more
               {0.5, 11.5, 5},           // five and a half: more than a quarter
               {0, 10, 5},               // as full either way
               {-45.4, 99.8, 20, 260}};  // -60 to 100, not three intervals from -50
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseNiceTicks(c.low, c.high, c.pixels, 40).step, c.step)
        << c.low << " to " << c.high;
  }
}

TEST(NiceTicks, CountFollowsPixels) {
  EXPECT_LT(ChooseNiceTicks(0, 100, 100, 40).values.size(),
            ChooseNiceTicks(0, 100, 1000, 40).values.size());
}

TEST(NiceTicks, NonFiniteRangeFallsBackToZeroToOne) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {std::nan(""), inf, -inf}) {
    const NiceTicks ticks = ChooseNiceTicks(bad, 1, 300, 40);
    EXPECT_EQ(ticks.min, 0);
    EXPECT_EQ(ticks.max, 1);
  }
}

// A short axis has room for one tick or two only: its ends still hug the data.
TEST(NiceTicks, AShortAxisKeepsItsEndsNearTheData) {
  const NiceTicks one = ChooseNiceTicks(-5, 71, 40, 36);
  EXPECT_EQ(one.min, -5);
  EXPECT_EQ(one.max, 75);
  EXPECT_EQ(one.values, std::vector<double>({0}));
  const NiceTicks two = ChooseNiceTicks(3, 7, 40, 36);  // no multiple of 10 between the ends
  EXPECT_EQ(two.values, std::vector<double>({5}));
}

TEST(NiceTicks, KnownChoices) {
  const NiceTicks ticks = ChooseNiceTicks(0, 25, 300, 40);
  EXPECT_EQ(ticks.step, 5);
  EXPECT_EQ(ticks.max, 25);
  const NiceTicks fractions = ChooseNiceTicks(0.1, 0.95, 400, 40);
  EXPECT_DOUBLE_EQ(fractions.step, 0.1);
  EXPECT_DOUBLE_EQ(fractions.min, 0.1);
  EXPECT_DOUBLE_EQ(fractions.max, 1);
}

}  // namespace
