#include "chart/model/numberformat.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace chart {

namespace {

// Values from 10¹² up and below 10⁻⁴ are written with a power of ten.
constexpr double kScientificFrom = 1e12;
constexpr double kScientificBelow = 1e-4;
constexpr int kSignificantDigits = 12;

// `magnitude` (not negative) in fixed notation with `decimals` decimals and "." between: the
// digits alone, correctly rounded, whatever the process's locale.
std::string FixedDigits(double magnitude, int decimals) {
  char buffer[400];  // the largest double has 309 digits
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::string WithoutTrailingZeros(std::string digits) {
  if (digits.find('.') == std::string::npos) return digits;
  while (digits.back() == '0') digits.pop_back();
  if (digits.back() == '.') digits.pop_back();
  return digits;
}

bool AllZeros(const std::string& digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; });
}

// Digits with "." as written by FixedDigits, in the locale's way, grouped from kGroupFromDigits
// on (a mantissa is not).
std::string Localized(const std::string& digits, bool groupable, const NumberLocale& locale) {
  const auto point = digits.find('.');
  const std::string whole = digits.substr(0, point);
  const bool grouped = groupable && static_cast<int>(whole.size()) >= kGroupFromDigits;
  std::string text;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    const std::size_t left = whole.size() - i;
    if (grouped && i > 0 && left % 3 == 0) text += locale.group;
    text += whole[i];
  }
  if (point != std::string::npos) text += locale.decimal + digits.substr(point + 1);
  return text;
}

std::string Superscript(int number) {
  static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  std::string text = number < 0 ? "⁻" : "";
  const std::string digits = std::to_string(std::abs(number));
  for (char digit : digits) text += kDigits[digit - '0'];
  return text;
}

std::string Scientific(double value, const NumberLocale& locale) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::abs(value),
                                    std::chars_format::scientific, kSignificantDigits - 1);
  const std::string text(buffer, result.ptr);
  const auto e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  exponent);
  const std::string mantissa = WithoutTrailingZeros(text.substr(0, e));
  return (value < 0 ? locale.minus : "") + Localized(mantissa, false, locale) + "·10" +
         Superscript(exponent);
}

bool WrittenFixed(double magnitude) {
  return magnitude == 0 || (magnitude >= kScientificBelow && magnitude < kScientificFrom);
}

int DecimalsOfStep(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 0;
  return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
}

long double PowerOfTen(int exponent) { return std::pow(10.0L, exponent); }

// The decimals, up to `cap`, that `magnitude` needs: the fewest that write it to about
// kSignificantDigits. Asked of every value of a chart: arithmetic, not a written text.
int DecimalsNeeded(double magnitude, int cap) {
  if (magnitude == 0 || !WrittenFixed(magnitude)) return 0;  // 0, or with its power of ten
  const double noise = magnitude * 1e-11;                    // below the 11th significant digit
  double shifted = magnitude, unit = 1;
  for (int decimals = 0; decimals < cap; ++decimals) {
    if (std::abs(shifted - std::round(shifted)) * unit <= noise) return decimals;
    shifted *= 10;
    unit /= 10;
  }
  return cap;
}

// The decimals that give `magnitude` four significant digits: 4 for 0,3333, 6 for 0,001234.
int DecimalsForFourDigits(double magnitude) {
  if (!(magnitude > 0) || !WrittenFixed(magnitude)) return 0;
  return std::max(0, 3 - static_cast<int>(std::floor(std::log10(magnitude))));
}

// Characters, not bytes: a group separator or a minus sign may take several bytes.
int CharCount(const std::string& utf8) {
  return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

int LongestTick(const NiceTicks& ticks, const AxisNumbers& numbers) {
  int longest = 0;
  for (double value : ticks.values)
    longest = std::max(longest, CharCount(FormatTick(value, numbers, NumberLocale{})));
  return longest;
}

}  // namespace

NumberLocale NumberLocaleOf(const QLocale& locale) {
  if (locale.language() == QLocale::C) return {};
  return {locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString(),
          locale.negativeSign().toStdString()};
}

NumberLocale SystemNumberLocale() { return NumberLocaleOf(QLocale::system()); }

ValueStyle ValueStyleOf(std::span<const double> values, int axisExponent, int axisDecimals) {
  const long double divisor = PowerOfTen(axisExponent);
  const auto scaled = [&](double value) { return static_cast<double>(value / divisor); };
  double largest = 0;
  for (double value : values) {
    if (std::isfinite(value)) largest = std::max(largest, std::abs(scaled(value)));
  }
  const int cap = axisExponent != 0 ? axisDecimals + 1
                                    : std::max(kMaxValueDecimals, DecimalsForFourDigits(largest));
  int needed = 0;
  for (std::size_t i = 0; i < values.size() && needed < cap; ++i) {
    if (std::isfinite(values[i]))
      needed = std::max(needed, DecimalsNeeded(std::abs(scaled(values[i])), cap));
  }
  return {needed, axisExponent};
}

std::string FormatValue(double value, const ValueStyle& style, const NumberLocale& locale) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "INF" : "-INF");
  const auto scaled = static_cast<double>(value / PowerOfTen(style.exponent));
  const std::string digits = FixedDigits(std::abs(scaled), style.decimals);
  const bool lost = value != 0 && AllZeros(digits);  // would read as zero
  if (lost || !std::isfinite(scaled) || std::abs(scaled) >= kScientificFrom)
    return Scientific(value, locale);
  return (value < 0 && !AllZeros(digits) ? locale.minus : "") + Localized(digits, true, locale);
}

std::vector<std::string> FormatDataSet(std::span<const double> values, const ValueStyle& style,
                                       const NumberLocale& locale) {
  std::vector<std::string> texts;
  texts.reserve(values.size());
  for (double value : values) texts.push_back(FormatValue(value, style, locale));
  return texts;
}

AxisNumbers AxisNumbersFor(const NiceTicks& ticks) {
  double largest = 0;
  for (double value : ticks.values) largest = std::max(largest, std::abs(value));
  AxisNumbers numbers{DecimalsOfStep(ticks.step), 0};
  if (LongestTick(ticks, numbers) <= kMaxTickChars) return numbers;
  largest = std::max(largest, std::abs(ticks.step));  // an axis that shows only its zero
  if (!(largest > 0) || !std::isfinite(largest)) return numbers;
  const int exponent = 3 * static_cast<int>(std::floor(std::log10(largest) / 3));
  if (exponent == 0) return numbers;
  const auto step = static_cast<double>(ticks.step / PowerOfTen(exponent));
  return {DecimalsOfStep(step), exponent};
}

std::string FormatTick(double value, const AxisNumbers& numbers, const NumberLocale& locale) {
  const auto scaled = static_cast<double>(value / PowerOfTen(numbers.exponent));
  const std::string digits = FixedDigits(std::abs(scaled), numbers.decimals);
  const bool negative = scaled < 0 && !AllZeros(digits);
  return (negative ? locale.minus : "") + Localized(digits, true, locale);
}

std::optional<double> ReadNumber(std::string text, const NumberLocale& locale) {
  auto replace = [&](const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
  };
  replace(locale.group, "");
  replace(locale.decimal, ".");
  replace(locale.minus, "-");
  replace("·10", "e");
  static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
  for (int digit = 0; digit < 10; ++digit) replace(kDigits[digit], std::to_string(digit));
  replace("⁻", "-");
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string ScaleNote(const AxisNumbers& numbers) {
  if (numbers.exponent != 0) return "×10" + Superscript(numbers.exponent);
  return numbers.percent ? "%" : "";
}

}  // namespace chart
