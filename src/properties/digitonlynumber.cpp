#include "properties/digitonlynumber.h"

#include <string>

#include "runtime/numbers.h"

std::int32_t DigitOnlyNumber(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits.empty() ? 0 : StrToInt(digits);
}
