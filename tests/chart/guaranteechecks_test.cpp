// The layout check itself: each kind of fault that the guarantees of layoutguarantees.h are
// for, put into a sound layout by hand, is found and named, from texts pushed out or on each
// other to numbers a reader would misread and a larger chart that shows less.

#include "layoutcheck/guaranteechecks.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <algorithm>

#include "chartfixture.h"
#include "layoutcheck/layoutguarantees.h"

using namespace chart;

namespace {

// The check itself finds what it is for: a text pushed out, two texts on each other, a series
// hidden behind another, a bar out of the plot, an axis that leaves most of its length empty,
// ticks unevenly spaced or by a step that is not 1, 2 or 5, a pie not drawn or its legend in the
// wrong order.
TEST(LayoutGuarantees, TheCheckFindsEachKindOfFault) {
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {10, 20, 30});
  b.Add(SeriesKind::Bar, {5, 6, 7});
  b.model.legendVisible = true;
  const ChartModel model = b.Model();
  const ChartLayout good = LayoutOf(model, 640, 480);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(model, good)), "");
  ASSERT_GE(good.scene.texts.size(), 2u);

  auto breaks = [&](const ChartLayout& layout, Guarantee guarantee) {
    const auto broken = BrokenGuarantees(model, layout);
    return std::any_of(broken.begin(), broken.end(),
                       [&](const BrokenGuarantee& one) { return one.guarantee == guarantee; });
  };
  ChartLayout out = good;  // named with its control characters written out
  out.scene.texts.front().origin += QPointF(-2000, 0);
  out.scene.texts.front().text = "Sales\n2026";
  EXPECT_NE(DescribeBroken(BrokenGuarantees(model, out)).find("\"Sales\\x0A2026\" reaches out"),
            std::string::npos);

  ChartLayout onTop = good;
  onTop.scene.texts[1].origin = onTop.scene.texts[0].origin;
  onTop.scene.texts[1].box = onTop.scene.texts[0].box;
  onTop.scene.texts[1].align = onTop.scene.texts[0].align;
  EXPECT_TRUE(breaks(onTop, Guarantee::TextsApart));

  ChartLayout hidden = good;  // the first series' faces drawn behind a wall of the second's colour
  Face wall{QPolygonF(hidden.geometry.plot), Qt::black, Qt::black, false, 1};
  hidden.scene.faces.push_back(wall);
  EXPECT_TRUE(breaks(hidden, Guarantee::SeriesVisible));

  ChartLayout lost = good;
  lost.scene.legend.pop_back();
  EXPECT_TRUE(breaks(lost, Guarantee::LegendComplete));

  ChartLayout wide = good;
  wide.geometry.valueMax = 1000;
  EXPECT_TRUE(breaks(wide, Guarantee::AxisFits));
  ChartLayout none = good;
  none.geometry.valueMax = none.geometry.valueMin;
  EXPECT_NE(DescribeBroken(BrokenGuarantees(model, none)).find("the value axis has no length"),
            std::string::npos);

  for (const double beyond :
       {good.geometry.valueMax + 10, good.geometry.valueMin - 10}) {  // a tick off either end
    ChartLayout off = good;
    off.geometry.valueTicks.push_back(beyond);
    EXPECT_NE(DescribeBroken(BrokenGuarantees(model, off)).find("lies off the axis"),
              std::string::npos)
        << beyond;
  }

  ChartLayout uneven = good;  // a tick a third of a step off its place
  ASSERT_GE(uneven.geometry.valueTicks.size(), 3u);
  uneven.geometry.valueTicks[1] +=
      (uneven.geometry.valueTicks[2] - uneven.geometry.valueTicks[1]) / 3;
  EXPECT_TRUE(breaks(uneven, Guarantee::AxisFits));
  // A pie not drawn; a pie's legend whose line that counts the entries left out is not its last.
  ModelBuilder p;
  p.Add(SeriesKind::Pie, {50, 30, 10, 5, 5});
  p.model.legendVisible = true;
  const ChartLayout pie = p.Layout(800, 600);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(p.Model(), pie)), "");
  ChartLayout noSlices = pie;
  noSlices.geometry.pies.front().slices.clear();
  EXPECT_NE(DescribeBroken(BrokenGuarantees(p.Model(), noSlices)).find("pie 0 is not drawn"),
            std::string::npos);
  ChartLayout countFirst = pie;
  LegendItem count = countFirst.scene.legend.back();
  count.entry = -1;
  countFirst.scene.legend.pop_back();
  countFirst.scene.legend.insert(countFirst.scene.legend.begin(), count);
  const auto broken = BrokenGuarantees(p.Model(), countFirst);
  EXPECT_TRUE(std::any_of(broken.begin(), broken.end(), [](const BrokenGuarantee& one) {
    return one.guarantee == Guarantee::LegendComplete;
  }));

  ChartLayout outOfPlot = good;  // a bar drawn above the plot
  outOfPlot.geometry.bars.front().front.translate(0, -outOfPlot.geometry.plot.height());
  EXPECT_NE(
      DescribeBroken(BrokenGuarantees(model, outOfPlot)).find("a bar reaches out of the plot"),
      std::string::npos);

  ChartLayout odd = good;  // evenly spaced, by a step of 3
  odd.geometry.valueTicks.clear();
  for (double tick = 0; tick <= odd.geometry.valueMax; tick += 3)
    odd.geometry.valueTicks.push_back(tick);
  EXPECT_NE(DescribeBroken(BrokenGuarantees(model, odd)).find("the tick step is not 1, 2 or 5"),
            std::string::npos);

  // A line on the outermost pixel row, as a leader of a pie's mark ran there.
  ChartLayout edge = good;
  edge.scene.strokes.push_back(
      {QLineF(10, good.scene.size.height() - 0.5, 50, good.scene.size.height() - 0.5), Qt::gray});
  EXPECT_TRUE(breaks(edge, Guarantee::OffTheEdge));

  // More room that shows less: a legend entry left out, an entry and a title shortened, fewer
  // category labels, fewer ticks; the same layout twice loses nothing.
  EXPECT_EQ(DescribeBroken(LostWithMoreRoom(good, good)), "");
  const auto loses = [&](const ChartLayout& larger, const std::string& what) {
    return DescribeBroken(LostWithMoreRoom(good, larger)).find(what) != std::string::npos;
  };
  ChartLayout fewerEntries = good;
  fewerEntries.scene.legend.pop_back();
  EXPECT_TRUE(loses(fewerEntries, "left out with more room"));
  ChartLayout shortened = good;
  shortened.scene.legend.front().text.fullText = shortened.scene.legend.front().text.text;
  shortened.scene.legend.front().text.text = "S\u2026";
  EXPECT_TRUE(loses(shortened, "shortened with more room"));
  ChartLayout thinned = good;
  thinned.geometry.shownCategories.pop_back();
  EXPECT_TRUE(loses(thinned, "category labels shown: 2 with more room, 3 with less"));
  ChartLayout fewerTicks = good;  // a scale of two ticks where there were more than three
  ASSERT_GT(good.geometry.valueTicks.size(), 3u);
  fewerTicks.geometry.valueTicks.resize(2);
  EXPECT_TRUE(loses(fewerTicks, "value ticks"));
  ChartLayout fewerLabels = good;  // a data set's label left out, another's shown in part
  const auto label = std::find_if(fewerLabels.scene.texts.begin(), fewerLabels.scene.texts.end(),
                                  [](const TextItem& t) { return t.role == TextRole::DataLabel; });
  ASSERT_NE(label, fewerLabels.scene.texts.end());
  const int series = label->series;
  fewerLabels.scene.texts.erase(label);
  EXPECT_TRUE(loses(fewerLabels, "data labels of series " + std::to_string(series) + " shown: "));
  ChartLayout partLabel = good;
  for (TextItem& text : partLabel.scene.texts) {
    if (text.role == TextRole::DataLabel) text.fullText = "Whole: " + text.text;
  }
  EXPECT_TRUE(loses(partLabel, " shown whole: 0 with more room"));
  // Axis titles given up with more room are lost, but not beside a chart too small to draw its
  // plot, which showed no axis texts.
  ChartLayout noTitles = good;
  noTitles.omitted.axisTitlesLeftOut = true;
  EXPECT_TRUE(loses(noTitles, "axis titles left out: 1 with more room, 0 with less"));
  ChartLayout noPlot = good;
  noPlot.geometry.plot = QRectF();
  EXPECT_EQ(DescribeBroken(LostWithMoreRoom(noPlot, noTitles)), "");
}

// The same for what a reader reads off the chart: a data label moved onto another bar, a bar
// hidden under another or under the legend, a tick label of other decimals or of a wrong number, a
// label left out where it fits, and a pie that labels a small slice but not a larger one.
TEST(LayoutGuarantees, TheCheckFindsEachFaultOfTheNumbers) {
  ModelBuilder b;
  for (int s = 0; s < 2; ++s) {
    SeriesModel& series = b.Add(SeriesKind::Bar, {1200.5 + s, 2300, 1800, 950});
    series.barGrouping = BarGrouping::SideBySide;
  }
  b.model.numbers = NumberLocaleOf(QLocale("de_DE"));
  const ChartModel& model = b.Model();
  const ChartLayout good = LayoutOf(model, 800, 600);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(model, good)), "");
  auto breaks = [](const ChartModel& chart, const ChartLayout& layout, Guarantee guarantee) {
    const auto broken = BrokenGuarantees(chart, layout);
    return std::any_of(broken.begin(), broken.end(),
                       [&](const BrokenGuarantee& one) { return one.guarantee == guarantee; });
  };
  auto bar = [](const ChartLayout& layout, int series, int point) {
    return std::find_if(
               layout.geometry.bars.begin(), layout.geometry.bars.end(),
               [&](const BarBox& box) { return box.series == series && box.point == point; })
        ->front;
  };

  ChartLayout onOther = good;  // the first bar's label in the middle of the second series' bar
  TextItem* moved = DataLabelOf(onOther, 0, 0);
  ASSERT_NE(moved, nullptr);
  moved->angle = 0;
  moved->origin = bar(good, 1, 1).center() - moved->box.center();
  EXPECT_TRUE(breaks(model, onOther, Guarantee::TextOffData));

  ChartLayout covered = good;  // a face of the second series drawn over the first bar
  covered.scene.faces.push_back(
      {QPolygonF(bar(good, 0, 2)), Qt::black, Qt::black, false, 1, false, 2});
  EXPECT_TRUE(breaks(model, covered, Guarantee::ValueShows));
  ChartLayout underLegend = good;  // the legend over the whole of a bar
  underLegend.scene.legendFrame = bar(good, 0, 2).adjusted(-2, -2, 2, 2);
  EXPECT_TRUE(breaks(model, underLegend, Guarantee::ValueShows));

  ChartLayout decimals = good;
  for (TextItem& item : decimals.scene.texts) {
    if (item.role == TextRole::TickLabel && item.text != "0") {
      item.text += ",5";
      break;
    }
  }
  EXPECT_TRUE(breaks(model, decimals, Guarantee::AxisNumbers));
  ChartLayout wrong = good;
  for (TextItem& item : wrong.scene.texts) {
    if (item.role == TextRole::TickLabel && item.text != "0") {
      item.text = "1" + item.text;
      break;
    }
  }
  EXPECT_TRUE(breaks(model, wrong, Guarantee::AxisNumbers));

  // A label left out where it fits, beside and in a stack.
  ModelBuilder stack = b;
  for (SeriesModel& series : stack.model.series) series.barGrouping = BarGrouping::Stacked;
  for (const ChartModel* chart : {&model, &stack.Model()}) {
    ChartLayout lost = LayoutOf(*chart, 800, 600);
    ASSERT_EQ(DescribeBroken(BrokenGuarantees(*chart, lost)), "");
    lost.scene.texts.erase(
        std::find_if(lost.scene.texts.begin(), lost.scene.texts.end(),
                     [](const TextItem& t) { return t.role == TextRole::DataLabel; }));
    EXPECT_TRUE(breaks(*chart, lost, Guarantee::LabelsPresent));
  }

  // The same in 3D for a single series of bars a few pixels wide each, whatever its multi-bar
  // mode: one depth row needs no more room per category than a flat chart does.
  for (BarGrouping mode : {BarGrouping::None, BarGrouping::SideBySide}) {
    ModelBuilder narrow;
    narrow.Add(SeriesKind::Bar, std::vector<double>(80, 10)).barGrouping = mode;
    narrow.model.view3D = true;
    const ChartLayout deep = narrow.Layout(800, 600);
    ASSERT_EQ(DescribeBroken(BrokenGuarantees(narrow.Model(), deep)), "");
    ASSERT_LT(bar(deep, 0, 40).width(), 14);
    ChartLayout hiddenBar = deep;
    const QRectF front = bar(deep, 0, 40);
    const QRectF whole =
        front.united(front.translated(deep.geometry.depthOffset)).adjusted(-1, -1, 1, 1);
    hiddenBar.scene.faces.push_back({QPolygonF(whole), Qt::black, Qt::black, false, 1, false, 0});
    EXPECT_TRUE(breaks(narrow.Model(), hiddenBar, Guarantee::ValueShows)) << int(mode);
  }
  // Flat bars of two series laid over each other: each value keeps pixels of its own too.
  ModelBuilder overlaid;
  for (double base : {10, 5}) overlaid.Add(SeriesKind::Bar, {base, base + 10, base + 20});
  const ChartLayout flat = overlaid.Layout(800, 600);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(overlaid.Model(), flat)), "");
  ChartLayout behind = flat;
  const QRectF back = bar(flat, 0, 1).adjusted(-1, -1, 1, 1);
  behind.scene.faces.push_back({QPolygonF(back), Qt::black, Qt::black, false, 1, false, 2});
  EXPECT_TRUE(breaks(overlaid.Model(), behind, Guarantee::ValueShows));

  // A zero's mark left out, drawn in another colour, or standing off the zero line; flat and in
  // 3D, beside and in depth rows.
  for (const bool deep : {false, true}) {
    for (const BarGrouping mode : {BarGrouping::SideBySide, BarGrouping::None}) {
      ModelBuilder zeros;
      for (double sign : {1, -1}) {
        zeros.Add(SeriesKind::Bar, {sign * 1200, 0, sign * 300}).barGrouping = mode;
      }
      zeros.model.view3D = deep;
      const ChartLayout laid = zeros.Layout(800, 600);
      const std::string what =
          std::string(deep ? "3D" : "flat") + " mode " + std::to_string(static_cast<int>(mode));
      ASSERT_EQ(DescribeBroken(BrokenGuarantees(zeros.Model(), laid)), "") << what;
      ChartLayout unmarked = laid;
      std::erase_if(unmarked.geometry.bars, [](const BarBox& b) { return b.point == 1; });
      EXPECT_TRUE(breaks(zeros.Model(), unmarked, Guarantee::ValueRead)) << what;
      ChartLayout recoloured = laid;
      for (Face& face : recoloured.scene.faces) face.fill = face.point == 1 ? Qt::black : face.fill;
      EXPECT_TRUE(breaks(zeros.Model(), recoloured, Guarantee::ValueRead)) << what;
      if (deep || mode != BarGrouping::SideBySide) continue;
      ChartLayout off = laid;
      for (BarBox& box : off.geometry.bars) {
        if (box.point == 1) box.front.translate(0, -30);
      }
      EXPECT_TRUE(breaks(zeros.Model(), off, Guarantee::ValueRead)) << what;
      ChartLayout unlabelled = laid;  // "0" is read like any other value
      std::erase_if(unlabelled.scene.texts, [](const TextItem& t) {
        return t.role == TextRole::DataLabel && t.point == 1 && t.text == "0";
      });
      ASSERT_LT(unlabelled.scene.texts.size(), laid.scene.texts.size());
      EXPECT_TRUE(breaks(zeros.Model(), unlabelled, Guarantee::LabelsPresent)) << what;
    }
  }

  ModelBuilder p;
  p.Add(SeriesKind::Pie, {50, 30, 10, 5, 5});
  const ChartLayout pie = p.Layout(800, 600);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(p.Model(), pie)), "");
  ChartLayout smallerOnly = pie;  // the label of the largest slice on the left left out
  smallerOnly.scene.texts.erase(std::find_if(
      smallerOnly.scene.texts.begin(), smallerOnly.scene.texts.end(),
      [](const TextItem& t) { return t.role == TextRole::DataLabel && t.point == 1; }));
  EXPECT_TRUE(breaks(p.Model(), smallerOnly, Guarantee::LabelsPresent));
  ChartLayout crossed = pie;  // and its label sent to the other side, where it had a place
  TextItem* across = DataLabelOf(crossed, 0, 1);
  ASSERT_NE(across, nullptr);
  across->origin.setX(pie.geometry.pies.front().center.x() + pie.geometry.pies.front().radiusX +
                      20);
  EXPECT_NE(DescribeBroken(BrokenGuarantees(p.Model(), crossed)).find("sends a label across"),
            std::string::npos);
  ChartLayout pieUnderLegend = pie;  // the legend over the whole pie: no slice shows
  const PieGeometry& disc = pie.geometry.pies.front();
  pieUnderLegend.scene.legendFrame =
      QRectF(disc.center - QPointF(disc.radiusX, disc.radiusY),
             QSizeF(2 * disc.radiusX, 2 * disc.radiusY + disc.thickness))
          .adjusted(-2, -2, 2, 2);
  EXPECT_TRUE(breaks(p.Model(), pieUnderLegend, Guarantee::ValueShows));

  // One number style: a label not grouped as the ticks are, a label of other decimals than its
  // series' others, a label that ignores the axis' scale note, a 100 % axis without its "%".
  const auto styleBreak = [](const ChartModel& chart, const ChartLayout& layout) {
    return DescribeBroken(BrokenGuarantees(chart, layout));
  };
  auto relabelled = [](ChartLayout layout, int series, int point, const QString& text) {
    TextItem* label = DataLabelOf(layout, series, point);
    EXPECT_NE(label, nullptr);
    if (label) label->text = text;
    return layout;
  };
  ASSERT_EQ(DataLabelOf(good, 0, 1)->text, "2.300,0");
  EXPECT_NE(styleBreak(model, relabelled(good, 0, 1, "2300,0"))
                .find("(xii) one number style: grouping: \"2300,0\" is not grouped"),
            std::string::npos);
  EXPECT_NE(
      styleBreak(model, relabelled(good, 0, 2, "1.800")).find("(xii) one number style: decimals"),
      std::string::npos);
  ModelBuilder billions;
  billions.Add(SeriesKind::Bar, {7199900000, 3e9, 5.5e9});
  billions.model.numbers = b.model.numbers;
  const ChartLayout scaled = billions.Layout(800, 600);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(billions.Model(), scaled)), "");
  ASSERT_NE(DataLabelOf(scaled, 0, 0), nullptr);
  const QString short7 = DataLabelOf(scaled, 0, 0)->text;  // one decimal more than the ticks
  EXPECT_TRUE(short7 == "7,2" || short7 == "7,20") << short7.toStdString();
  EXPECT_NE(styleBreak(billions.Model(), relabelled(scaled, 0, 0, "7.199.900.000"))
                .find("(xii) one number style: scale note"),
            std::string::npos);
  ModelBuilder shares = b;
  for (SeriesModel& series : shares.model.series) series.barGrouping = BarGrouping::Stacked100;
  ChartLayout percent = shares.Layout(800, 600);
  ASSERT_EQ(DescribeBroken(BrokenGuarantees(shares.Model(), percent)), "");
  std::erase_if(percent.scene.texts,
                [](const TextItem& t) { return t.role == TextRole::ScaleNote; });
  EXPECT_NE(styleBreak(shares.Model(), percent).find("(xii) one number style: percent"),
            std::string::npos);
}

}  // namespace
