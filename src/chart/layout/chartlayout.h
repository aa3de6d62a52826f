#pragma once
// The geometry of one chart drawing in logical pixels: rectangles, polygons, lines and text
// anchors, in the order they are painted. Made by LayoutChart; PaintChart reads its scene, the
// hit test its plot geometry. The layout never paints, so tests check its numbers directly.

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <array>
#include <vector>

#include "chart/model/chartmodel.h"
#include "chart/model/numberformat.h"

namespace chart {

enum class FontRole {
  Title,
  LeftAxisTitle,
  BottomAxisTitle,
  Tick,
  Legend,
  Mark,
  SeriesTitle,
  SmallMark,  // a data label where the mark's own font does not fit: the smallest still legible
};

// What a text is on the chart: the check of the guarantees and the reports tell them apart.
enum class TextRole {
  Title,
  AxisTitle,
  TickLabel,
  ScaleNote,  // the power of ten that a value axis' ticks are divided by, or its "%"
  CategoryLabel,
  Legend,
  SeriesTitle,
  DataLabel,
};

struct ChartFonts {
  std::array<QFont, 8> fonts;
  const QFont& operator[](FontRole role) const { return fonts[static_cast<std::size_t>(role)]; }
};

// Fonts of the default sans family at fixed sizes (points at 96 dpi, held as pixels so that
// measuring and painting agree on every device), with the model's bold and italic choices.
ChartFonts MakeChartFonts(const ChartModel& model);

// A text drawn at `origin`, turned by `angle` degrees (counter-clockwise), inside `box` that is
// relative to the origin in the turned frame.
struct TextItem {
  QString text;
  QPointF origin;
  double angle = 0;
  QRectF box;
  int align = 0;  // Qt::AlignmentFlag values
  FontRole font = FontRole::Tick;
  QColor color = Qt::black;
  bool framed = false;                   // a mark: white box with a thin border behind the text
  QColor frame = QColor(160, 160, 160);  // the border's colour
  QString fullText;  // the whole text where `text` is shortened or wrapped, for a tooltip
  TextRole role = TextRole::Title;
  // A data label's point: the drawn series (as BarBox::series) and the point's index.
  int series = -1;
  int point = -1;
};

// A face is filled without antialiasing, which costs a fraction of a smooth fill on a large image,
// and its smooth outline hides the steps of its edges. A face whose edges must blend
// into what lies around it (a pie's slice against the background) is filled smoothly.
struct Face {
  QPolygonF polygon;
  QColor fill;
  QColor outline;
  bool dense = false;   // one of thousands of faces of a dense chart: no antialiasing, no outline
  int series = -1;      // the drawn series it shows (as BarBox::series), -1 for none
  bool smooth = false;  // filled with antialiasing
  int point = -1;       // the point it shows, -1 for a whole series (a line's ribbon)
};

struct Polyline {
  QPolygonF points;
  QColor color;
  double width = 2;
  bool dense = false;  // more points than pixels: drawn without antialiasing, which costs more
                       // than it shows there
  int series = -1;     // the drawn series it shows
};

struct Segment {
  QLineF line;
  QColor color;
  double width = 1;
};

// What a legend entry's swatch shows: a filled square for bars and slices, a short stretch of
// line for a line series, so that the reader matches an entry to the marks as drawn.
enum class LegendSample { Square, Line };

// An entry of the legend: a drawn series, or in a pie chart a point of the pie; -1 for the line
// that counts the entries left out.
struct LegendItem {
  QRectF swatch;
  QColor color;
  TextItem text;
  int entry = -1;
  LegendSample sample = LegendSample::Square;
};

// One bar as the data placed it: its front face, and in 3D the depth by which its top and side
// go back. For tests and for finding what the pointer is over.
struct BarBox {
  int series = 0;
  int point = 0;
  QRectF front;
  double depth = 0;
  bool dense = false;  // one of the bars thinner than a pixel, gathered into its pixel column
};

// A point of a line where it is drawn (in 3D on the front edge of its ribbon). A line with more
// points than pixels keeps only the lowest and highest point of each pixel column.
struct LinePointSpot {
  int series = 0;
  int point = 0;
  QPointF at;
};

// A point of a kind of series whose marks are neither bars nor line points: the area it covers.
struct PointMark {
  int series = 0;
  int point = 0;
  QRectF area;
};

struct PieSlice {
  int point = 0;
  double startDegrees = 0;  // Qt convention: 0 at 3 o'clock, counter-clockwise positive
  double sweepDegrees = 0;  // negative: clockwise
  QColor color;
};

struct PieGeometry {
  int series = 0;
  QPointF center;
  double radiusX = 0;
  double radiusY = 0;
  double thickness = 0;  // 3D edge height
  std::vector<PieSlice> slices;
};

// How many data labels the chart wanted (one for each non-zero value of a series whose marks are
// shown), how many it shows, and how many of those in the small font.
struct LabelCount {
  int wanted = 0;
  int shown = 0;
  int small = 0;
};

// What the layout left out or shortened for want of room, for the reports.
struct Omissions {
  LabelCount dataLabels;
  int categoryLabels = 0;  // categories, of which `shownCategories` have their labels
  int shortenedTexts = 0;  // texts shown shortened with "…" (their whole text in a tooltip)
  int titleLinesLeftOut = 0;
  bool axisTitlesLeftOut = false;  // one or both, or their second lines
  bool tickLabelsLeftOut = false;  // the value axis shows no more than one labelled tick
  int legendEntriesLeftOut = 0;
};

// What the painter reads: the chart's size and fonts, and every mark in paint order.
struct Scene {
  QSizeF size;
  ChartFonts fonts;
  std::vector<Face> walls;
  std::vector<Segment> grid;
  std::vector<Face> faces;  // back to front
  std::vector<Polyline> lines;
  std::vector<Segment> strokes;  // axis lines, zero line, mark connectors
  std::vector<TextItem> texts;
  QRectF legendFrame;
  std::vector<LegendItem> legend;
};

// Where the data went, for finding what the pointer is over and for the checks: the plot, the
// value axis, and each bar, pie, line point and other mark as the data placed it.
struct PlotGeometry {
  // The pixels that a bar or a segment of a non-zero value takes at the least, along and
  // across: 2 where a pixel of the layout is less than a pixel of the device (a small image),
  // so that it still covers one there.
  int leastPixels = 1;
  QRectF plot;          // front rectangle of the axes (empty for pies)
  QPointF depthOffset;  // from a front point to the same point on the back wall
  double valueMin = 0;  // the values at the ends of the value axis
  double valueMax = 1;
  std::vector<double> valueTicks;  // the labelled values, within valueMin to valueMax
  double categoryLabelAngle = 0;
  std::vector<int> shownCategories;  // indexes whose labels are drawn
  // The model's index of each drawn series: the `series` of bars, pies and line points counts
  // the drawn series only (a pie chart draws its pies, any other chart all but its pies).
  std::vector<int> drawnSeries;
  std::vector<BarBox> bars;  // back to front
  std::vector<PieGeometry> pies;
  std::vector<LinePointSpot> linePoints;
  std::vector<PointMark> pointMarks;
};

// How the chart writes numbers: the data labels and tooltips each drawn series' values in its
// style, every number in the reader's locale.
struct NumberWriting {
  std::vector<ValueStyle> valueStyles;
  NumberLocale locale;
};

// A chart laid out, in its parts: the scene for the painter, the plot's geometry and the number
// writing for the hit test and the checks, and what was left out for the reports.
struct ChartLayout {
  Scene scene;
  PlotGeometry geometry;
  NumberWriting numbers;
  Omissions omitted;
};

// `deviceScale`: device pixels per logical pixel where the layout is painted (ImageTextScale of
// an image file; 1 on screens, for vector files and for reports). Where it is below 1, the
// small font of data labels grows so that its letters keep their legible size on the device.
ChartLayout LayoutChart(const ChartModel& model, QSizeF size, const ChartFonts& fonts,
                        double deviceScale = 1);

}  // namespace chart
