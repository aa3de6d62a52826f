#include "properties/colorname.h"

#include <gtest/gtest.h>

#include <string>

using chart::Color;

namespace {

constexpr Color kFallback = 0x123456;

struct ColorCase {
  std::string name;
  Color color;
};

void PrintTo(const ColorCase& color, std::ostream* out) { *out << "'" << color.name << "'"; }

class ColorFromNameTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorFromNameTest, GivesTheNamedColourOrTheFallback) {
  EXPECT_EQ(ColorFromName(GetParam().name, kFallback), GetParam().color)
      << "'" << GetParam().name << "'";
}

INSTANTIATE_TEST_SUITE_P(
    AllNames, ColorFromNameTest,
    ::testing::Values(ColorCase{"RED", 0x0000FF}, ColorCase{"GREEN", 0x008000},
                      ColorCase{"BLUE", 0xFF0000}, ColorCase{"BLACK", 0x000000},
                      ColorCase{"YELLOW", 0x00FFFF}, ColorCase{"GRAY", 0x808080},
                      ColorCase{"DKGRAY", 0x808080}, ColorCase{"LTGRAY", 0xC0C0C0},
                      ColorCase{"WHITE", 0xFFFFFF}, ColorCase{"AQUA", 0xFFFF00},
                      ColorCase{"LIME", 0x00FF00}, ColorCase{"MAROON", 0x000080},
                      ColorCase{"NAVY", 0x800000}, ColorCase{"OLIVE", 0x008080},
                      ColorCase{"PURPLE", 0x800080}, ColorCase{"SILVER", 0xC0C0C0},
                      ColorCase{"TEAL", 0x808000}, ColorCase{"FUCHSIA", 0xFF00FF}));

INSTANTIATE_TEST_SUITE_P(Spellings, ColorFromNameTest,
                         ::testing::Values(ColorCase{"red", 0x0000FF}, ColorCase{"Red", 0x0000FF},
                                           ColorCase{"dkgray", 0x808080},
                                           ColorCase{"fuchsia", 0xFF00FF},
                                           ColorCase{" RED", kFallback},
                                           ColorCase{"RED ", kFallback},
                                           ColorCase{"DARKGRAY", kFallback},
                                           ColorCase{"GREY", kFallback}, ColorCase{"", kFallback},
                                           ColorCase{"R\xC9"
                                                     "D",
                                                     kFallback},
                                           ColorCase{"wh\xC4\xB1te", kFallback},
                                           ColorCase{"\xC5\xBF"
                                                     "ilver",
                                                     kFallback}));

}  // namespace
