#pragma once
// Default colours: a colour-blind-safe cycle of ten (Petroff's published sequence), and the
// rules that turn "automatic" colours into real ones.

#include <QColor>
#include <vector>

#include "chart/model/chartmodel.h"
#include "chart/model/color.h"

namespace chart {

// The palette colour for an index: the ten colours, then again lighter, then darker, so that
// thirty series or slices stand apart; then the cycle repeats. Negative indexes count as 0.
Color PaletteColor(int index);

QColor ToQColor(Color color);

// The colour a point is painted in: its own colour, else the series colour, else the palette.
// Pie slices take the palette colour of their point index, other series that of the series.
Color ResolvePointColor(const SeriesModel& series, int pointIndex);

// The colour of every point: ResolvePointColor's, and where a pie's slice would take the
// palette colour of a slice next to it (the last one's next is the first), the next palette
// colour that is neither of its neighbours'.
std::vector<Color> PointColors(const SeriesModel& series);

// The colour a series shows in the legend and on its line: its own, else its palette colour.
Color ResolveSeriesColor(const SeriesModel& series);

// The colours the points of a series that have a value are drawn in (ResolvePointColor's): the
// one most of them take (of equals the first point's), and how many there are. A series without
// a drawn point has its own colour, counted once.
struct DrawnColors {
  Color most = kAutomaticColor;
  int count = 0;
};
DrawnColors ColorsDrawn(const SeriesModel& series);

// The shades of a colour on the faces of a 3D shape: its top, its side, and a pie's curved edge.
QColor TopShade(const QColor& color);
QColor SideShade(const QColor& color);
QColor EdgeShade(const QColor& color);

}  // namespace chart
