#pragma once
// A kind of series on axes in one place: its layouter fits the values its marks reach, places
// its marks and puts their faces and lines into the scene, offers its data labels their places,
// and finds the point under the pointer. The layout of the axes (axeslayout.cpp) calls on each
// kind's layouter and asks a kind for its traits (serieskind.h), never which kind it is; a new
// kind registers its layouter here. Internal to the chart layout library.

#include <QPointF>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "chart/layout/axesgeometry.h"
#include "chart/layout/charthittest.h"
#include "chart/layout/labelplacer.h"

namespace chart {

// The values that a group's marks reach on the value axis, and whether any box from zero
// reaches above or below it (which then takes a pixel or more past zero).
struct ValueExtent {
  double low = std::numeric_limits<double>::infinity();
  double high = -std::numeric_limits<double>::infinity();
  bool above = false;
  bool below = false;
  void Add(double value);  // a value that is not finite reaches nowhere
  void Add(const ValueExtent& other);
};

// One chart's series of one layouter, from the plan on; what it works out in a step it keeps
// for the next.
class SeriesLayout {
 public:
  virtual ~SeriesLayout() = default;
  virtual ValueExtent Extent() const = 0;  // step 2
  // Step 5, first: where its marks go, for the hit test and the checks.
  virtual void Place(const Geometry& g, PlotGeometry& geometry) = 0;
  // Step 5, for each depth row from the back: its faces and lines in that row. Lines give the
  // geometry their points as they are drawn.
  virtual void AddShapes(int row, const Geometry& g, Scene& scene, PlotGeometry& geometry) = 0;
  // Step 6, once every face is laid out: its data labels, each where the placer finds it free,
  // and to the placer the count of those it wants.
  virtual void AddLabels(const Geometry& g, const ChartLayout& layout, LabelPlacer& placer) = 0;
};

class SeriesLayouter {
 public:
  virtual ~SeriesLayouter() = default;
  // In 3D, the depth rows of its series go back in the order of this key, the least in front.
  virtual double RowKey(const SeriesModel& series) const = 0;
  virtual std::unique_ptr<SeriesLayout> Lay(const std::vector<const SeriesModel*>& series,
                                            const SeriesGroup& group, const Plan& plan) const = 0;
  // The drawn point whose mark lies under `at`, from the geometry its layouts placed.
  virtual std::optional<ChartHit> Hit(const PlotGeometry& geometry, QPointF at) const = 0;
};

// The built-in layouters, and a kind's: none for a kind not on axes.
const SeriesLayouter& BarLayouter();
const SeriesLayouter& LineLayouter();
const SeriesLayouter* LayouterOf(SeriesKind kind);
// Every layouter, in paint order: the series of a later one are drawn over an earlier one's in
// the same depth row (lines over bars), and its marks are found first under the pointer.
const std::vector<const SeriesLayouter*>& SeriesLayouters();
// A layouter for a kind added to the kind table. Registered before any chart is laid out, from
// one thread: the table is read without a lock. Its series are drawn after those of the
// layouters before it.
void RegisterSeriesLayouter(SeriesKind kind, const SeriesLayouter& layouter);

}  // namespace chart
