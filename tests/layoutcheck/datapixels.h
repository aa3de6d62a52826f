#pragma once
// The layout check's own reading of what a reader sees, written apart from the layout's placer so
// that a fault there is not judged by itself: which point's data shows on each pixel, painted
// from the layout's faces, lines and line points in their paint order, and where a text's
// letters lie. Internal to the layout check library.

#include <QImage>
#include <QPolygonF>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

// A point of a drawn series, or a whole series (a line, its ribbon) where `point` is -1.
struct DataOwner {
  int series = -1;
  int point = -1;
};

class DataPixels {
 public:
  DataPixels(const ChartLayout& layout, QRectF area);

  // The data under `corners` (pixels whose middle lies inside) that is not `text`'s own: its
  // point, or its series' line.
  std::optional<DataOwner> OtherUnder(const QPolygonF& corners, DataOwner text) const;
  // Paints `corners` over the data, as a text covers it.
  void Cover(const QPolygonF& corners);
  // The (series, point) of every point that still shows a pixel.
  std::set<std::pair<int, int>> Shown() const;

 private:
  void Paint(const ChartLayout& layout);
  DataOwner OwnerAt(int x, int y) const;  // pixel of the image; series -1 for none

  QImage image_;
  QPointF offset_;                // the chart's position of the image's first pixel
  std::vector<DataOwner> marks_;  // by colour - 1: one per face, line and line point
};

// The four corners of a text's letters on the chart (a framed text: its frame).
QPolygonF LetterCorners(const ChartLayout& layout, const TextItem& item);

// Whether two convex shapes lie apart: some edge's normal separates them, with an overlap of
// `slack` allowed.
bool ShapesApart(const QPolygonF& a, const QPolygonF& b, double slack);

}  // namespace chart
