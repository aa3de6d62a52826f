#pragma once
// The marks of pie slices (step 5 of the order in pielayout.cpp): what the pie layout and the
// placing of its marks share.

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cmath>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "chart/layout/chartlayout.h"
#include "chart/model/chartmodel.h"

namespace chart {

inline constexpr double kConnector = 12;          // from the rim to the column of marks
inline constexpr double kMaxMarkTextShare = 0.3;  // of a cell's width, for the text of one mark
inline constexpr double kMarkFrame = 6;           // the frame around a mark's text, across
inline constexpr double kMarkGap = 2;             // between a leader's end and its mark

inline double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

inline QPointF OnEllipse(const PieGeometry& pie, double degrees) {
  return QPointF(pie.center.x() + pie.radiusX * std::cos(Radians(degrees)),
                 pie.center.y() - pie.radiusY * std::sin(Radians(degrees)));
}

inline bool IsSlice(double value) { return std::isfinite(value) && value != 0; }

// Step 1: a pie's sum and the marks it may show.
struct PiePlan {
  long double sum = 0;         // of the values' sizes: wide enough for any number of any doubles
  bool anyValue = false;       // a finite value, zero included: an all-zero pie is an empty disc
  std::vector<int> marked;     // the points whose marks may show, by index
  std::vector<QString> marks;  // their whole texts, measured once for every disc tried
  std::vector<double> markWidths;  // and their widths
  double widestMark = 0;           // of their texts
};

// The mark of point `index` of the drawn series `drawn`: its label and value, or the value alone.
QString MarkLabel(const SeriesModel& series, int drawn, std::span<const std::string> labels,
                  std::size_t index, const ChartLayout& layout);

// How well the pie's marks stand in their columns beside the disc, before the placer sees them:
// two for a mark shown whole, one for a shortened one. What the choice of the pies' grid and
// radius counts.
int MarksStanding(const SeriesModel& series, std::span<const std::string> labels,
                  const PieGeometry& pie, const PiePlan& plan, QRectF room,
                  const ChartLayout& layout);

// Step 5: the marks of one pie in `room`, each side's column through the placer from the largest
// slice down until one is refused, each joined to its slice by a leader.
void AddMarks(const SeriesModel& series, std::span<const std::string> labels,
              const PieGeometry& pie, const PiePlan& plan, QRectF room, ChartLayout& layout);

}  // namespace chart
