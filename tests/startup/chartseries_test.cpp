// Series creation from the run's options, on a chart document.

#include "startup/chartseries.h"

#include <gtest/gtest.h>

#include "chart/document/chartdocument.h"
#include "properties/chartoptions.h"
#include "runtime/errors.h"

using namespace chart;

namespace {

struct StyleCase {
  std::string style;
  int count;
  bool dataLabels;
  SeriesKind kind;
  TMultiBar multiBar;  // bar series only
  int leftMargin;
};

void PrintTo(const StyleCase& c, std::ostream* out) { *out << "'" << c.style << "' x" << c.count; }

class SeriesPerStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(SeriesPerStyle, CreatesOneSeriesPerDataSetOfTheStylesClass) {
  const StyleCase& c = GetParam();
  ChartDocument chart;
  ChartOptions options;
  options.chartStyle = ParseChartStyle(c.style);
  options.dataSetCount = c.count;
  options.dataLabels = c.dataLabels;
  CreateDataSetSeries(options, PlanDataSetSeries(options, "P.DBF"), chart);
  ASSERT_EQ(chart.SeriesCount(), c.count);
  for (int i = 0; i < c.count; ++i) {
    const ChartSeries series = chart.GetSeries(i);
    EXPECT_EQ(series.Kind(), c.kind) << i;
    const bool bar = IsBar(c.kind);
    EXPECT_EQ(series.MarksVisible(), c.kind != SeriesKind::Line && (!bar || c.dataLabels));
    if (bar) {
      EXPECT_EQ(series.MultiBarMode(), BarGrouping(c.multiBar));
    }
  }
  EXPECT_EQ(chart.Margin(0), c.leftMargin);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SeriesPerStyle,
    ::testing::Values(StyleCase{"PIE", 1, false, SeriesKind::Pie, 0, 5},
                      StyleCase{"PIE", 3, false, SeriesKind::Pie, 0, 0},
                      StyleCase{"LINE", 2, true, SeriesKind::Line, 0, 0},
                      StyleCase{"VERTBAR", 2, false, SeriesKind::Bar, 0, 0},
                      StyleCase{"VERTBAR;2", 3, true, SeriesKind::Bar, 2, 0},
                      StyleCase{"VERTBAR; 3 ", 1, false, SeriesKind::Bar, 3, 0},
                      StyleCase{"VERTBAR;2;1", 2, false, SeriesKind::Bar, 0, 0},
                      StyleCase{"VERTBAR;-255", 1, false, SeriesKind::Bar, 1, 0},
                      StyleCase{"BAR", 10, false, SeriesKind::HorizBar, 0, 0},
                      StyleCase{"BAR;1", 2, true, SeriesKind::HorizBar, 1, 0},
                      StyleCase{"CROWBAR", 1, false, SeriesKind::HorizBar, 0, 0},
                      StyleCase{"VERTBARS;2", 1, false, SeriesKind::HorizBar, 2, 0}));

TEST(SeriesColorsAndTitles, ApplyToTheSeriesOfTheirDataSetsOnly) {
  ChartDocument chart;
  ChartOptions options;
  options.chartStyle = ParseChartStyle("LINE");
  options.dataSetCount = 3;
  options.dataSetColors = {"red", "DARKGRAY", "", "BLUE"};
  options.dataSetTitles = {"North", "", "West", "Fourth"};
  CreateDataSetSeries(options, PlanDataSetSeries(options, "P.DBF"), chart);
  ASSERT_EQ(chart.SeriesCount(), 3);
  EXPECT_EQ(chart.GetSeries(0).SeriesColor(), 0x0000FFu);
  for (int unnamed : {1, 2}) {
    EXPECT_FALSE(IsAutomaticColor(chart.GetSeries(unnamed).SeriesColor()))
        << "keeps the colour the chart gave it";
  }
  EXPECT_NE(chart.GetSeries(1).SeriesColor(), chart.GetSeries(2).SeriesColor());
  EXPECT_EQ(chart.GetSeries(0).Title(), "North");
  EXPECT_EQ(chart.GetSeries(1).Title(), "");
  EXPECT_EQ(chart.GetSeries(2).Title(), "West");
}

TEST(SeriesOfBars, AModeThatIsNotAnIntegerFailsInThePlanBeforeAnySeriesExists) {
  for (const std::string style : {"VERTBAR;x", "BAR;1.5", "VERTBAR;2 1"}) {
    ChartDocument chart;
    ChartOptions options;
    options.chartStyle = ParseChartStyle(style);
    options.chartStyleRecord = 4;
    options.dataSetCount = 2;
    try {
      CreateDataSetSeries(options, PlanDataSetSeries(options, "P.DBF"), chart);
      ADD_FAILURE() << style << ": no failure";
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what())
                    .rfind("P.DBF, record 4, field value item 2 (multi-bar mode): '", 0),
                0u)
          << error.what();
    }
    EXPECT_EQ(chart.SeriesCount(), 0) << style;
  }
}

}  // namespace
