// The chart document: its series and their category labels, its margins and the viewer that
// hears of its changes.

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "chart/model/palette.h"
#include "chartfixture.h"
#include "runtime/errors.h"

using namespace chart;

namespace {

TEST(BarGrouping, NumbersOneToThreeNameAModeAnyOtherActsAsNone) {
  const struct {
    TMultiBar number;
    BarGrouping mode;
  } cases[] = {{0, BarGrouping::None},    {1, BarGrouping::SideBySide},
               {2, BarGrouping::Stacked}, {3, BarGrouping::Stacked100},
               {4, BarGrouping::None},    {255, BarGrouping::None}};
  ChartDocument document;
  for (const auto& c : cases) {
    EXPECT_EQ(BarGroupingFromNumber(c.number), c.mode) << int(c.number);
    ChartSeries bars = document.AddSeries(SeriesKind::HorizBar);
    bars.SetMultiBar(c.number);
    EXPECT_EQ(bars.MultiBarMode(), c.mode) << int(c.number);
  }
}

// Every series' point k has label k of the chart: the first label that is not empty wins, and no
// label is lost, whichever series gives it.
TEST(CategoryLabels, FirstNonEmptyLabelWinsAndNoneIsLost) {
  const struct {
    const char* what;
    std::vector<std::pair<int, std::string>> points;  // series, label
    std::vector<std::string> labels;
  } cases[] = {
      {"the first series' label", {{0, "Jan"}, {1, "Feb"}}, {"Jan"}},
      {"an empty label leaves room", {{0, ""}, {1, "Feb"}}, {"Feb"}},
      {"each point its own", {{0, "Jan"}, {0, "Feb"}}, {"Jan", "Feb"}},
      {"a later series fills a gap", {{0, "Jan"}, {0, ""}, {1, ""}, {1, "Feb"}}, {"Jan", "Feb"}},
      {"a gap before a later label filled", {{0, ""}, {0, "Feb"}, {1, "Jan"}}, {"Jan", "Feb"}},
      {"no label at all", {{0, ""}, {0, ""}}, {}},
  };
  for (const auto& c : cases) {
    ChartDocument document;
    document.AddSeries(SeriesKind::Bar);
    document.AddSeries(SeriesKind::Line);
    for (const auto& [series, label] : c.points)
      document.GetSeries(series).Add(1, label, kAutomaticColor);
    EXPECT_EQ(document.CategoryLabels(), c.labels) << c.what;
  }
}

// A viewer of the chart hears of every change to what is drawn, once; the image size is not drawn.
TEST(OnChange, EveryChangeToWhatIsDrawnTellsTheViewerOnce) {
  ChartDocument document;
  ChartSeries series = document.AddSeries(SeriesKind::Bar);
  int told = 0;
  document.OnChange([&] { ++told; });
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"add series", [&] { document.AddSeries(SeriesKind::Line); }},
      {"add point", [&] { series.Add(2, "A", kAutomaticColor); }},
      {"series colour", [&] { series.SetSeriesColor(0x0000FF); }},
      {"series title", [&] { series.SetTitle("North"); }},
      {"series marks", [&] { series.SetMarksVisible(true); }},
      {"multi-bar", [&] { series.SetMultiBar(2); }},
      {"3D", [&] { document.SetView3D(false); }},
      {"3D percent", [&] { document.Set3DPercent(30); }},
      {"orthogonal", [&] { document.SetOrthogonal(false); }},
      {"legend", [&] { document.SetLegendVisible(true); }},
      {"number locale", [&] { document.SetNumberLocale(NumberLocale{.decimal = ","}); }},
      {"title line", [&] { document.AddTitleLine("Sales"); }},
      {"title font", [&] { document.SetTitleFontStyle({.bold = true}); }},
      {"left axis title", [&] { document.SetLeftAxisTitle("Units"); }},
      {"left axis font", [&] { document.SetLeftAxisTitleFontStyle({.italic = true}); }},
      {"bottom axis title", [&] { document.SetBottomAxisTitle("Month"); }},
      {"bottom axis font", [&] { document.SetBottomAxisTitleFontStyle({.bold = true}); }},
      {"margin", [&] { document.SetMargin(2, 10); }},
  };
  for (const auto& [what, change] : changes) {
    const int before = told;
    change();
    EXPECT_EQ(told, before + 1) << what;
  }
  const int before = told;
  document.SetWidth(900);
  document.SetHeight(700);
  EXPECT_EQ(told, before) << "the image size";
}

// The four sides keep their margins; any other index is neither kept nor read.
TEST(Margins, OnlyTheFourSidesHaveOne) {
  ChartDocument document;
  for (int side = 0; side < 4; ++side) document.SetMargin(side, 11 + side);
  for (int other : {-1, 4, 1000, std::numeric_limits<int>::min()}) document.SetMargin(other, 99);
  for (int side = 0; side < 4; ++side) EXPECT_EQ(document.Margin(side), 11 + side) << side;
  for (int other : {-1, 4, 1000}) EXPECT_EQ(document.Margin(other), 0) << other;
}

// Series are appended at the next index and found by it; no other index has one.
TEST(GetSeries, FindsEachSeriesByItsIndexAndRefusesAnyOther) {
  ChartDocument document;
  document.AddSeries(SeriesKind::Bar).SetTitle("first");
  document.AddSeries(SeriesKind::Pie).SetTitle("second");
  EXPECT_EQ(document.GetSeries(1).Title(), "second");
  EXPECT_EQ(document.GetSeries(1).Kind(), SeriesKind::Pie);
  EXPECT_EQ(document.GetSeries(0).SeriesColor(), PaletteColor(0)) << "the palette's, by index";
  EXPECT_TRUE(IsAutomaticColor(document.GetSeries(1).SeriesColor())) << "a pie's slices choose";
  for (int index : {-1, 2, 1000}) {
    try {
      document.GetSeries(index);
      ADD_FAILURE() << index;
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()),
                "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
}

}  // namespace
