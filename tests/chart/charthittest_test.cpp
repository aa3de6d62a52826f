#include "chart/layout/charthittest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <optional>

#include "chart/layout/textfit.h"
#include "chartfixture.h"

using namespace chart;

namespace {

const BarBox& Bar(const ChartLayout& layout, int series, int point) {
  for (const BarBox& bar : layout.geometry.bars) {
    if (bar.series == series && bar.point == point) return bar;
  }
  throw std::runtime_error("no such bar");
}

QPointF LinePoint(const ChartLayout& layout, int series, int point) {
  for (const LinePointSpot& spot : layout.geometry.linePoints) {
    if (spot.series == series && spot.point == point) return spot.at;
  }
  throw std::runtime_error("no such line point");
}

// A point at `degrees` (0 at 3 o'clock, counter-clockwise) and `share` of the radius on the
// first pie's top.
QPointF OnPie(const ChartLayout& layout, double degrees, double share) {
  const PieGeometry& pie = layout.geometry.pies.front();
  const double radians = degrees * std::numbers::pi / 180;
  return pie.center +
         QPointF(pie.radiusX * share * std::cos(radians), -pie.radiusY * share * std::sin(radians));
}

// Halfway down the 3D edge under the front of the first pie, below the rim point at
// `degrees` (-180 to 0).
QPointF OnPieEdge(const ChartLayout& layout, double degrees) {
  const PieGeometry& pie = layout.geometry.pies.front();
  return OnPie(layout, degrees, 1) + QPointF(0, pie.thickness / 2);
}

ModelBuilder Bars(int mode, bool view3D) {
  ModelBuilder b;
  b.model.view3D = view3D;
  b.Add(SeriesKind::Bar, {10, 20}).barGrouping =
      BarGroupingFromNumber(static_cast<std::uint8_t>(mode));
  b.Add(SeriesKind::Bar, {5, 15}).barGrouping =
      BarGroupingFromNumber(static_cast<std::uint8_t>(mode));
  return b;
}

ModelBuilder Pie(bool view3D) {
  ModelBuilder b;
  b.model.view3D = view3D;
  b.Add(SeriesKind::Pie, {1, 1, 1, 1});  // quarters, clockwise from 12 o'clock
  return b;
}

ModelBuilder Line(bool view3D = false) {
  ModelBuilder b;
  b.model.view3D = view3D;
  b.Add(SeriesKind::Line, {1, 5, 3});
  return b;
}

// A line, a pie that a chart with axes does not draw, and bars: the bars are the model's third
// series.
ModelBuilder LinePieAndBars() {
  ModelBuilder b;
  b.Add(SeriesKind::Line, {1, 5, 3});
  b.Add(SeriesKind::Pie, {1, 2, 3});
  b.Add(SeriesKind::Bar, {2, 4, 6});
  return b;
}

struct HitCase {
  const char* name;
  ModelBuilder model;
  std::function<QPointF(const ChartLayout&)> at;
  std::optional<ChartHit> expected;
};

TEST(ChartHitTest, FindsWhatLiesUnderThePoint) {
  using L = const ChartLayout&;
  const std::vector<HitCase> cases = {
      {"inside a side-by-side bar", Bars(1, false), [](L l) { return Bar(l, 1, 1).front.center(); },
       ChartHit{1, 1}},
      {"on a bar's edge", Bars(1, false), [](L l) { return Bar(l, 0, 0).front.bottomLeft(); },
       ChartHit{0, 0}},
      {"above a flat bar", Bars(1, false),
       [](L l) { return Bar(l, 0, 0).front.topLeft() + QPointF(2, -3); }, std::nullopt},
      {"where overlapping bars cover each other, the one in front", Bars(0, false),
       [](L l) { return Bar(l, 1, 0).front.center(); }, ChartHit{1, 0}},
      {"on the top of a 3D bar", Bars(1, true),
       [](L l) {
         const BarBox& bar = Bar(l, 1, 1);
         return bar.front.topLeft() +
                QPointF(bar.front.width() / 2 + bar.depth / 2, -bar.depth / 2);
       },
       ChartHit{1, 1}},
      {"on the side of a 3D bar", Bars(1, true),
       [](L l) {
         const BarBox& bar = Bar(l, 1, 1);
         return bar.front.bottomRight() + QPointF(bar.depth / 2, -bar.depth);
       },
       ChartHit{1, 1}},
      {"beside a 3D bar's top, behind its corner", Bars(1, true),
       [](L l) {
         const BarBox& bar = Bar(l, 0, 0);
         return bar.front.topLeft() + QPointF(1, -bar.depth + 1);
       },
       std::nullopt},
      {"in the first quarter of a pie", Pie(false), [](L l) { return OnPie(l, 45, 0.5); },
       ChartHit{0, 0}},
      {"in the third quarter of a pie", Pie(false), [](L l) { return OnPie(l, -135, 0.9); },
       ChartHit{0, 2}},
      {"in the last quarter of a pie, past 180 degrees", Pie(false),
       [](L l) { return OnPie(l, 170, 0.5); }, ChartHit{0, 3}},
      {"just outside a pie", Pie(false), [](L l) { return OnPie(l, 45, 1.05); }, std::nullopt},
      {"on the 3D edge of a pie", Pie(true), [](L l) { return OnPieEdge(l, -60); }, ChartHit{0, 1}},
      {"on the 3D edge of a pie's left half", Pie(true), [](L l) { return OnPieEdge(l, -150); },
       ChartHit{0, 2}},
      {"below the 3D edge of a pie", Pie(true),
       [](L l) { return OnPieEdge(l, -60) + QPointF(0, l.geometry.pies.front().thickness); },
       std::nullopt},
      {"near a line point", Line(), [](L l) { return LinePoint(l, 0, 1) + QPointF(3, -3); },
       ChartHit{0, 1}},
      {"on a 3D line point", Line(true), [](L l) { return LinePoint(l, 0, 2); }, ChartHit{0, 2}},
      {"between two line points", Line(),
       [](L l) { return (LinePoint(l, 0, 0) + LinePoint(l, 0, 1)) / 2; }, std::nullopt},
      {"a bar after a pie in the model", LinePieAndBars(),
       [](L l) { return Bar(l, 1, 1).front.center(); }, ChartHit{2, 1}},
      {"a line point over a bar", LinePieAndBars(), [](L l) { return LinePoint(l, 0, 2); },
       ChartHit{0, 2}},
  };
  for (const HitCase& c : cases) {
    const ChartLayout layout = c.model.Layout();
    const std::optional<ChartHit> hit = HitTest(layout.geometry, c.at(layout));
    ASSERT_EQ(hit.has_value(), c.expected.has_value()) << c.name;
    if (!hit) continue;
    EXPECT_EQ(hit->series, c.expected->series) << c.name;
    EXPECT_EQ(hit->point, c.expected->point) << c.name;
  }
}

TEST(ChartHitTest, DescribesTheSeriesTheLabelAndTheValue) {
  ModelBuilder b;
  SeriesModel& north = b.Add(SeriesKind::Bar, {});
  north.title = "North";
  b.AddPoint(north, 12.5, "Jan", kAutomaticColor);
  b.AddPoint(north, -3, "", kAutomaticColor);
  b.AddPoint(north, 7, "<b>Mar</b>", kAutomaticColor);
  b.AddPoint(b.Add(SeriesKind::Bar, {}), 1000, "Jan", kAutomaticColor);
  const ChartModel model = b.Model();
  const ChartLayout layout = LayoutOf(model, 800, 600);
  struct Case {
    ChartHit hit;
    const char* series;
    const char* point;
  };
  // A series' values share its decimals; four digits are grouped.
  for (const Case& c : std::vector<Case>{{{0, 0}, "North", "Jan: 12.5"},
                                         {{0, 1}, "North", "-3.0"},
                                         {{0, 2}, "North", "<b>Mar</b>: 7.0"},
                                         {{1, 0}, "Series2", "Jan: 1\u202F000"},
                                         {{1, 1}, "", ""},
                                         {{2, 0}, "", ""}}) {
    const HitDescription text = DescribeHit(model, layout, c.hit);
    EXPECT_EQ(text.series, c.series) << c.hit.series << "," << c.hit.point;
    EXPECT_EQ(text.point, c.point) << c.hit.series << "," << c.hit.point;
  }
}

// A shortened text tells its whole text where it is painted: turned category labels and a cut
// title alike, and nothing beside them. The painter places a text by moving to its origin and
// turning by its angle, counter-clockwise.
TEST(ChartHitTest, AShortenedTextTellsItsWholeTextWhereItIsPainted) {
  for (SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Pie}) {
    ModelBuilder b;
    for (int s = 0; s < (kind == SeriesKind::Pie ? 2 : 1); ++s) {
      SeriesModel& series = b.Add(kind, {});
      series.title =
          "Sales of the regional offices, second half of the year, in thousands of "
          "euros before taxes and after returns " +
          std::to_string(s);
      for (int i = 0; i < 12; ++i) {
        b.AddPoint(series, i + 1, "Regional office number " + std::to_string(i + 1),
                   kAutomaticColor);
      }
    }
    b.model.title.lines = {std::string(200, 'T')};
    b.model.leftAxisTitle.caption = std::string(200, 'L');
    b.model.bottomAxisTitle.caption = std::string(200, 'B');
    const ChartLayout layout = b.Layout(420, 320);
    int turned = 0, told = 0;
    std::map<TextRole, int> shortened;
    for (const TextItem& item : layout.scene.texts) {
      if (item.fullText.isEmpty()) continue;
      const double a = item.angle * std::numbers::pi / 180;
      const QPointF c = item.box.center();
      const QPointF painted = item.origin + QPointF(c.x() * std::cos(a) + c.y() * std::sin(a),
                                                    -c.x() * std::sin(a) + c.y() * std::cos(a));
      EXPECT_EQ(WholeTextAt(layout.scene, painted), item.fullText) << item.text.toStdString();
      turned += item.angle != 0 && item.role != TextRole::AxisTitle;
      ++shortened[item.role];
      ++told;
    }
    const TextRole texts =
        kind == SeriesKind::Pie ? TextRole::SeriesTitle : TextRole::CategoryLabel;
    EXPECT_GT(shortened[texts], 0) << "the category labels or pie titles are shortened";
    EXPECT_EQ(turned > 0, kind == SeriesKind::Bar) << "and turned under vertical bars";
    EXPECT_GT(told, shortened[texts]) << "and the title is shortened";
    EXPECT_EQ(shortened[TextRole::AxisTitle], kind == SeriesKind::Pie ? 0 : 2)
        << "and each axis title, one line cut short";
    EXPECT_EQ(WholeTextAt(layout.scene, QPointF(-10, -10)), "");
  }
  // Texts shown whole, axis titles of one line among them, have nothing more to tell.
  ModelBuilder b;
  b.Add(SeriesKind::Bar, {1, 2});
  b.model.leftAxisTitle.caption = "Euro";
  b.model.bottomAxisTitle.caption = "Month";
  const ChartLayout whole = b.Layout();
  EXPECT_EQ(whole.omitted.shortenedTexts, 0);
  for (const TextItem& item : whole.scene.texts)
    EXPECT_EQ(item.fullText, "") << item.text.toStdString();
}

}  // namespace
