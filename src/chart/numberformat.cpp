#include "chart/numberformat.h"

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

// Digits with "." as written by FixedDigits, in the locale's way.
std::string Localized(const std::string& digits, bool grouped, const NumberLocale& locale) {
  const auto point = digits.find('.');
  const std::string whole = digits.substr(0, point);
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

int IntegerDigits(double magnitude) {
  return magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
}

bool WrittenFixed(double magnitude) {
  return magnitude == 0 || (magnitude >= kScientificBelow && magnitude < kScientificFrom);
}

int DecimalsOfStep(double step) {
  if (!(step > 0) || !std::isfinite(step)) return 0;
  return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 15);
}

long double PowerOfTen(int exponent) { return std::pow(10.0L, exponent); }

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

// Asked of every point of a chart: a comparison, not a logarithm.
bool NeedsGrouping(double value) {
  static const double kGroupedFrom = std::pow(10.0, kGroupFromDigits - 1);
  const double magnitude = std::abs(value);
  return magnitude >= kGroupedFrom && magnitude < kScientificFrom;
}

std::string FormatValue(double value, ValueStyle style, const NumberLocale& locale) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "INF" : "-INF");
  const double magnitude = std::abs(value);
  if (!WrittenFixed(magnitude)) return Scientific(value, locale);
  const int leading = static_cast<int>(std::floor(std::log10(magnitude))) + 1;  // may be < 1
  const int decimals = std::clamp(kSignificantDigits - leading, 0, 17);
  const std::string digits = WithoutTrailingZeros(FixedDigits(magnitude, decimals));
  if (AllZeros(digits)) return "0";
  return (value < 0 ? locale.minus : "") + Localized(digits, style.grouped, locale);
}

AxisNumbers AxisNumbersFor(const NiceTicks& ticks) {
  double largest = 0;
  for (double value : ticks.values) largest = std::max(largest, std::abs(value));
  AxisNumbers numbers{DecimalsOfStep(ticks.step), 0, IntegerDigits(largest) >= kGroupFromDigits};
  if (LongestTick(ticks, numbers) <= kMaxTickChars) return numbers;
  largest = std::max(largest, std::abs(ticks.step));  // an axis that shows only its zero
  if (!(largest > 0) || !std::isfinite(largest)) return numbers;
  const int exponent = 3 * static_cast<int>(std::floor(std::log10(largest) / 3));
  if (exponent == 0) return numbers;
  const auto step = static_cast<double>(ticks.step / PowerOfTen(exponent));
  return {DecimalsOfStep(step), exponent, false};
}

std::string FormatTick(double value, const AxisNumbers& numbers, const NumberLocale& locale) {
  const auto scaled = static_cast<double>(value / PowerOfTen(numbers.exponent));
  const std::string digits = FixedDigits(std::abs(scaled), numbers.decimals);
  const bool negative = scaled < 0 && !AllZeros(digits);
  return (negative ? locale.minus : "") + Localized(digits, numbers.grouped, locale);
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

std::string ScaleNote(int exponent) {
  return exponent == 0 ? std::string() : "×10" + Superscript(exponent);
}

}  // namespace chart
