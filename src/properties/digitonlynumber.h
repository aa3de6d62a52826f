#pragma once
// A whole number read from the decimal digits of a text, whatever stands between them.

#include <cstdint>
#include <string_view>

// Joins the digits of `text` and converts them: "-12" gives 12, "1.5" gives 15, "12 pt" 12.
// Without digits the result is 0. Digits beyond 2147483647 throw ConversionError.
std::int32_t DigitOnlyNumber(std::string_view text);
