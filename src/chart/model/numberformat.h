#pragma once
// Every number the chart shows (tick labels, data labels, tooltips, the texts of vector files) is
// written here, in the reader's own way: the decimal separator, digit grouping and minus sign of
// a locale that the caller passes in. Numbers are written from their digits, never through the C
// library, so the process's locale cannot leak in. One style per chart: the same grouping rule for
// every number, one count of decimals per data set and per axis, and the axis' scale note for the
// data labels too.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chart/model/niceticks.h"

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

// Integer parts of at least this many digits are grouped, in every number the chart writes:
// tick labels and data labels alike read "4.000" and "5.149", while "999" stays as it is.
inline constexpr int kGroupFromDigits = 4;

// How the values of one data set are written: one count of decimals for all of them, and the
// power of ten of the value axis' scale note that they are divided by.
struct ValueStyle {
  int decimals = 0;
  int exponent = 0;  // the values are shown divided by 10^exponent
};

// A data set's labels show at most this many decimals, or as many as give its largest value
// four significant digits where that is more.
inline constexpr int kMaxValueDecimals = 3;

// The style of a data set: the most decimals any of its values needs (written to about 11
// significant digits, trailing zeros removed), up to the cap. Under a scale note (`axisExponent`
// not 0) the values are divided by its power of ten and show at most one decimal more than the
// axis' ticks
// (`axisDecimals`): "7,2" under "×10⁹" where the ticks read "0  2  4  6  8".
ValueStyle ValueStyleOf(std::span<const double> values, int axisExponent = 0, int axisDecimals = 0);

// One value of a data set in its style. A value that the style would show as 0, or whose scaled
// value reaches 10¹², is written with its own power of ten ("1,25·10⁻⁶").
std::string FormatValue(double value, const ValueStyle& style, const NumberLocale& locale);

// The texts of a whole data set, its style decided once.
std::vector<std::string> FormatDataSet(std::span<const double> values, const ValueStyle& style,
                                       const NumberLocale& locale);

// The numbers along one axis: one count of decimals for every tick, and where the ticks' texts
// would be longer than kMaxTickChars, a power of ten (a multiple of three) that the ticks are
// divided by, told once in a scale note beside the axis.
inline constexpr int kMaxTickChars = 8;

struct AxisNumbers {
  int decimals = 0;
  int exponent = 0;      // the ticks are shown divided by 10^exponent
  bool percent = false;  // the axis of bars stacked to 100 %: its note reads "%"
};

AxisNumbers AxisNumbersFor(const NiceTicks& ticks);

std::string FormatTick(double value, const AxisNumbers& numbers, const NumberLocale& locale);

// The note at the end of the axis: "×10¹²" for an exponent of 12, "%" on a percent axis, else
// empty.
std::string ScaleNote(const AxisNumbers& numbers);

// A number as a reader reads what FormatValue or FormatTick wrote; nothing where the text is
// not one.
std::optional<double> ReadNumber(std::string text, const NumberLocale& locale);

}  // namespace chart
