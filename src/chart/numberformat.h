#pragma once
// Every number the chart shows (tick labels, data labels, tooltips, the texts of vector files) is
// written here, in the reader's own way: the decimal separator, digit grouping and minus sign of
// a locale that the caller passes in. Numbers are written from their digits, never through the C
// library, so the process's locale cannot leak in. No binary noise, no trailing zeros; very large
// and very small values are scaled (1,25·10⁻⁶) rather than written with a dozen digits.

#include <optional>
#include <string>

#include "chart/niceticks.h"

class QLocale;

namespace chart {

// How a reader writes numbers, as UTF-8 texts.
struct NumberLocale {
  std::string decimal = ".";
  // The C and POSIX locales say nothing of where the reader lives: they get the SI's narrow
  // space between groups, which no reader takes for a decimal separator, as "," or "." would be
  // taken by half of them.
  std::string group = "\u202F";
  std::string minus = "-";
  bool operator==(const NumberLocale&) const = default;
};

// The conventions of `locale`; the C locale gets NumberLocale's defaults.
NumberLocale NumberLocaleOf(const QLocale& locale);

// The locale that the environment names for numbers (LC_ALL, else LC_NUMERIC, else LANG).
NumberLocale SystemNumberLocale();

// Integer parts of at least this many digits are grouped: "61.450,9" and "70.000", while "2025"
// and "1234,5" stay as they are.
inline constexpr int kGroupFromDigits = 5;

// Data values, one style for all of a chart's values: grouped where any of them needs grouping,
// so that a reader compares like with like.
struct ValueStyle {
  bool grouped = false;
};

// Whether `value`, written as FormatValue writes it, has digits to group.
bool NeedsGrouping(double value);

// A data value with at most 12 significant digits, trailing zeros removed; from 10¹² up and below
// 10⁻⁴ as a mantissa and a power of ten ("1,25·10⁻⁶").
std::string FormatValue(double value, ValueStyle style, const NumberLocale& locale);

// The numbers along one axis: one count of decimals for every tick, and where the ticks' texts
// would be longer than kMaxTickChars, a power of ten (a multiple of three) that the ticks are
// divided by, told once in a scale note beside the axis.
inline constexpr int kMaxTickChars = 8;

struct AxisNumbers {
  int decimals = 0;
  int exponent = 0;  // the ticks are shown divided by 10^exponent
  bool grouped = false;
};

AxisNumbers AxisNumbersFor(const NiceTicks& ticks);

std::string FormatTick(double value, const AxisNumbers& numbers, const NumberLocale& locale);

// "×10¹²" for an exponent of 12; empty for 0.
std::string ScaleNote(int exponent);

// A number as a reader reads what FormatValue or FormatTick wrote; nothing where the text is
// not one.
std::optional<double> ReadNumber(std::string text, const NumberLocale& locale);

}  // namespace chart
