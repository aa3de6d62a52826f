// Every number the chart shows, as a reader of each locale reads it: one table of texts, and a
// property over many values that the text reads back as the value.

#include "chart/numberformat.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <random>
#include <string>

using namespace chart;

namespace {

constexpr char kNarrowSpace[] = "\u202F";

NumberLocale LocaleNamed(const char* name) { return NumberLocaleOf(QLocale(QString(name))); }

// A data label where `step` is 0 (grouped as a chart of that value alone would be), else a tick
// of the axis from 0 to `top` by `step`; `note` is the axis' scale note.
struct NumberCase {
  const char* locale;
  double value;
  double step;
  double top;
  std::string text;
  std::string note = "";
};

std::vector<double> TicksUpTo(double top, double step) {
  std::vector<double> values;
  for (int k = 0; k * step <= top * (1 + 1e-12); ++k) values.push_back(k * step);
  return values;
}

TEST(NumberFormat, WritesEachNumberAsTheReadersLocaleDoes) {
  const std::string g = kNarrowSpace;
  const NumberCase cases[] = {
      // Data labels: no binary noise, no trailing zeros, groups from five digits on.
      {"C", 0.1 + 0.2, 0, 0, "0.3"},
      {"C", 1.0 / 3, 0, 0, "0.333333333333"},
      {"C", 1234.5, 0, 0, "1234.5"},
      {"C", 61450.9, 0, 0, "61" + g + "450.9"},
      {"C", -987654.75, 0, 0, "-987" + g + "654.75"},
      {"C", 0, 0, 0, "0"},
      {"C", std::nan(""), 0, 0, "NaN"},
      {"C", 1.25e-6, 0, 0, "1.25·10⁻⁶"},
      {"C", 0.0001, 0, 0, "0.0001"},
      {"C", 1e12, 0, 0, "1·10¹²"},
      {"C", -3.5e15, 0, 0, "-3.5·10¹⁵"},
      {"C", 999999999999.4, 0, 0, "999" + g + "999" + g + "999" + g + "999"},
      {"de_DE", 0.15, 0, 0, "0,15"},
      {"de_DE", 1234.5, 0, 0, "1234,5"},
      {"de_DE", 987654.75, 0, 0, "987.654,75"},
      {"de_DE", 61450.9, 0, 0, "61.450,9"},
      {"de_DE", -1.25e-6, 0, 0, "-1,25·10⁻⁶"},
      {"en_US", 61450.9, 0, 0, "61,450.9"},
      {"fr_FR", 61450.9, 0, 0, "61" + g + "450,9"},
      // Ticks: the decimals of the step, zero included; grouped along an axis of large ticks;
      // a power of ten told once where the ticks would be longer than eight characters.
      {"de_DE", 70000, 10000, 70000, "70.000"},
      {"de_DE", 5000, 5000, 70000, "5.000"},
      {"de_DE", 0.15, 0.05, 0.3, "0,15"},
      {"C", 0, 0.2, 1, "0.0"},
      {"C", 0.6, 0.2, 1, "0.6"},
      {"C", -20, 5, 20, "-20"},
      {"C", 6e12, 2e12, 1e13, "6", "×10¹²"},
      {"C", 0, 2e12, 1e13, "0", "×10¹²"},
      {"de_DE", 1.5e-6, 5e-7, 2.5e-6, "1,5", "×10⁻⁶"},
      {"C", 1.2e6, 1e5, 1.5e6, "1.2", "×10⁶"},
      {"en_US", 1.6e308, 2e307, 1.6e308, "160", "×10³⁰⁶"},
  };
  for (const NumberCase& c : cases) {
    const NumberLocale locale = LocaleNamed(c.locale);
    if (c.step == 0) {
      EXPECT_EQ(FormatValue(c.value, {NeedsGrouping(c.value)}, locale), c.text)
          << c.locale << " " << c.value;
      continue;
    }
    NiceTicks ticks;
    ticks.min = 0;
    ticks.max = c.top;
    ticks.step = c.step;
    ticks.values = TicksUpTo(c.top, c.step);
    if (c.value < 0) ticks.values.insert(ticks.values.begin(), c.value);
    const AxisNumbers numbers = AxisNumbersFor(ticks);
    EXPECT_EQ(FormatTick(c.value, numbers, locale), c.text) << c.locale << " " << c.value;
    EXPECT_EQ(ScaleNote(numbers.exponent), c.note) << c.locale << " " << c.value;
  }
}

// The C locale says nothing of the reader: the SI's narrow space groups, whatever the process's
// own C library would write.
TEST(NumberFormat, TheCLocaleGroupsWithANarrowSpace) {
  EXPECT_EQ(LocaleNamed("C"), NumberLocale{});
  EXPECT_EQ(LocaleNamed("de_DE").decimal, ",");
  EXPECT_EQ(LocaleNamed("de_DE").group, ".");
}

TEST(NumberFormat, EveryValueReadsBackToTwelveDigitsInEveryLocale) {
  std::mt19937 random(20261208u);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-12, 16);
  for (const char* name : {"C", "en_US", "de_DE", "fr_FR", "de_CH", "sv_SE"}) {
    const NumberLocale locale = LocaleNamed(name);
    for (int i = 0; i < 3000; ++i) {
      const double value = mantissa(random) * std::pow(10.0, exponent(random));
      const std::string text = FormatValue(value, {i % 2 == 0}, locale);
      const double back = ReadNumber(text, locale).value_or(std::nan(""));
      ASSERT_NEAR(back, value, std::abs(value) * 1e-11) << name << ": " << value << " -> " << text;
    }
  }
}

}  // namespace
