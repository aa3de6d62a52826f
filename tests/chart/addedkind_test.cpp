// A kind of series that the program does not have, added from here: a square dot at each value.
// It is laid out, painted, found under the pointer and held to the layout's guarantees through
// its layouter alone, as any new kind would be.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "chart/layout/serieslayouter.h"
#include "chart/layout/valuetext.h"
#include "chart/model/palette.h"
#include "chartfixture.h"
#include "layoutcheck/layoutguarantees.h"
#include "renderpixels.h"

namespace chart {
namespace {

constexpr double kDot = 8;

class DotLayout : public SeriesLayout {
 public:
  DotLayout(const std::vector<const SeriesModel*>& series, const SeriesGroup& group)
      : series_(series), dots_(group.series) {}

  ValueExtent Extent() const override {
    ValueExtent extent;
    for (std::size_t s : dots_) {
      for (const ChartPoint& point : series_[s]->points) extent.Add(point.value);
    }
    return extent;
  }

  void Place(const Geometry& g, PlotGeometry& geometry) override {
    for (std::size_t s : dots_) {
      const QPointF shift =
          g.frame.depth > 0 ? g.RowShift(g.plan.row[s]) + g.RowInset() : QPointF();
      const auto& points = series_[s]->points;
      for (std::size_t i = 0; i < points.size(); ++i) {
        if (!std::isfinite(points[i].value)) continue;
        const QPointF at = g.At(static_cast<int>(i), points[i].value) + shift;
        const QRectF area(at - QPointF(kDot / 2, kDot / 2), QSizeF(kDot, kDot));
        geometry.pointMarks.push_back({static_cast<int>(s), static_cast<int>(i), area});
        placed_.push_back(geometry.pointMarks.back());
      }
    }
  }

  void AddShapes(int row, const Geometry& g, Scene& scene, PlotGeometry&) override {
    for (const PointMark& dot : placed_) {
      if (g.plan.row[static_cast<std::size_t>(dot.series)] != row) continue;
      const QColor color = ToQColor(ResolvePointColor(*series_[dot.series], dot.point));
      scene.faces.push_back(
          {QPolygonF(dot.area), color, color.darker(), false, dot.series, false, dot.point});
    }
  }

  // A framed label above its dot, or below it where that is taken.
  void AddLabels(const Geometry& g, const ChartLayout& layout, LabelPlacer& placer) override {
    for (const PointMark& dot : placed_) {
      const SeriesModel& one = *series_[static_cast<std::size_t>(dot.series)];
      if (!one.dataLabelsVisible) continue;
      placer.Want(1);
      const double value = one.points[static_cast<std::size_t>(dot.point)].value;
      TextItem label = DataLabel(ValueText(layout.numbers, dot.series, value),
                                 {dot.series, dot.point}, FontRole::Mark, layout, true);
      const QSizeF size = label.box.size();
      const double left = dot.area.center().x() - size.width() / 2;
      std::vector<TextItem> candidates;
      for (double top : {dot.area.top() - size.height() - 2, dot.area.bottom() + 2}) {
        PlaceAt(label, g.AlongCategoriesIntoMarkRoom(QRectF(QPointF(left, top), size)), false);
        candidates.push_back(label);
      }
      placer.Place(candidates);
    }
  }

 private:
  const std::vector<const SeriesModel*>& series_;
  std::vector<std::size_t> dots_;
  std::vector<PointMark> placed_;
};

class Dots : public SeriesLayouter {
 public:
  double RowKey(const SeriesModel&) const override { return 0; }
  std::unique_ptr<SeriesLayout> Lay(const std::vector<const SeriesModel*>& series,
                                    const SeriesGroup& group, const Plan&) const override {
    return std::make_unique<DotLayout>(series, group);
  }
  std::optional<ChartHit> Hit(const PlotGeometry& geometry, QPointF at) const override {
    for (auto dot = geometry.pointMarks.rbegin(); dot != geometry.pointMarks.rend(); ++dot) {
      if (dot->area.contains(at)) return ChartHit{dot->series, dot->point};
    }
    return std::nullopt;
  }
};

SeriesKind DotKind() {
  static const SeriesKind kind = [] {
    const SeriesKind added =
        AddSeriesKind({.name = "dot", .onAxes = true, .dataLabelsByDefault = true});
    static const Dots dots;
    RegisterSeriesLayouter(added, dots);
    return added;
  }();
  return kind;
}

// Charts of bars and dots (the dots first or second, flat or in 3D, at sizes from a thumbnail
// up, values of both signs with gaps): every dot is placed where its value is, painted, found
// under the pointer, and the layout keeps its guarantees.
TEST(AddedKind, DotsAreLaidOutPaintedFoundAndChecked) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> value(-50, 150);
  for (int chart = 0; chart < 24; ++chart) {
    ModelBuilder b;
    const bool dotsFirst = chart % 2 == 1;
    b.model.view3D = chart % 4 >= 2;
    std::vector<double> bars, dots;
    for (int i = 0; i < 3 + chart % 5; ++i) {
      bars.push_back(value(random));
      dots.push_back(i == 1 ? NAN : value(random));
    }
    if (!dotsFirst) b.Add(SeriesKind::Bar, bars);
    b.Add(DotKind(), dots, kRed);
    if (dotsFirst) b.Add(SeriesKind::Bar, bars, kGreen);
    const int dotSeries = dotsFirst ? 0 : 1;
    const QSize size = chart < 12 ? QSize(640, 480) : QSize(320 + 40 * chart, 240 + 20 * chart);
    SCOPED_TRACE("chart " + std::to_string(chart));

    const ChartLayout layout = b.Layout(size.width(), size.height());
    const QImage image = b.Render(size.width(), size.height());
    int placed = 0;
    for (const PointMark& dot : layout.geometry.pointMarks) {
      ++placed;
      EXPECT_EQ(dot.series, dotSeries);
      const double v = dots[static_cast<std::size_t>(dot.point)];
      EXPECT_GE(v, layout.geometry.valueMin);
      EXPECT_LE(v, layout.geometry.valueMax);
      const QPointF centre = dot.area.center();
      // In 3D a bar in a row in front may cover a dot; the pointer still finds the dot.
      if (dotsFirst || !b.model.view3D) {
        EXPECT_EQ(PixelAt(image, centre), QColor(Qt::red).rgb() & 0xFFFFFF) << dot.point;
      }
      const std::optional<ChartHit> hit = HitTest(layout.geometry, centre);
      ASSERT_TRUE(hit.has_value()) << dot.point;
      EXPECT_EQ(hit->series, dotSeries);
      EXPECT_EQ(hit->point, dot.point);
    }
    EXPECT_EQ(placed, static_cast<int>(dots.size()) - 1) << "every value but the gap";
    EXPECT_TRUE(BrokenGuarantees(b.Model(), layout).empty())
        << DescribeBroken(BrokenGuarantees(b.Model(), layout));
  }
}

// Its data labels stand beside the dots and are counted, as those of the program's own kinds.
TEST(AddedKind, DotLabelsAreOfferedAndCounted) {
  ModelBuilder b;
  b.Add(DotKind(), {10, 40, 25});
  const ChartLayout layout = b.Layout(640, 480);
  EXPECT_EQ(layout.omitted.dataLabels.wanted, 3);
  EXPECT_EQ(layout.omitted.dataLabels.shown, 3);
  for (const PointMark& dot : layout.geometry.pointMarks) {
    const TextItem* label = DataLabelOf(layout, dot.series, dot.point);
    ASSERT_NE(label, nullptr) << dot.point;
    const QRectF box = label->box.translated(label->origin);
    EXPECT_FALSE(box.intersects(dot.area)) << dot.point;
    EXPECT_NEAR(box.center().x(), dot.area.center().x(), 1) << dot.point;
    EXPECT_LT(
        std::min(std::abs(box.bottom() - dot.area.top()), std::abs(box.top() - dot.area.bottom())),
        4)
        << dot.point;
  }
}

}  // namespace
}  // namespace chart
