// Labels over generated charts: a pie's leaders cross no disc and no other leader, and every
// value of 3D bars in rows has its label, also where a longer bar in front hides its end.

#include <gtest/gtest.h>

#include <QLineF>
#include <cmath>

#include "chart/model/palette.h"
#include "chartfixture.h"
#include "generatedcharts.h"

using namespace chart;

namespace {

namespace {

// Whether `line` runs over a pie's disc (top face, 3D edge or bottom rim) deeper than a leader
// grazing its rim: checked at every half pixel along it.
bool RunsOverDisc(const PieGeometry& pie, const QLineF& line) {
  const double rx = pie.radiusX - 2.5, ry = pie.radiusY - 2.5;
  const int steps = static_cast<int>(line.length() * 2) + 1;
  for (int i = 0; i <= steps; ++i) {
    const QPointF p = line.pointAt(static_cast<double>(i) / steps) - pie.center;
    for (double down = 0; down <= pie.thickness; down += 0.5) {
      if (std::pow(p.x() / rx, 2) + std::pow((p.y() - down) / ry, 2) < 1) return true;
    }
  }
  return false;
}

}  // namespace

// Pie leaders read: none runs over a disc, and a label that crossed to the other side of its disc
// has a leader straight up or down from its slice, then level to its label, crossing no other
// leader. Over generated pies, skewed and thin slices among them.
TEST(LayoutGuarantees, PieLeadersCrossNeitherADiscNorEachOther) {
  Generator g(20261210u);
  int across = 0;
  for (int i = 0; i < 3000; ++i) {
    const Case c = Generate(g);
    const ChartModel& model = c.chart.Model();
    if (model.series.empty() || !IsPie(model.series.front().kind)) continue;
    const ProcessLocale locale(c.locale);
    const ChartLayout layout = LayoutOf(model, c.logical.width(), c.logical.height(), c.scale);
    std::vector<QLineF> leaders;  // two segments per label: rim to elbow, elbow to label
    for (const Segment& stroke : layout.scene.strokes) {
      if (stroke.color == QColor(110, 110, 110)) leaders.push_back(stroke.line);
    }
    ASSERT_EQ(leaders.size() % 2, 0u);
    for (std::size_t a = 0; a < leaders.size(); a += 2) {
      for (const PieGeometry& pie : layout.geometry.pies) {
        ASSERT_FALSE(RunsOverDisc(pie, leaders[a + 1]))
            << "chart " << i << ": " << c.description << ": a leader to " << leaders[a + 1].p2().x()
            << "," << leaders[a + 1].p2().y() << " over a disc";
      }
      const bool crossed = leaders[a].dx() == 0 && leaders[a].dy() != 0 &&
                           leaders[a + 1].dy() == 0 &&
                           leaders[a + 1].length() > 2 * std::abs(leaders[a].dy());
      if (!crossed) continue;
      ++across;
      for (std::size_t b = 0; b < leaders.size(); ++b) {
        if (b / 2 == a / 2) continue;
        for (const QLineF& own : {leaders[a], leaders[a + 1]}) {
          QPointF at;
          ASSERT_NE(own.intersects(leaders[b], &at), QLineF::BoundedIntersection)
              << "chart " << i << ": " << c.description << ": a label across its pie at "
              << own.p2().x() << "," << own.p2().y();
        }
      }
    }
  }
  EXPECT_GT(across, 50);
}

// Every value of 3D bars in rows has its label, also where a longer bar in a row in front hides
// its end: business charts of two to four data sets of a few months each, gains and losses, at
// sizes that give every category a few labels' room. A label that could not stand at its own
// bar's end stands past the bars in front and is framed in its bar's colour.
TEST(LayoutGuarantees, EveryBarOfThreeDimensionalRowsHasItsLabel) {
  Generator g(20261211u);
  int behind = 0;
  for (int i = 0; i < 3000; ++i) {
    ModelBuilder chart;
    chart.model.view3D = true;
    chart.model.legendVisible = g.Chance(0.5);
    const SeriesKind kind = g.OneOf({SeriesKind::Bar, SeriesKind::HorizBar});
    const int count = 2 + g.Below(3), categories = 2 + g.Below(5);
    std::vector<std::vector<double>> values;
    for (int s = 0; s < count; ++s)
      values.push_back(g.Values(categories, g.OneOf({9, 7, 2}), 1000));
    // Now and then the bars of one category all near the top of an axis that ends at their
    // longest, so that the labels that stand past it need the room kept for them.
    if (g.Chance(0.5)) {
      const int top = g.Below(categories);
      for (int s = 0; s < count; ++s) values[s][top] = s == 0 ? 1000 : 1000 - 10 * g.Below(count);
    }
    for (int s = 0; s < count; ++s) {
      SeriesModel& series = chart.Add(kind, {});
      series.dataLabelsVisible = true;
      for (double value : values[s]) chart.AddPoint(series, value, "", kAutomaticColor);
    }
    const QSizeF size = g.OneOf({QSizeF(720, 450), QSizeF(1200, 700), QSizeF(900, 900)});
    const ChartLayout layout = LayoutOf(chart.Model(), size.width(), size.height());
    if (std::getenv("LAYOUT_DUMP"))
      RenderOf(chart.Model(), size.width(), size.height(), 1)
          .save(QString("%1/rows-%2.png").arg(std::getenv("LAYOUT_DUMP")).arg(i));
    std::map<std::pair<int, int>, const TextItem*> labels;
    for (const TextItem& text : layout.scene.texts)
      if (text.role == TextRole::DataLabel) labels[{text.series, text.point}] = &text;
    for (std::size_t s = 0; s < chart.model.series.size(); ++s) {
      const SeriesModel& series = chart.model.series[s];
      for (std::size_t p = 0; p < series.points.size(); ++p) {
        const auto found = labels.find({static_cast<int>(s), static_cast<int>(p)});
        ASSERT_NE(found, labels.end())
            << "chart " << i << ", " << count << " x " << categories << " at " << size.width()
            << " x " << size.height() << ": no label of series " << s << ", point " << p;
        if (found->second->frame == ToQColor(PointColors(series)[p])) ++behind;
      }
    }
  }
  EXPECT_GT(behind, 100);
}

}  // namespace
