#include "runtime/numbers.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "runtime/errors.h"

namespace {

[[noreturn]] void ThrowNotInteger(std::string_view text) {
  throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void ThrowNotFloat(std::string_view text) {
  throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Sign, digits, at most one '.', at least one digit, an optional exponent of digits.
bool IsPlainDecimal(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  int digits = 0, points = 0;
  for (; i < text.size() && (IsDigit(text[i]) || text[i] == '.'); ++i) {
    text[i] == '.' ? ++points : ++digits;
  }
  if (digits == 0 || points > 1) return false;
  if (i == text.size()) return true;
  if (text[i] != 'e' && text[i] != 'E') return false;
  ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t exponentStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i > exponentStart && i == text.size();
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
    ThrowNotInteger(text);
  }
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) ThrowNotInteger(text);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) ThrowNotInteger(text);
  return static_cast<std::int32_t>(value);
}

char LocaleDecimalSeparator() {
  // The user's locale is fixed for the run; asking Qt for it costs more than a whole number.
  static const char separator = [] {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                         : '.';
  }();
  return separator;
}

namespace {

double ParseDecimal(std::string_view text, std::string_view original) {
  if (!IsPlainDecimal(text)) ThrowNotFloat(original);
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  const char* end = text.data() + text.size();
  double value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) ThrowNotFloat(original);
  return value;
}

}  // namespace

double StrToFloat(std::string_view text) {
  const char separator = LocaleDecimalSeparator();
  if (separator == '.' || text.find(separator) == std::string_view::npos) {
    return ParseDecimal(text, text);
  }
  std::string normal(text);
  std::replace(normal.begin(), normal.end(), separator, '.');
  return ParseDecimal(normal, text);
}
