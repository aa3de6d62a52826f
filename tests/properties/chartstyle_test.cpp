// The one reading of a chart style: the kind of chart it names and its multi-bar item.

#include "properties/chartstyle.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using chart::SeriesKind;

namespace {

struct StyleCase {
  std::string style;  // as the property pass stored it: trimmed and upper-cased
  std::optional<SeriesKind> kind;
  std::optional<std::string> multiBarItem;
};

TEST(ParseChartStyle, NamesTheKindAndTheModeItemOfEveryStyle) {
  const std::optional<std::string> none;
  const StyleCase cases[] = {
      {"PIE", SeriesKind::Pie, none},
      {"LINE", SeriesKind::Line, none},
      {"PIE;2", std::nullopt, none},   // neither the whole word nor holding "BAR"
      {"LINE;2", std::nullopt, none},  //
      {"NONE", std::nullopt, none},
      {"", std::nullopt, none},
      {"pie", std::nullopt, none},  // exact: the pass upper-cases before
      {"VERTBAR", SeriesKind::Bar, none},
      {"VERTBAR;2", SeriesKind::Bar, "2"},
      {"VERTBAR; x ", SeriesKind::Bar, "x"},  // read as a number only by series creation
      {";VERTBAR;3", SeriesKind::Bar, "3"},   // delimiters at either end are dropped
      {"VERTBAR;", SeriesKind::Bar, none},
      {"VERTBAR;2;1", SeriesKind::Bar, none},  // a mode only with exactly two items
      {"VERTBAR;;2", SeriesKind::Bar, none},   // an inner empty item counts
      {"BAR", SeriesKind::HorizBar, none},
      {"BAR;1", SeriesKind::HorizBar, "1"},
      {"HBAR", SeriesKind::HorizBar, none},
      {"CROWBAR", SeriesKind::HorizBar, none},
      {"VERTBARS;2", SeriesKind::HorizBar, "2"},  // first item not exactly "VERTBAR"
      {"PIE;BAR", SeriesKind::HorizBar, "BAR"},
  };
  for (const StyleCase& c : cases) {
    const ChartStyle parsed = ParseChartStyle(c.style);
    EXPECT_EQ(parsed.kind, c.kind) << "'" << c.style << "'";
    EXPECT_EQ(parsed.multiBarItem, c.multiBarItem) << "'" << c.style << "'";
  }
}

}  // namespace
