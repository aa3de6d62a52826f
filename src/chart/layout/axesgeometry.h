#pragma once
// What the parts of the layout of a chart with axes share: the plan of its series, the frame
// around the plot, the value scale and the bar boxes. Internal to the chart layout library.
//
// axeslayout.cpp lays out the axes and calls, in its step 3, on framelayout.cpp (the room around
// the plot) and in its steps 2, 5 and 6 on the layouter of each kind of series (serieslayouter.h):
// barlayout.cpp with barlabels.cpp for bars, linelayout.cpp for lines.

#include <QPolygonF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "chart/layout/chartlayout.h"
#include "chart/layout/labelplacer.h"
#include "chart/model/niceticks.h"

namespace chart {

inline constexpr double kGroupShare = 0.7;  // share of a category slot taken by its bars
inline constexpr double kTick = 4;          // the length of a tick mark
inline constexpr double kGap = 4;
// From an axis to the far side of the gap before its labels.
inline constexpr double kLabelOffset = kTick + kGap + 2;
// A 3D box or ribbon fills this share of its depth row, centred in it.
inline constexpr double kBoxDepthShare = 0.75;
inline constexpr double kRowInsetShare = (1 - kBoxDepthShare) / 2;

inline bool IsStacked(BarGrouping mode) {
  return mode == BarGrouping::Stacked || mode == BarGrouping::Stacked100;
}

inline QPolygonF Quad(QPointF a, QPointF b, QPointF c, QPointF d) {
  return QPolygonF({a, b, c, d});
}

class SeriesLayouter;

// The series of one layouter, by their indexes in the chart's order.
struct SeriesGroup {
  const SeriesLayouter* layouter = nullptr;
  std::vector<std::size_t> series;
};

// Step 1.
struct Plan {
  int leastPixels = 1;  // ChartLayout::leastPixels
  bool horizontal = false;
  bool deep = false;  // drawn in 3D with some depth
  BarGrouping barGrouping = BarGrouping::None;
  int categories = 0;
  // The series by their layouters, in the layouters' paint order.
  std::vector<SeriesGroup> groups;
  // The series drawn as boxes from zero (their kinds' trait), whose data labels the frame keeps
  // room for past their ends.
  std::vector<std::size_t> fromZero;
  int barCount = 0;          // series that share the category slot
  std::vector<int> barSlot;  // per series: index among those, -1 for any other
  std::vector<int> row;      // per series: depth row, 0 at the front
  int rows = 1;
};

// Step 2. The span [low, high] of every bar, per series and category, in value units.
struct Span {
  double low = 0;
  double high = 0;
  bool valid = false;
};
using Spans = std::vector<std::vector<Span>>;

// Maps values to pixels along the value axis.
struct ValueScale {
  double v0 = 0, v1 = 1, p0 = 0, p1 = 1;
  double Map(double v) const {
    // Halved, so that a range from near the lowest to near the highest double cannot overflow.
    const double share = (v / 2 - v0 / 2) / (v1 / 2 - v0 / 2);
    const double p = p0 + share * (p1 - p0);
    if (std::isnan(p)) return p0;
    return std::clamp(p, std::min(p0, p1) - 1e6, std::max(p0, p1) + 1e6);
  }
};

// Step 3: category labels, turned and thinned.
struct CategoryLabelFit {
  double angle = 0;  // degrees, counter-clockwise; vertical charts only
  int step = 1;
  double maxWidth = 0;
  double extent = 0;      // room taken across the axis
  double leastWidth = 0;  // shortened below it, no label can be read
};

// Which texts around the plot are shown (the rest are left out where the plot needs the room).
inline constexpr int kAxisTitleLines = 2;
struct AxisTexts {
  bool markRoom = true;  // past the bars' ends, for data labels
  bool categoryLabels = true;
  int titleLines = kAxisTitleLines;  // per axis title
  bool tickLabels = true;
};

// The data labels of a chart, measured once: the longest along its text and the height of one
// across, framed in the mark's font, and plain in the small one.
struct LabelSizes {
  bool any = false;
  double markAlong = 0;
  double markAcross = 0;
  double smallAlong = 0;
  double smallAcross = 0;
  // In 3D rows, the labels of bars that show too little of their face to hold them stand past
  // the longest bar of their category. For each category whose longest bar (on a side of zero) is
  // nearly the chart's longest there, the face that each other bar on that side shows past the
  // bars in front of it, in value units (below zero where one of those hides its end).
  std::vector<std::vector<double>> faces;
};

// How many labels of `line` (along the value axis) stand past the longest bars, where a value
// unit takes `pixels`: one, and one for each face of `sizes.faces` shorter than a label.
int LabelsPastTheLongest(const LabelSizes& sizes, double line, double pixels);

struct Frame {
  AxisTexts texts;
  QStringList leftTitle;  // the lines of the axis titles, wrapped and shortened
  QStringList bottomTitle;
  QRectF plot;            // front plot rectangle
  double labelsFrom = 0;  // the left end of the room for turned category labels
  // Where marks may go: the plot, its 3D depth and the room kept for marks past the bars' ends;
  // the axes' labels and titles lie outside it.
  QRectF markRoom;
  // Past the plot's negative end (below it, or left of a horizontal one), before the category
  // labels: the room for the labels of bars below zero.
  double negativeLabelRoom = 0;
  double depth = 0;
  NiceTicks ticks;
  AxisNumbers numbers;        // how the ticks are written
  bool ticksCrowded = false;  // only the tick nearest zero kept its label
  CategoryLabelFit labels;
  LabelSizes labelSizes;  // of the data labels that the room past the bars' ends is kept for
};

// Steps 4 to 6: where everything goes.
struct Geometry {
  Plan plan;
  Frame frame;
  ValueScale scale;
  double slot = 0;
  double rowDepth = 0;
  double CategoryCenter(int i) const {
    return plan.horizontal ? frame.plot.top() + (i + 0.5) * slot
                           : frame.plot.left() + (i + 0.5) * slot;
  }
  QPointF RowShift(int row) const { return QPointF(row * rowDepth, -row * rowDepth); }
  double BoxDepth() const { return rowDepth * kBoxDepthShare; }
  QPointF RowInset() const {
    return QPointF(rowDepth * kRowInsetShare, -rowDepth * kRowInsetShare);
  }
  QPointF At(int category, double value) const {
    const double c = CategoryCenter(category), v = scale.Map(value);
    return plan.horizontal ? QPointF(v, c) : QPointF(c, v);
  }
  // `rect` moved along the category axis as far as needed to lie in the room for marks: the
  // mark of a bar at the end of the axis may be wider than the bar's slot.
  QRectF AlongCategoriesIntoMarkRoom(QRectF rect) const {
    const QRectF& room = frame.markRoom;
    if (plan.horizontal) {
      rect.moveTop(std::max(room.top(), std::min(rect.top(), room.bottom() - rect.height())));
    } else {
      rect.moveLeft(std::max(room.left(), std::min(rect.left(), room.right() - rect.width())));
    }
    return rect;
  }
};

// Step 3 (framelayout.cpp): the room around the plot.
Frame ComputeFrame(const ChartModel& model, const std::vector<const SeriesModel*>& series,
                   const Plan& plan, std::pair<double, double> range, QRectF area,
                   const ChartLayout& layout, const LabelSizes& labels);

// The value axis and its labels (valueaxis.cpp).
struct TickStyle {
  QFont font;
  NumberLocale locale;
};
QString TickText(const AxisNumbers& numbers, const NumberLocale& locale, double value);
double MaxTickWidth(const NiceTicks& ticks, const TickStyle& style);
// Whether the labels of `ticks` on an axis `length` long stand apart, with `spare` pixels more.
bool LabelsStandApart(const NiceTicks& ticks, double length, bool horizontal,
                      const TickStyle& style, double spare);
// Where they do not, only the tick nearest zero keeps its label.
void KeepOnlyTicksThatStandApart(NiceTicks& ticks, double length, bool horizontal,
                                 const TickStyle& style);
// Pixels that bars need beyond zero on either side: the least pixels of a bar for a single bar (a
// bar of a value too small to show still gets them), as many per series for a stack.
struct ZeroRoom {
  int above = 0;  // toward larger values
  int below = 0;
};
ZeroRoom RoomBeyondZero(const std::vector<const SeriesModel*>& series, const Plan& plan);
// Ticks for `range` whose labels stand apart on an axis `length` long, the axis widened until
// bars have the pixels they need beyond zero, and a pixel more. Where even the fewest ticks
// crowd, only the one nearest zero keeps its label.
NiceTicks ValueTicks(std::pair<double, double> range, double length, ZeroRoom room, bool horizontal,
                     const TickStyle& style);

// Step 5: a bar as a box (a front face, and in 3D a top and a side).
struct Box {
  int row = 0;
  QRectF front;  // already moved back to its row
  double depth = 0;
  QColor color;
  int series = 0;
  int point = 0;
  bool dense = false;     // a pixel column's range of bars thinner than a pixel
  bool negative = false;  // of a value below zero, or the mark of a zero drawn below the zero
                          // line: it hangs from zero down or to the left
};

// Bars (barlayout.cpp).
// Step 2: the spans of the series `bars`.
Spans BarSpans(const std::vector<const SeriesModel*>& series, const std::vector<std::size_t>& bars,
               const Plan& plan);
// How thick each bar is across, in a category slot of `slot` pixels.
double BarThickness(const Plan& plan, double slot);
// Step 5: the boxes in paint order, from the back to the front.
std::vector<Box> BarBoxes(const std::vector<const SeriesModel*>& series,
                          const std::vector<std::size_t>& bars, const Spans& spans,
                          const Geometry& g);
void AddBoxFaces(const Box& box, Scene& scene);

// Data labels of bars (barlabels.cpp). The labels of the series whose marks are shown, measured.
LabelSizes MeasureDataLabels(const std::vector<const SeriesModel*>& series, const Plan& plan,
                             const ChartLayout& layout);
// The width across that a label past a bar's end may take, in a slot of `slot` pixels, its box
// `boxDepth` deep; and whether labels of that lane read upward.
double LabelLane(const Plan& plan, double slot, double boxDepth);
bool LabelsUpright(const Plan& plan, const LabelSizes& sizes, double lane);
// Step 6: the labels of the series `bars`, from the nearest back.
void AddBarLabels(const std::vector<const SeriesModel*>& series,
                  const std::vector<std::size_t>& bars, const std::vector<Box>& boxes,
                  const Geometry& g, const ChartLayout& layout, LabelPlacer& placer);

}  // namespace chart
