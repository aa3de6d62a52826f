#pragma once
// Where data labels may go. The placer keeps a raster of the chart's pixels by what shows in
// each (a bar, a slice, a line or its point, a text, or nothing), painted from the layout's faces
// and lines in their paint order, so that the pixel tells what a reader sees there. A label
// takes a rectangle only where it covers nothing but its own point and no other text. Bars,
// stacks, lines and pies each offer their candidate places, in their order of preference; the
// placer takes the first that is free and counts what it could not place. The check of the
// guarantees reads the same raster to see what a text covers. Internal to the chart layout library.

#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

// What a pixel shows: a point of a drawn series, or a whole series (a line, its ribbon) where
// `point` is -1.
struct Owner {
  int series = -1;
  int point = -1;
  bool operator==(const Owner&) const = default;
};

class OwnerRaster {
 public:
  // The pixels of `area` (whole logical pixels of the chart): the layout's faces, lines and
  // line points as they are painted.
  OwnerRaster(const ChartLayout& layout, QRectF area);

  // What other data than the point `label` (and the line of its series) shows on a pixel whose
  // middle lies in `rect` (or in `corners`, a turned text); nothing where there is none.
  std::optional<Owner> OtherUnder(const QRectF& rect, Owner label) const;
  std::optional<Owner> OtherUnder(const QPolygonF& corners, Owner label) const;
  bool Covers(QRectF area) const;

  // Paints `corners` over the data as a text covers it, and tells the points that still show a
  // pixel.
  void Cover(const QPolygonF& corners);
  std::set<std::pair<int, int>> Shown() const;

 private:
  static constexpr unsigned kNothing = 0;
  static constexpr unsigned kCovered = 0xFFFFFF;
  unsigned IdOf(Owner owner);
  template <class Visit>
  void EveryPixel(const QRectF& rect, Visit visit) const;

  QImage image_;
  QPoint origin_;
  std::vector<Owner> owners_;  // by id - 1
  std::unordered_map<long long, unsigned> ids_;
};

// Where a text's letters lie on the chart, as four corners (a framed text: its frame).
QPolygonF TextCorners(const ChartLayout& layout, const TextItem& item);

// Whether two convex shapes lie apart: some edge's normal separates them, with an overlap of
// `slack` allowed.
bool Separated(const QPolygonF& a, const QPolygonF& b, double slack);

// The texts placed so far, in a grid of cells, so that thousands cost little to test.
class TextIndex {
 public:
  bool Overlaps(const QPolygonF& corners) const;
  void Add(const QPolygonF& corners);

 private:
  static constexpr double kCell = 64;
  template <class Visit>
  static void ForCells(const QRectF& bounds, Visit visit);
  std::vector<QPolygonF> texts_;
  std::unordered_map<long long, std::vector<std::size_t>> cells_;
};

// The one writer of a layout's data labels: the steps that offer labels read the layout and
// hand their candidates here.
class LabelPlacer {
 public:
  // Labels go within `bounds`, covering none of the layout's data nor its texts so far.
  LabelPlacer(ChartLayout& layout, QRectF bounds);

  // Counts `count` labels that a kind of series wants, placed or not.
  void Want(int count);
  // Adds to the layout the first candidate that is free, each an upright or a turned data label
  // of one point, and counts it as shown.
  bool Place(std::span<const TextItem> candidates);

 private:
  bool Free(const TextItem& item) const;

  ChartLayout& layout_;
  QRectF bounds_;
  OwnerRaster raster_;
  TextIndex texts_;
};

// A data label of `text` for point `owner`, with its frame (in the mark's font past its bar) or
// none (on its bar, or in the small font, in a colour that stands out on `on`), its box as wide
// and high as its letters need.
TextItem DataLabel(const QString& text, Owner owner, FontRole font, const ChartLayout& layout,
                   bool framed, const QColor& on = Qt::white);
// The label turned to read upward (90 degrees) where `upright`, placed with its outer box at
// `rect` on the chart. `Extent` is the size its box takes on the chart when so turned.
QSizeF Extent(const TextItem& label, bool upright);
void PlaceAt(TextItem& label, const QRectF& rect, bool upright);

}  // namespace chart
