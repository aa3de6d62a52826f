#pragma once
// Numbers read from the tables' texts, independent of the C library's locale.

#include <cstdint>
#include <string_view>

// Optional sign and decimal digits, within the 32-bit signed range; nothing else, no blanks.
// Throws ConversionError.
std::int32_t StrToInt(std::string_view text);

// A finite decimal number with an optional exponent. "." is always a decimal separator, and so
// is the decimal separator of the user's locale. Throws ConversionError.
double StrToFloat(std::string_view text);

// The decimal separator of the user's locale (from LC_ALL, LC_NUMERIC or LANG).
char LocaleDecimalSeparator();
