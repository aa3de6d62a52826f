// The check of what texts may cover, of the data labels and of the readings of values
// (guarantees (vi), (vii), (ix) and (xi) of layoutguarantees.h). What shows where is read off a
// raster of the layout's data, painted as the chart paints it; which labels must be there is worked
// out from the bars' geometry and the model's values by the rule that the guarantee states.

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "chart/model/numberformat.h"
#include "chart/model/palette.h"
#include "layoutcheck/datapixels.h"
#include "layoutcheck/guaranteechecks.h"

namespace chart {

namespace {

constexpr double kMinRimForAPixel = 3;  // a pie slice at least this wide at its rim shows
constexpr double kLongestZeroMark = 4;  // pixels along the value axis: thin beside a bar

QRectF DataBounds(const ChartLayout& layout) {
  QRectF bounds;
  for (const Face& face : layout.scene.faces) bounds |= face.polygon.boundingRect();
  for (const Polyline& line : layout.scene.lines)
    bounds |= line.points.boundingRect().adjusted(-3, -3, 3, 3);
  for (const LinePointSpot& spot : layout.geometry.linePoints)
    bounds |= QRectF(spot.at - QPointF(3, 3), QSizeF(6, 6));
  return bounds.intersected(QRectF(QPointF(0, 0), layout.scene.size));
}

std::string Named(DataOwner owner) {
  return "series " + std::to_string(owner.series) +
         (owner.point >= 0 ? ", point " + std::to_string(owner.point) : "");
}

DataOwner OwnerOf(const TextItem& item) {
  return item.role == TextRole::DataLabel ? DataOwner{item.series, item.point} : DataOwner{};
}

using Labelled = std::set<std::pair<int, int>>;  // the (series, point) of every data label

Labelled LabelledPoints(const ChartLayout& layout) {
  Labelled labelled;
  for (const TextItem& item : layout.scene.texts) {
    if (item.role == TextRole::DataLabel) labelled.insert({item.series, item.point});
  }
  return labelled;
}

// (ix) for bars: the small label of `bar`, and whether the rule says it fits.
bool BarHasRoomForItsLabel(const BarBox& bar, double value, bool horizontal, bool stacked,
                           const ChartLayout& layout) {
  // Measured here, not with the layout's helpers, so that a fault in those is not judged by
  // itself: the value as the chart's style for its data set writes it, in the small font.
  const QFontMetricsF small(layout.scene.fonts[FontRole::SmallMark]);
  const auto series = static_cast<std::size_t>(bar.series);
  const ValueStyle style = series < layout.numbers.valueStyles.size()
                               ? layout.numbers.valueStyles[series]
                               : ValueStyle{};
  const double text = small.horizontalAdvance(
      QString::fromStdString(FormatValue(value, style, layout.numbers.locale)));
  const double line = small.height();
  const QRectF& f = bar.front;
  const double thickness = horizontal ? f.height() : f.width();
  const double length = horizontal ? f.width() : f.height();
  if (stacked) {  // inside: half a pixel across, two along at either end
    const bool lying = thickness - 1 >= (horizontal ? line : text + 2) &&
                       length - 4 >= (horizontal ? text + 2 : line);
    const bool upright = !horizontal && thickness - 1 >= line && length - 4 >= text + 2;
    return lying || upright;
  }
  const QRectF& p = layout.geometry.plot;
  const bool negative = value < 0;
  const double side = horizontal ? (negative ? f.right() - p.left() : p.right() - f.left())
                                 : (negative ? p.bottom() - f.top() : f.bottom() - p.top());
  return thickness - bar.depth >= line + 1 && side >= 2 * (text + 6) + bar.depth + 6;
}

void CheckBarLabels(const ChartModel& model, const ChartLayout& layout,
                    const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report) {
  const bool allBars = std::all_of(drawn.begin(), drawn.end(), [](const SeriesModel* one) {
    return Traits(one->kind).fromZero;
  });
  const BarGrouping mode = BarGroupingOf(drawn);
  const bool stacked = mode == BarGrouping::Stacked || mode == BarGrouping::Stacked100;
  const bool beside = mode == BarGrouping::SideBySide || drawn.size() == 1;
  if (!allBars || !(stacked || beside)) return;
  const bool horizontal = Traits(ChartKindOf(model)).horizontal;
  const Labelled labelled = LabelledPoints(layout);
  for (const BarBox& bar : layout.geometry.bars) {
    const SeriesModel& series = *drawn[static_cast<std::size_t>(bar.series)];
    if (bar.dense || !series.dataLabelsVisible) continue;
    const double value = series.points[static_cast<std::size_t>(bar.point)].value;
    if (!BarHasRoomForItsLabel(bar, value, horizontal, stacked, layout)) continue;
    if (!labelled.contains({bar.series, bar.point})) {
      report.Add(Guarantee::LabelsPresent,
                 "the bar of " + Named({bar.series, bar.point}) + " has room for its label");
    }
  }
}

// Where each data label stands across: the middle of its box, by (series, point).
std::map<std::pair<int, int>, double> LabelMiddles(const ChartLayout& layout) {
  std::map<std::pair<int, int>, double> middles;
  for (const TextItem& item : layout.scene.texts) {
    if (item.role == TextRole::DataLabel)
      middles[{item.series, item.point}] = item.origin.x() + item.box.center().x();
  }
  return middles;
}

// (ix) for pies: on either side of a pie, no slice without its label is larger than one labelled
// on that side; a label that crossed to the other side is of a slice no larger than those.
void CheckPieLabels(const ChartLayout& layout, const std::vector<const SeriesModel*>& drawn,
                    GuaranteeReport& report) {
  const auto middles = LabelMiddles(layout);
  for (const PieGeometry& pie : layout.geometry.pies) {
    const SeriesModel& series = *drawn[static_cast<std::size_t>(pie.series)];
    if (!series.dataLabelsVisible) continue;
    long double sum = 0, before = 0;
    for (const ChartPoint& p : series.points) sum += std::isfinite(p.value) ? std::abs(p.value) : 0;
    double smallestShown[2] = {HUGE_VAL, HUGE_VAL}, largestLeftOut[2] = {0, 0},
           largestCrossed[2] = {0, 0};
    for (std::size_t i = 0; i < series.points.size(); ++i) {
      const double value = series.points[i].value;
      if (!std::isfinite(value) || value == 0) continue;
      const long double start = 90 - before / sum * 360;
      before += std::abs(value);
      const double middle = static_cast<double>((start + 90 - before / sum * 360) / 2);
      const int side = std::cos(middle * std::numbers::pi / 180) >= 0 ? 1 : 0;
      const double size = std::abs(value);
      const auto label = middles.find({pie.series, static_cast<int>(i)});
      if (label == middles.end()) {
        largestLeftOut[side] = std::max(largestLeftOut[side], size);
      } else if ((label->second >= pie.center.x()) == (side == 1)) {
        smallestShown[side] = std::min(smallestShown[side], size);
      } else {
        largestCrossed[side] = std::max(largestCrossed[side], size);
      }
    }
    for (int side : {0, 1}) {
      if (smallestShown[side] < largestLeftOut[side]) {
        report.Add(Guarantee::LabelsPresent, "pie " + std::to_string(pie.series) +
                                                 " labels a smaller slice and not a larger one");
      }
      if (largestCrossed[side] > smallestShown[side]) {
        report.Add(Guarantee::LabelsPresent,
                   "pie " + std::to_string(pie.series) +
                       " sends a label across that had a place on its own side");
      }
    }
  }
}

// Where the zero line of the value axis lies on a flat chart.
double ZeroPixel(const ChartLayout& layout, bool horizontal) {
  const QRectF& p = layout.geometry.plot;
  // Halved, so that an axis from near the lowest to near the highest double has a length.
  const double share = (0 - layout.geometry.valueMin / 2) /
                       (layout.geometry.valueMax / 2 - layout.geometry.valueMin / 2);
  return horizontal ? p.left() + share * p.width() : p.bottom() - share * p.height();
}

// (xi) for a zero: a thin mark on the zero line, of its point's colour.
std::string ZeroMarkFault(const BarBox& bar, const SeriesModel& series, bool horizontal,
                          const ChartLayout& layout) {
  const QColor colour = ToQColor(ResolvePointColor(series, bar.point));
  const bool coloured =
      std::any_of(layout.scene.faces.begin(), layout.scene.faces.end(), [&](const Face& f) {
        return f.series == bar.series && f.point == bar.point && f.fill == colour;
      });
  if (!coloured) return "is not drawn in its colour";
  if (layout.geometry.depthOffset != QPointF()) return {};  // 3D rows move the front back
  const QRectF& f = bar.front;
  const double zero = ZeroPixel(layout, horizontal);
  const double near = horizontal ? std::min(std::abs(f.left() - zero), std::abs(f.right() - zero))
                                 : std::min(std::abs(f.top() - zero), std::abs(f.bottom() - zero));
  const double along = horizontal ? f.width() : f.height();
  if (near > 1 + kCheckSlack || along < 1 || along > kLongestZeroMark) {
    return "is no thin mark on the zero line";
  }
  return {};
}

}  // namespace

void CheckValuesRead(const ChartModel& model, const ChartLayout& layout,
                     const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report) {
  const BarGrouping mode = BarGroupingOf(drawn);
  if (mode == BarGrouping::Stacked || mode == BarGrouping::Stacked100 ||
      layout.geometry.pies.size() > 0)
    return;
  if (!(layout.geometry.valueMax > layout.geometry.valueMin) ||
      !CategoriesHaveRoom(model, layout, drawn))
    return;
  if (std::any_of(layout.geometry.bars.begin(), layout.geometry.bars.end(),
                  [](const BarBox& b) { return b.dense; }))
    return;
  const bool horizontal = Traits(ChartKindOf(model)).horizontal;
  std::map<std::pair<int, int>, const BarBox*> bars;
  for (const BarBox& bar : layout.geometry.bars) bars[{bar.series, bar.point}] = &bar;
  for (std::size_t s = 0; s < drawn.size(); ++s) {
    if (!Traits(drawn[s]->kind).fromZero) continue;
    const auto& points = drawn[s]->points;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!std::isfinite(points[i].value)) continue;
      const DataOwner owner{static_cast<int>(s), static_cast<int>(i)};
      const auto found = bars.find({owner.series, owner.point});
      if (found == bars.end()) {
        report.Add(Guarantee::ValueRead, "the value of " + Named(owner) + " has no bar or mark");
      } else if (points[i].value == 0) {
        const std::string fault = ZeroMarkFault(*found->second, *drawn[s], horizontal, layout);
        if (!fault.empty())
          report.Add(Guarantee::ValueRead, "the zero of " + Named(owner) + " " + fault);
      }
    }
  }
}

void CheckTextsOffData(const ChartLayout& layout, GuaranteeReport& report) {
  const QRectF bounds = DataBounds(layout);
  if (bounds.isEmpty()) return;
  const DataPixels raster(layout, bounds);
  auto check = [&](const TextItem& item) {
    const std::optional<DataOwner> other =
        raster.OtherUnder(LetterCorners(layout, item), OwnerOf(item));
    if (other) {
      report.Add(Guarantee::TextOffData,
                 Quoted(item.text) + " covers the data of " + Named(*other));
    }
  };
  for (const TextItem& item : layout.scene.texts) check(item);
  for (const LegendItem& item : layout.scene.legend) check(item.text);
}

void CheckValuesShow(const ChartModel& model, const ChartLayout& layout,
                     const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report) {
  std::vector<DataOwner> expected;
  if (layout.geometry.pies.empty()) {
    // In 3D, where each series stands in a depth row of its own, a bar may hide a shorter one
    // behind it but for a strip: only the series are sure to show, by (iii).
    const bool rows = Depth3DShare(model) > 0 && drawn.size() > 1 &&
                      (BarGroupingOf(drawn) == BarGrouping::None ||
                       std::any_of(drawn.begin(), drawn.end(), [](const SeriesModel* one) {
                         return !Traits(one->kind).sharesSlot;
                       }));
    if (rows || !CategoriesHaveRoom(model, layout, drawn)) return;
    for (const BarBox& bar : layout.geometry.bars) expected.push_back({bar.series, bar.point});
  }
  for (const PieGeometry& pie : layout.geometry.pies) {
    for (const PieSlice& slice : pie.slices) {
      const double rim = std::abs(slice.sweepDegrees) * std::numbers::pi / 180 * pie.radiusX;
      if (rim >= kMinRimForAPixel) expected.push_back({pie.series, slice.point});
    }
  }
  if (expected.empty()) return;
  DataPixels raster(layout, DataBounds(layout));
  for (const TextItem& item : layout.scene.texts) raster.Cover(LetterCorners(layout, item));
  if (!layout.scene.legend.empty()) raster.Cover(QPolygonF(layout.scene.legendFrame));
  const std::set<std::pair<int, int>> shown = raster.Shown();
  for (const DataOwner& owner : expected) {
    if (!shown.contains({owner.series, owner.point})) {
      report.Add(Guarantee::ValueShows,
                 "the value of " + Named(owner) + " has no pixel of its own");
    }
  }
}

void CheckDataLabelsPresent(const ChartModel& model, const ChartLayout& layout,
                            const std::vector<const SeriesModel*>& drawn, GuaranteeReport& report) {
  if (layout.geometry.pies.empty()) {
    CheckBarLabels(model, layout, drawn, report);
  } else {
    CheckPieLabels(layout, drawn, report);
  }
}

}  // namespace chart
