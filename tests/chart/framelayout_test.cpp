// Around the plot: the frame and its margins, titles, ticks, category labels, the legend and
// the automatic colours; and which texts go first where the plot lacks room.

#include <gtest/gtest.h>

#include <QTransform>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "chart/layout/labelplacer.h"
#include "chart/layout/textfit.h"
#include "chart/model/palette.h"
#include "chartfixture.h"

using namespace chart;

namespace {

// Where the plot lacks room, the texts around it go in a fixed order: the axis titles first,
// then the category labels, the tick labels last. Over every size of a small chart, whatever is
// shown of that order, all that comes after it is shown too.
TEST(BarLayout, TextsAroundThePlotAreLeftOutInOrder) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {12000, 18500, 9100, 22400, 15000, 17250}).dataLabelsVisible = true;
  b.model.leftAxisTitle.caption = "Turnover of the regional offices in thousands";
  b.model.bottomAxisTitle.caption = "Months of the second half of the year";
  int sizes = 0, titlesOut = 0, ticksAlone = 0;
  for (int width = 100; width <= 500; width += 16) {
    for (int height = 80; height <= 400; height += 16) {
      const ChartLayout layout = b.Layout(width, height);
      if (layout.geometry.plot.isEmpty()) continue;
      ++sizes;
      std::map<TextRole, int> shown;
      for (const TextItem& item : layout.scene.texts) ++shown[item.role];
      const bool titles = shown[TextRole::AxisTitle] > 0,
                 labels = shown[TextRole::CategoryLabel] > 0,
                 ticks = shown[TextRole::TickLabel] > 0;
      titlesOut += !titles;
      ticksAlone += ticks && !labels;
      EXPECT_TRUE((!titles || labels) && (!labels || ticks))
          << width << " x " << height << ": axis titles " << titles << ", category labels "
          << labels << ", tick labels " << ticks;
    }
  }
  EXPECT_GT(sizes, 300);
  EXPECT_GT(titlesOut, 0) << "some sizes are too small for the axis titles";
  EXPECT_GT(ticksAlone, 0) << "and some for all but the tick labels";
}

TEST(CategoryLabels, TurnedThenThinnedNeverOverlapping) {
  const struct {
    int count;
    std::string label;
    bool turned, thinned;
  } cases[] = {{5, "Jan", false, false},
               {20, "A label of thirty characters..", true, false},
               {50, "Category", true, true},
               {1000, "Category", true, true}};
  for (const auto& c : cases) {
    ModelBuilder b;
    SeriesModel& series = b.Add(SeriesKind::Bar, {});
    for (int i = 0; i < c.count; ++i) b.AddPoint(series, i, c.label, kAutomaticColor);
    const ChartLayout layout = b.Layout(585, 401);
    EXPECT_EQ(layout.geometry.categoryLabelAngle > 0, c.turned) << c.count;
    EXPECT_EQ(layout.geometry.shownCategories.size() < static_cast<std::size_t>(c.count),
              c.thinned);
    // Neighbouring labels, turned by the angle, stay a text height apart.
    const double slot = layout.geometry.plot.width() / c.count;
    const double step =
        layout.geometry.shownCategories.size() > 1
            ? layout.geometry.shownCategories[1] - layout.geometry.shownCategories[0]
            : c.count;
    const double apart =
        layout.geometry.categoryLabelAngle == 0
            ? step * slot
            : step * slot * std::sin(layout.geometry.categoryLabelAngle * M_PI / 180);
    EXPECT_GE(apart, QFontMetricsF(layout.scene.fonts[FontRole::Tick]).height()) << c.count;
  }
}

TEST(Frame, MarginsArePercentOfTheChart) {
  DocumentBuilder plain;
  plain.Add(SeriesKind::Bar, {1, 2, 3});
  DocumentBuilder margins;
  margins.Add(SeriesKind::Bar, {1, 2, 3});
  margins.document.SetMargin(0, 10);
  margins.document.SetMargin(3, 20);
  margins.document.SetMargin(9, 50);  // ignored
  const ChartLayout a = plain.Layout(1000, 500), b = margins.Layout(1000, 500);
  EXPECT_NEAR(b.geometry.plot.left() - a.geometry.plot.left(), 100, 1);
  EXPECT_NEAR(a.geometry.plot.bottom() - b.geometry.plot.bottom(), 100, 1);
}

// Of either bar chart, a wide first tick label included, no text reaches into the margins that
// the host asks for, nor into the chart's own padding inside them.
TEST(Frame, NoTextReachesIntoTheMargins) {
  for (SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    DocumentBuilder b;
    ChartSeries series = b.document.AddSeries(kind);
    for (double value : {-123456.0, 5.0, 300.0}) series.Add(value, "", kAutomaticColor);
    for (int side = 0; side < 4; ++side) b.document.SetMargin(side, 10);
    const ChartLayout layout = b.Layout(600, 400);
    const QRectF inside = QRectF(60, 40, 480, 320).adjusted(6, 6, -6, -6);  // and the padding
    for (const TextItem& item : layout.scene.texts) {
      ASSERT_EQ(item.angle, 0) << item.text.toStdString();
      EXPECT_TRUE(inside.contains(item.box.translated(item.origin))) << item.text.toStdString();
    }
  }
}

TEST(Frame, EmptyTitleLinesCostAtMostASmallGap) {
  ModelBuilder none;
  none.Add(SeriesKind::Bar, {1, 2});
  ModelBuilder blank;
  blank.Add(SeriesKind::Bar, {1, 2});
  blank.model.title.lines.push_back("");
  EXPECT_EQ(none.Layout().geometry.plot, blank.Layout().geometry.plot);
  blank.model.title.lines.push_back("Sales");
  const ChartLayout layout = blank.Layout();
  const double lineHeight = QFontMetricsF(layout.scene.fonts[FontRole::Title]).height();
  ASSERT_FALSE(layout.scene.texts.empty());
  const auto title = std::find_if(layout.scene.texts.begin(), layout.scene.texts.end(),
                                  [](const TextItem& t) { return t.text == "Sales"; });
  ASSERT_NE(title, layout.scene.texts.end());
  EXPECT_LT(title->origin.y(), 6 + lineHeight / 2);
  // Between two lines, a blank one parts them by a quarter of a line.
  auto yearAt = [](const std::vector<std::string>& lines) {
    ModelBuilder b;
    b.Add(SeriesKind::Bar, {1, 2});
    b.model.title.lines = lines;
    const ChartLayout layout = b.Layout();
    return std::find_if(layout.scene.texts.begin(), layout.scene.texts.end(),
                        [](const TextItem& t) { return t.text == "2026"; })
        ->origin.y();
  };
  EXPECT_NEAR(yearAt({"Sales", "", "2026"}) - yearAt({"Sales", "2026"}), lineHeight / 4, 1);
}

TEST(Frame, EachTitleDrawsInItsOwnFontStyle) {
  ModelBuilder builder;
  builder.Add(SeriesKind::Bar, {1, 2});
  builder.model.title = {{"Sales"}, {false, true}};
  builder.model.leftAxisTitle = {"Units", {true, false}};
  builder.model.bottomAxisTitle = {"Month", {false, true}};
  const ChartLayout layout = builder.Layout();
  const auto fontOf = [&](const QString& text) {
    const auto item = std::find_if(layout.scene.texts.begin(), layout.scene.texts.end(),
                                   [&](const TextItem& t) { return t.text == text; });
    EXPECT_NE(item, layout.scene.texts.end()) << text.toStdString();
    return item == layout.scene.texts.end() ? QFont() : layout.scene.fonts[item->font];
  };
  EXPECT_FALSE(fontOf("Sales").bold());
  EXPECT_TRUE(fontOf("Sales").italic());
  EXPECT_TRUE(fontOf("Units").bold());
  EXPECT_FALSE(fontOf("Units").italic());
  EXPECT_FALSE(fontOf("Month").bold());
  EXPECT_TRUE(fontOf("Month").italic());
}

// Every value tick has its short mark just outside the plot, on the value axis: left of the
// plot of vertical bars, below the plot of horizontal ones.
TEST(Frame, EveryValueTickHasItsMarkOnTheAxis) {
  for (const SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar}) {
    ModelBuilder b;
    b.Add(kind, {10, 25, 40});
    const ChartLayout layout = b.Layout(640, 480);
    const QRectF& p = layout.geometry.plot;
    ASSERT_GE(layout.geometry.valueTicks.size(), 3u);
    for (const double v : layout.geometry.valueTicks) {
      const double share =
          (v - layout.geometry.valueMin) / (layout.geometry.valueMax - layout.geometry.valueMin);
      const bool across = kind == SeriesKind::HorizBar;
      const QPointF onAxis = across ? QPointF(p.left() + share * p.width(), p.bottom())
                                    : QPointF(p.left(), p.bottom() - share * p.height());
      const bool marked =
          std::any_of(layout.scene.strokes.begin(), layout.scene.strokes.end(), [&](auto& s) {
            const double first = QLineF(s.line.p1(), onAxis).length();
            const double second = QLineF(s.line.p2(), onAxis).length();
            const QPointF outer = first < second ? s.line.p2() : s.line.p1();
            return std::min(first, second) < 0.5 &&
                   (across ? outer.y() > p.bottom() : outer.x() < p.left());
          });
      EXPECT_TRUE(marked) << (across ? "horizontal" : "vertical") << " bars, tick " << v;
    }
  }
}

TEST(Legend, ListsSeriesOrSlicesWithTheirColours) {
  ModelBuilder bars;
  bars.model.legendVisible = true;
  bars.Add(SeriesKind::Bar, {1}).title = "Sales";
  bars.Add(SeriesKind::Bar, {2});
  const ChartLayout a = bars.Layout();
  ASSERT_EQ(a.scene.legend.size(), 2u);
  EXPECT_EQ(a.scene.legend[0].text.text, "Sales");
  EXPECT_EQ(a.scene.legend[1].text.text, "Series2");
  EXPECT_EQ(a.scene.legend[1].color, ToQColor(PaletteColor(1)));
  EXPECT_FALSE(a.geometry.plot.intersects(a.scene.legendFrame));

  ModelBuilder pie;
  pie.model.legendVisible = true;
  SeriesModel& series = pie.Add(SeriesKind::Pie, {});
  pie.AddPoint(series, 4, "North", kAutomaticColor);
  pie.AddPoint(series, 6, "South", 0x00FF00);
  const ChartLayout b = pie.Layout();
  ASSERT_EQ(b.scene.legend.size(), 2u);
  EXPECT_EQ(b.scene.legend[0].text.text, "North");
  EXPECT_EQ(b.scene.legend[1].color, QColor(0, 255, 0));
}

// An entry shows its series as drawn: in the colour its points are drawn in (the one most of them
// take where they differ, of equals the first), a stretch of line for a line series and a filled
// square for bars; the drawn image shows the same.
TEST(Legend, ShowsEachSeriesAsItIsDrawn) {
  constexpr Color kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kAuto = kAutomaticColor;
  const double nan = std::nan("");
  struct Case {
    const char* what;
    SeriesKind kind;
    Color series;
    std::vector<std::pair<double, Color>> points;
    QColor expected;
  };
  const Case cases[] = {
      {"every point red from the table",
       SeriesKind::Bar,
       kAuto,
       {{3, kRed}, {4, kRed}},
       QColor(Qt::red)},
      {"points of the table over the series colour",
       SeriesKind::Bar,
       kGreen,
       {{3, kBlue}, {4, kBlue}},
       QColor(Qt::blue)},
      {"the series colour",
       SeriesKind::HorizBar,
       kGreen,
       {{3, kAuto}, {4, kAuto}},
       QColor(Qt::green)},
      {"the palette's", SeriesKind::Bar, kAuto, {{3, kAuto}}, ToQColor(PaletteColor(0))},
      {"most points blue",
       SeriesKind::Bar,
       kAuto,
       {{3, kRed}, {4, kBlue}, {5, kBlue}},
       QColor(Qt::blue)},
      {"as many of each: the first",
       SeriesKind::Bar,
       kAuto,
       {{3, kBlue}, {4, kRed}},
       QColor(Qt::blue)},
      {"a point without a value is not drawn",
       SeriesKind::Bar,
       kAuto,
       {{nan, kRed}, {4, kBlue}},
       QColor(Qt::blue)},
      {"a line of the palette's",
       SeriesKind::Line,
       kAuto,
       {{3, kAuto}, {4, kAuto}},
       ToQColor(PaletteColor(0))},
      {"a line of blue points",
       SeriesKind::Line,
       kGreen,
       {{3, kBlue}, {4, kBlue}},
       QColor(Qt::blue)},
  };
  for (const Case& c : cases) {
    ModelBuilder b;
    b.model.legendVisible = true;
    SeriesModel& series = b.Add(c.kind, {}, c.series);
    series.color = c.series;
    for (const auto& [value, colour] : c.points) b.AddPoint(series, value, "", colour);
    const ChartLayout layout = b.Layout(640, 400);
    ASSERT_EQ(layout.scene.legend.size(), 1u) << c.what;
    const LegendItem& entry = layout.scene.legend.front();
    EXPECT_EQ(entry.color, c.expected) << c.what;
    const bool line = c.kind == SeriesKind::Line;
    EXPECT_EQ(entry.sample, line ? LegendSample::Line : LegendSample::Square) << c.what;
    // A square fills its swatch to the corner; a line crosses its middle only.
    const QImage image = b.Render(640, 400);
    const QPoint middle = entry.swatch.center().toPoint();
    bool drawn = false;
    for (int dy = -1; dy <= 1; ++dy)
      drawn |= image.pixelColor(middle + QPoint(0, dy)) == c.expected;
    EXPECT_TRUE(drawn) << c.what;
    const QPoint corner = (entry.swatch.topLeft() + QPointF(2, 2)).toPoint();
    EXPECT_EQ(image.pixelColor(corner), line ? QColor(Qt::white) : c.expected) << c.what;
  }
}

// A pie of many slices: entries in their order, texts that stay apart where there is room for a
// few letters, and where the chart has no room for them all a last line that counts the rest.
TEST(Legend, APieOfManySlicesListsThemInOrderAndCountsTheRest) {
  ModelBuilder pie;
  pie.model.legendVisible = true;
  SeriesModel& series = pie.Add(SeriesKind::Pie, {});
  for (int i = 0; i < 60; ++i) {
    pie.AddPoint(series, 60 - i, "Product line number " + std::to_string(i + 1), kAutomaticColor);
  }
  for (QSizeF size : {QSizeF(720, 450), QSizeF(300, 200)}) {
    const ChartLayout layout = pie.Layout(size.width(), size.height());
    ASSERT_FALSE(layout.scene.legend.empty());
    std::set<QString> texts;
    for (std::size_t i = 0; i < layout.scene.legend.size(); ++i) {
      const LegendItem& item = layout.scene.legend[i];
      if (item.entry < 0) {
        EXPECT_EQ(i + 1, layout.scene.legend.size()) << "the count comes last";
        EXPECT_TRUE(item.text.text.contains(QString::number(60 - static_cast<int>(i))));
        continue;
      }
      EXPECT_EQ(item.entry, static_cast<int>(i));
      EXPECT_FALSE(item.text.text.isEmpty());
      texts.insert(item.text.text);
    }
    if (size.width() > 600) {
      EXPECT_EQ(texts.size(), layout.scene.legend.size()) << "every entry says which slice it is";
    }
  }
  EXPECT_EQ(pie.Layout(720, 450).scene.legend.size(), 60u) << "a large chart lists them all";
}

TEST(Defaults, PaletteAndMarksByKind) {
  DocumentBuilder b;
  ChartSeries bar = b.Add(SeriesKind::Bar, {1});
  ChartSeries line = b.Add(SeriesKind::Line, {1});
  ChartSeries pie = b.Add(SeriesKind::Pie, {1, 2, 3});
  EXPECT_EQ(bar.SeriesColor(), PaletteColor(0));
  EXPECT_EQ(line.SeriesColor(), PaletteColor(1));
  EXPECT_TRUE(IsAutomaticColor(pie.SeriesColor()));
  EXPECT_TRUE(bar.MarksVisible());
  EXPECT_FALSE(line.MarksVisible());
  EXPECT_TRUE(pie.MarksVisible());
  EXPECT_NE(ResolvePointColor(pie.Data(), 0), ResolvePointColor(pie.Data(), 1));
  EXPECT_EQ(ResolvePointColor(pie.Data(), 2), PaletteColor(2));
  pie.SetSeriesColor(0x0000FF);
  EXPECT_EQ(ResolvePointColor(pie.Data(), 1), 0x0000FFu)
      << "automatic points take the series colour";
}

// Thirty series stand apart by colour, and no two neighbouring slices of a pie share one, the
// last and the first included, with slices of zero (which are not drawn) between any of them.
TEST(Defaults, NeighbouringSlicesAndThirtySeriesNeverShareAnAutomaticColour) {
  std::set<Color> thirty;
  for (int i = 0; i < 30; ++i) thirty.insert(PaletteColor(i));
  EXPECT_EQ(thirty.size(), 30u);
  for (int count = 2; count <= 61; ++count) {
    for (int zeroEvery : {0, 2, 9}) {
      SeriesModel pie;
      pie.kind = SeriesKind::Pie;
      for (int i = 0; i < count; ++i)
        pie.points.push_back({zeroEvery > 0 && i % zeroEvery == 1 ? 0.0 : 1.0, kAutomaticColor});
      const std::vector<Color> colors = PointColors(pie);
      std::vector<Color> drawn;
      for (int i = 0; i < count; ++i) {
        if (pie.points[i].value != 0) drawn.push_back(colors[i]);
      }
      for (std::size_t k = 0; k < drawn.size() && drawn.size() > 1; ++k) {
        EXPECT_NE(drawn[k], drawn[(k + 1) % drawn.size()])
            << count << " slices, zero every " << zeroEvery << ", slice " << k;
      }
    }
  }
  // Colours that the tables give stay as given, also where neighbours share them: the slices'
  // own, and the series' colour that its slices without one take.
  constexpr Color kRed = 0x0000FF, kBlue = 0xFF0000;  // 0x00BBGGRR
  SeriesModel given;
  given.kind = SeriesKind::Pie;
  given.points = {{1, kRed}, {2, kRed}, {3, kAutomaticColor}, {4, kAutomaticColor}};
  EXPECT_EQ(PointColors(given), std::vector<Color>({kRed, kRed, PaletteColor(2), PaletteColor(3)}));
  given.color = kBlue;
  EXPECT_EQ(PointColors(given), std::vector<Color>({kRed, kRed, kBlue, kBlue}));
}

}  // namespace
