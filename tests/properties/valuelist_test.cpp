#include "properties/valuelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/errors.h"

namespace {

struct SplitCase {
  std::string value;
  int count;
  std::vector<std::string> entries;  // entries 1.. as they must stand after the split
};

void PrintTo(const SplitCase& split, std::ostream* out) { *out << "'" << split.value << "'"; }

std::string BlankPieces() {
  std::string value;
  for (int i = 0; i < 50; ++i) value += "; ";
  return value;
}

class SplitValueListTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitValueListTest, CountsAndStoresThePieces) {
  const SplitCase& split = GetParam();
  ValueList list;
  EXPECT_EQ(SplitValueList(split.value, list), split.count);
  for (std::size_t i = 0; i < split.entries.size(); ++i) {
    EXPECT_EQ(list.Entry(int(i) + 1), split.entries[i]) << "entry " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, SplitValueListTest,
    ::testing::Values(
        SplitCase{"Title;100;200;Arial;12;BI", 6, {"Title", "100", "200", "Arial", "12", "BI"}},
        SplitCase{" 10 ; 20 ;30;40 ", 4, {"10", "20", "30", "40"}},
        SplitCase{";;a;b;;", 2, {"a", "b", " ", " ", ""}},
        SplitCase{"a;;b", 3, {"a", "", "b", " "}}, SplitCase{"a; ;", 1, {"a", " "}},
        SplitCase{"; ;a", 2, {"", "a", " "}}, SplitCase{"BAR;2", 2, {"BAR", "2"}},
        SplitCase{"5", 1, {"5", " ", " ", " "}}, SplitCase{"\t x \r", 1, {"x"}},
        SplitCase{"10;10", 2, {"10", "10", " ", " "}},
        SplitCase{"\xE4\xF6;\xFC", 2, {"\xE4\xF6", "\xFC"}},
        SplitCase{
            "1;2;3;4;5;6;7;8;9;10;11;12", 12, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        SplitCase{std::string(50, ';') + "a" + std::string(49, ';'), 1, {"a"}},
        // 100 characters of "; ": every piece is blank, none is stored past entry 10.
        SplitCase{BlankPieces(), 48, std::vector<std::string>(10, "")},
        SplitCase{"x" + BlankPieces() + "y", 51, {"x", "", "", "", "", "", "", "", "", ""}},
        SplitCase{
            "a" + std::string(98, ';') + "b", 99, {"a", "", "", "", "", "", "", "", "", ""}}));

TEST(SplitValueList, LaterSplitKeepsEntriesFiveToTenAndBlanksOneToFour) {
  ValueList list;
  SplitValueList("a;b;c;d;e;f", list);
  EXPECT_EQ(SplitValueList("x", list), 1);
  EXPECT_EQ(list.Entry(1), "x");
  for (int n = 2; n <= 4; ++n) EXPECT_EQ(list.Entry(n), " ");
  EXPECT_EQ(list.Entry(5), "e");
  EXPECT_EQ(list.Entry(6), "f");
  EXPECT_EQ(list.Entry(7), "");
}

TEST(SplitValueList, EmptyOrDelimiterOnlyValueIsARangeError) {
  for (const std::string& value :
       std::vector<std::string>{"", "   ", ";;;", " ; ", std::string(100, ';')}) {
    ValueList list;
    list.Entry(5) = "kept";
    EXPECT_THROW(SplitValueList(value, list), ERangeError) << "'" << value << "'";
    EXPECT_EQ(list.Entry(1), " ");
    EXPECT_EQ(list.Entry(4), " ");
    EXPECT_EQ(list.Entry(5), "kept");
  }
}

}  // namespace
