#include "properties/digitonlynumber.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/errors.h"

namespace {

struct DigitCase {
  std::string text;
  std::int32_t number;
};

void PrintTo(const DigitCase& digits, std::ostream* out) { *out << "'" << digits.text << "'"; }

class DigitOnlyNumberTest : public ::testing::TestWithParam<DigitCase> {};

TEST_P(DigitOnlyNumberTest, JoinsTheDigits) {
  EXPECT_EQ(DigitOnlyNumber(GetParam().text), GetParam().number) << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Texts, DigitOnlyNumberTest,
                         ::testing::Values(DigitCase{"007", 7}, DigitCase{"-5", 5},
                                           DigitCase{"5%", 5}, DigitCase{"-12", 12},
                                           DigitCase{"1.5", 15}, DigitCase{"12 pt", 12},
                                           DigitCase{"1,000", 1000}, DigitCase{"2.5", 25},
                                           DigitCase{"abc", 0}, DigitCase{"", 0}, DigitCase{" ", 0},
                                           DigitCase{"\xB2\xB3", 0},
                                           DigitCase{"2147483647", 2147483647},
                                           DigitCase{"0000000000002147483647", 2147483647}));

TEST(DigitOnlyNumber, DigitsBeyondTheIntegerRangeAreAConversionError) {
  for (const char* text : {"2147483648", "21 474 836 48", "99999999999999999999"}) {
    EXPECT_THROW(DigitOnlyNumber(text), ConversionError) << text;
  }
}

}  // namespace
