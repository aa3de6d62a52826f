#pragma once
// What the parts of the layout of a chart with axes share: the plan of its series, the frame
// around the plot, the value scale and the bar boxes. Internal to the chart library.
//
// axeslayout.cpp lays out the axes and calls, in its step 3, on framelayout.cpp (the room around
// the plot) and in its steps 2, 3, 5 and 6 on barlayout.cpp (bars and their marks) and
// linelayout.cpp (lines and their marks).

#include <QPolygonF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "chart/layoutsteps.h"
#include "chart/niceticks.h"

namespace chart {

inline constexpr double kGroupShare = 0.7;  // share of a category slot taken by its bars
inline constexpr double kTick = 4;          // the length of a tick mark
inline constexpr double kGap = 4;
// From an axis to the far side of the gap before its labels.
inline constexpr double kLabelOffset = kTick + kGap + 2;
// A 3D box or ribbon fills this share of its depth row, centred in it.
inline constexpr double kBoxDepthShare = 0.75;
inline constexpr double kRowInsetShare = (1 - kBoxDepthShare) / 2;

inline bool IsStacked(MultiBar mode) {
  return mode == MultiBar::Stacked || mode == MultiBar::Stacked100;
}

inline QPolygonF Quad(QPointF a, QPointF b, QPointF c, QPointF d) {
  return QPolygonF({a, b, c, d});
}

// Step 1.
struct Plan {
  bool horizontal = false;
  bool deep = false;  // drawn in 3D with some depth
  MultiBar multiBar = MultiBar::None;
  int categories = 0;
  int barCount = 0;
  std::vector<int> barSlot;  // per series: index among the bar series, -1 for lines
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
  double extent = 0;  // room taken across the axis
};

// Which texts around the plot are shown (the rest are left out where the plot needs the room).
inline constexpr int kAxisTitleLines = 2;
struct AxisTexts {
  bool markRoom = true;  // past the ends of single bars
  bool categoryLabels = true;
  int titleLines = kAxisTitleLines;  // per axis title
  bool tickLabels = true;
};

struct Frame {
  AxisTexts texts;
  QStringList leftTitle;  // the lines of the axis titles, wrapped and shortened
  QStringList bottomTitle;
  QRectF plot;            // front plot rectangle
  double labelsFrom = 0;  // the left end of the room for turned category labels
  // Where marks may go: the plot, its 3D depth and the room kept for marks past the bars' ends;
  // the axes' labels and titles lie outside it.
  QRectF markRoom;
  double depth = 0;
  NiceTicks ticks;
  CategoryLabelFit labels;
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

// Step 3 (framelayout.cpp): the room around the plot, and the text of a value label.
Frame ComputeFrame(const ChartModel& model, const std::vector<const SeriesModel*>& series,
                   const Plan& plan, std::pair<double, double> range, QRectF area,
                   const ChartFonts& fonts);
QString TickText(const NiceTicks& ticks, double value);

// Step 5: a bar as a box (a front face, and in 3D a top and a side).
struct Box {
  int row = 0;
  QRectF front;  // already moved back to its row
  double depth = 0;
  QColor color;
  int series = 0;
  int point = 0;
  bool dense = false;  // a pixel column's range of bars thinner than a pixel
};

// Bars (barlayout.cpp).
Spans BarSpans(const std::vector<const SeriesModel*>& series, const Plan& plan);  // step 2
// Step 3: room that the marks of the bars need past their ends.
QSizeF BarMarkRoom(const std::vector<const SeriesModel*>& series, MultiBar mode,
                   std::pair<double, double> range, const QFont& font);
// Step 5: the boxes in paint order, from the back to the front.
std::vector<Box> BarBoxes(const std::vector<const SeriesModel*>& series, const Spans& spans,
                          const Geometry& g);
void AddBoxFaces(const Box& box, ChartLayout& layout);
// Step 6: `faces` holds the indexes [first, second) of each box's faces in the layout.
using FaceRange = std::pair<std::size_t, std::size_t>;
void AddBarMarks(const std::vector<const SeriesModel*>& series, const std::vector<Box>& boxes,
                 const std::vector<FaceRange>& faces, const Geometry& g, MarkPlacer& placer,
                 ChartLayout& layout);

// Lines (linelayout.cpp), step 5: one line series, the `index`-th drawn, in its depth row.
void AddLine(const SeriesModel& series, int index, int row, const Geometry& g, ChartLayout& layout);
// Step 6: the marks of every line, once every face is laid out.
void AddLineMarks(const std::vector<const SeriesModel*>& series, const Geometry& g,
                  MarkPlacer& placer, ChartLayout& layout);

}  // namespace chart
