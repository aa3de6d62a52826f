// Every number the chart shows, as a reader of each locale reads it: one table of texts, and a
// property over many values that the text reads back as the value.

#include "chart/model/numberformat.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <random>
#include <string>

using namespace chart;

namespace {

constexpr char kNarrowSpace[] = "\u202F";

NumberLocale LocaleNamed(const char* name) { return NumberLocaleOf(QLocale(QString(name))); }

// A data label where `step` is 0, its data set `value` and `others`; else a tick of the axis
// from 0 to `top` by `step`, or with `label` a data label under that axis (its note, decimals).
// `note` is the axis' scale note.
struct NumberCase {
  const char* locale;
  double value;
  double step;
  double top;
  std::string text;
  std::string note = "";
  std::vector<double> others = {};
  bool label = false;
  bool percent = false;  // an axis of bars stacked to 100 %
};

std::vector<double> TicksUpTo(double top, double step) {
  std::vector<double> values;
  for (int k = 0; k * step <= top * (1 + 1e-12); ++k) values.push_back(k * step);
  return values;
}

std::string Written(const NumberCase& c) {
  const NumberLocale locale = LocaleNamed(c.locale);
  std::vector<double> dataSet = {c.value};
  dataSet.insert(dataSet.end(), c.others.begin(), c.others.end());
  if (c.step == 0) return FormatValue(c.value, ValueStyleOf(dataSet), locale);
  NiceTicks ticks;
  ticks.min = 0;
  ticks.max = c.top;
  ticks.step = c.step;
  ticks.values = TicksUpTo(c.top, c.step);
  if (c.value < 0) ticks.values.insert(ticks.values.begin(), c.value);
  AxisNumbers numbers = AxisNumbersFor(ticks);
  numbers.percent = c.percent;
  EXPECT_EQ(ScaleNote(numbers), c.note) << c.locale << " " << c.value;
  if (!c.label) return FormatTick(c.value, numbers, locale);
  return FormatValue(c.value, ValueStyleOf(dataSet, numbers.exponent, numbers.decimals), locale);
}

TEST(NumberFormat, WritesEachNumberAsTheReadersLocaleDoes) {
  const std::string g = kNarrowSpace;
  const NumberCase cases[] = {
      // Data labels: no binary noise; groups from four digits on, as the ticks do.
      {"C", 0.1 + 0.2, 0, 0, "0.3"},
      {"C", 1234.5, 0, 0, "1" + g + "234.5"},
      {"C", 999, 0, 0, "999"},
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
      {"de_DE", 5149, 0, 0, "5.149"},
      {"de_DE", 987654.75, 0, 0, "987.654,75"},
      {"de_DE", 61450.9, 0, 0, "61.450,9"},
      {"de_DE", -1.25e-6, 0, 0, "-1,25·10⁻⁶"},
      {"en_US", 61450.9, 0, 0, "61,450.9"},
      {"fr_FR", 61450.9, 0, 0, "61" + g + "450,9"},
      // The labels of one data set share the decimals that the most of them needs: money keeps
      // its cents, zero included.
      {.locale = "en_US",
       .value = 47869.7,
       .step = 0,
       .top = 0,
       .text = "47,869.70",
       .others = {41250.55}},
      {.locale = "de_DE", .value = 49.5, .step = 0, .top = 0, .text = "49,50", .others = {24.95}},
      {.locale = "de_DE",
       .value = -5059.5,
       .step = 0,
       .top = 0,
       .text = "-5.059,50",
       .others = {10060.23}},
      {.locale = "fr_FR", .value = 0, .step = 0, .top = 0, .text = "0,00", .others = {12.5, 0.25}},
      // ... up to three decimals, or four significant digits of the largest value.
      {.locale = "C", .value = 12.3456789, .step = 0, .top = 0, .text = "12.346"},
      {.locale = "C", .value = 1.0 / 3, .step = 0, .top = 0, .text = "0.3333", .others = {2.0 / 3}},
      {.locale = "C",
       .value = 0.0012,
       .step = 0,
       .top = 0,
       .text = "0.00120",
       .others = {0.00045, 0.00031}},
      // A value that the shared decimals would show as 0 is written with its power of ten.
      {.locale = "C", .value = 0.0004, .step = 0, .top = 0, .text = "4·10⁻⁴", .others = {1000}},
      // Ticks: the decimals of the step, zero included; grouped as the labels are; a power of
      // ten told once where the ticks would be longer than eight characters.
      {"de_DE", 70000, 10000, 70000, "70.000"},
      {"de_DE", 5000, 5000, 70000, "5.000"},
      {"en_US", 4000, 2000, 12000, "4,000"},
      {"de_DE", 0.15, 0.05, 0.3, "0,15"},
      {"C", 0, 0.2, 1, "0.0"},
      {"C", 0.6, 0.2, 1, "0.6"},
      {"C", -20, 5, 20, "-20"},
      {"C", 6e12, 2e12, 1e13, "6", "×10¹²"},
      {"C", 0, 2e12, 1e13, "0", "×10¹²"},
      {"de_DE", 1.5e-6, 5e-7, 2.5e-6, "1,5", "×10⁻⁶"},
      {"C", 1.2e6, 1e5, 1.5e6, "1.2", "×10⁶"},
      {"en_US", 1.6e308, 2e307, 1.6e308, "160", "×10³⁰⁶"},
      // Data labels follow the axis' scale note, one decimal finer than its ticks.
      {.locale = "de_DE",
       .value = 7199900000,
       .step = 2e9,
       .top = 8e9,
       .text = "7,2",
       .note = "×10⁹",
       .others = {3e9},
       .label = true},
      {.locale = "C",
       .value = 3e9,
       .step = 2e9,
       .top = 8e9,
       .text = "3.0",
       .note = "×10⁹",
       .others = {7199900000},
       .label = true},
      // An axis of bars stacked to 100 % says so.
      {.locale = "C",
       .value = 20,
       .step = 20,
       .top = 100,
       .text = "20",
       .note = "%",
       .percent = true},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(Written(c), c.text) << c.locale << " " << c.value;
  }
}

// The C locale says nothing of the reader: the SI's narrow space groups, whatever the process's
// own C library would write.
TEST(NumberFormat, TheCLocaleGroupsWithANarrowSpace) {
  EXPECT_EQ(LocaleNamed("C"), NumberLocale{});
  EXPECT_EQ(LocaleNamed("de_DE").decimal, ",");
  EXPECT_EQ(LocaleNamed("de_DE").group, ".");
}

// Generated data sets of mixed magnitudes, money among them: every label reads back as its value
// to the decimals shown (to 12 digits where written with its power of ten), and all of a data
// set's labels written without a power of ten show the same decimals, grouped where they have
// four digits before the separator.
TEST(NumberFormat, EveryDataSetReadsBackInOneStyleInEveryLocale) {
  std::mt19937 random(20261208u);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-12, 16);
  std::uniform_int_distribution<int> size(1, 8);
  for (const char* name : {"C", "en_US", "de_DE", "fr_FR", "de_CH", "sv_SE"}) {
    const NumberLocale locale = LocaleNamed(name);
    for (int i = 0; i < 600; ++i) {
      std::vector<double> values;
      const int e = exponent(random);
      for (int k = size(random); k > 0; --k) {
        const double value = mantissa(random) * std::pow(10.0, e + (k % 3 == 0 ? -3 : 0));
        values.push_back(i % 2 == 0 ? std::round(value * 100) / 100 : value);  // money
      }
      const ValueStyle style = ValueStyleOf(values);
      const std::vector<std::string> texts = FormatDataSet(values, style, locale);
      ASSERT_EQ(texts.size(), values.size());
      for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string& text = texts[k];
        const bool powered = text.find("·10") != std::string::npos;
        const double back = ReadNumber(text, locale).value_or(std::nan(""));
        const double tolerance = powered ? std::abs(values[k]) * 1e-11
                                         : std::pow(10.0, -style.decimals) / 2 * (1 + 1e-9) +
                                               std::abs(values[k]) * 1e-15;
        ASSERT_NEAR(back, values[k], tolerance) << name << ": " << values[k] << " -> " << text;
        if (powered) continue;
        const auto point = text.find(locale.decimal);
        const std::size_t decimals =
            point == std::string::npos ? 0 : text.size() - point - locale.decimal.size();
        EXPECT_EQ(decimals, static_cast<std::size_t>(style.decimals)) << name << ": " << text;
        const std::string whole = text.substr(0, point);
        const bool fourDigits = std::abs(values[k]) >= 1000 - std::pow(10.0, -style.decimals) / 2;
        EXPECT_EQ(whole.find(locale.group) != std::string::npos, fourDigits)
            << name << ": " << text;
      }
    }
  }
}

}  // namespace

// Ticks whose step is a whole number once the axis is scaled by its power of ten read as whole
// numbers ("0 1 … 10 ×10⁻²¹", not "0.0 1.0 …"), at every magnitude from 10⁻³⁰⁰ to 10³⁰⁰: the
// rounding of the scaled step must not leave a spurious decimal.
TEST(NumberFormat, ScaledTicksOfAWholeStepShowNoDecimals) {
  int scaled = 0;
  // Axes of several lengths, so that steps of 1, 2 and 5 times a power of ten all come.
  for (int e = -300; e <= 300; ++e) {
    for (const auto& [top, length] :
         {std::pair{1.9, 400}, {1.9, 90}, {7.3, 400}, {7.3, 150}, {0.42, 400}, {0.42, 250}}) {
      const NiceTicks ticks = ChooseNiceTicks(0, top * std::pow(10.0, e), length, 30);
      const AxisNumbers numbers = AxisNumbersFor(ticks);
      const double step = ticks.step / std::pow(10.0, numbers.exponent);
      if (std::abs(step - std::round(step)) > 1e-9 * step) continue;
      scaled += numbers.exponent != 0 ? 1 : 0;
      EXPECT_EQ(numbers.decimals, 0) << "1e" << e << " x " << top;
      for (double value : ticks.values) {
        EXPECT_EQ(FormatTick(value, numbers, NumberLocale{}).find('.'), std::string::npos)
            << "1e" << e << " x " << top << ": " << value;
      }
    }
  }
  EXPECT_GT(scaled, 500);
}
