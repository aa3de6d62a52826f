// The layouter of bars, vertical and horizontal: their spans (barlayout.cpp), their boxes and
// faces, their data labels (barlabels.cpp), and the bar under the pointer.

#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "chart/layout/serieslayouter.h"

namespace chart {

namespace {

// The mean size of the finite values: how far the series' bars typically reach from zero, up or
// down. Summed in long double, which no sum of doubles overflows.
//
// In 3D each bar series of mode None stands in a depth row of its own. Taken in the series'
// order, a long first series would hide every row behind it. So the rows go back from the series
// whose bars are typically shortest to the one whose bars are longest, whichever side of zero
// they reach to: each row's bars then reach past those in front of them (their tops also stand
// one row higher, their bottoms one row higher too, so that bars hanging below zero show below
// the shorter ones in front), and every series shows, for data whose series keep their order of
// size, as most do. Deeper rows would show more of the back rows' faces, but the walls' depth is
// set by the 3D percent and rows the width of a bar would squeeze the plot.
double TypicalSize(const SeriesModel& series) {
  long double sum = 0;
  std::size_t count = 0;
  for (const ChartPoint& point : series.points) {
    if (!std::isfinite(point.value)) continue;
    sum += std::abs(point.value);
    ++count;
  }
  return count > 0 ? static_cast<double>(sum / count) : 0;
}

// The front face, and in 3D the top and the side that go back from it.
bool BarCovers(const BarBox& bar, QPointF at) {
  if (bar.front.contains(at)) return true;
  if (bar.depth <= 0) return false;
  const QRectF& f = bar.front;
  const QPointF back(bar.depth, -bar.depth);
  const QPolygonF outline({f.bottomLeft(), f.topLeft(), f.topLeft() + back, f.topRight() + back,
                           f.bottomRight() + back, f.bottomRight()});
  return outline.containsPoint(at, Qt::OddEvenFill);
}

class BarLayout : public SeriesLayout {
 public:
  BarLayout(const std::vector<const SeriesModel*>& series, const SeriesGroup& group,
            const Plan& plan)
      : series_(series), bars_(group.series), spans_(BarSpans(series, bars_, plan)) {}

  // Zero, the spans' ends, and whether a bar reaches above or below zero.
  ValueExtent Extent() const override {
    ValueExtent extent;
    extent.Add(0);
    for (const std::size_t s : bars_) {
      for (const Span& span : spans_[s]) {
        if (span.valid) extent.Add(span.low), extent.Add(span.high);
      }
      for (const ChartPoint& point : series_[s]->points) {
        extent.above = extent.above || (std::isfinite(point.value) && point.value > 0);
        extent.below = extent.below || (std::isfinite(point.value) && point.value < 0);
      }
    }
    return extent;
  }

  void Place(const Geometry& g, PlotGeometry& geometry) override {
    boxes_ = BarBoxes(series_, bars_, spans_, g);
    for (const Box& box : boxes_) {
      geometry.bars.push_back({box.series, box.point, box.front, box.depth, box.dense});
    }
  }

  void AddShapes(int row, const Geometry&, Scene& scene, PlotGeometry&) override {
    for (const Box& box : boxes_) {
      if (box.row == row) AddBoxFaces(box, scene);
    }
  }

  void AddLabels(const Geometry& g, const ChartLayout& layout, LabelPlacer& placer) override {
    AddBarLabels(series_, bars_, boxes_, g, layout, placer);
  }

 private:
  const std::vector<const SeriesModel*>& series_;
  std::vector<std::size_t> bars_;
  Spans spans_;
  std::vector<Box> boxes_;  // back to front
};

class Bars : public SeriesLayouter {
 public:
  double RowKey(const SeriesModel& series) const override { return TypicalSize(series); }

  std::unique_ptr<SeriesLayout> Lay(const std::vector<const SeriesModel*>& series,
                                    const SeriesGroup& group, const Plan& plan) const override {
    return std::make_unique<BarLayout>(series, group, plan);
  }

  // The frontmost bar that covers `at`.
  std::optional<ChartHit> Hit(const PlotGeometry& geometry, QPointF at) const override {
    const auto& bars = geometry.bars;
    const auto found = std::find_if(bars.rbegin(), bars.rend(),
                                    [at](const BarBox& bar) { return BarCovers(bar, at); });
    if (found == bars.rend()) return std::nullopt;
    return ChartHit{found->series, found->point};
  }
};

}  // namespace

const SeriesLayouter& BarLayouter() {
  static const Bars bars;
  return bars;
}

}  // namespace chart
