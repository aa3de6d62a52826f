#pragma once
// What shows of the faces of a layout: a point of a face shows where no face painted after it
// covers it. Faces are sorted into columns, so that thousands of them cost about what laying
// them out costs. The check of the guarantees asks it whether every series shows.

#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <unordered_map>
#include <vector>

#include "chart/layout/chartlayout.h"

namespace chart {

class FaceCoverage {
 public:
  FaceCoverage(const std::vector<Face>& faces, QSizeF size);

  // The points of face `face` (its middle, and points half a pixel inside its corners and the
  // middles of its edges) that no later face covers and that lie on the chart.
  std::vector<QPointF> VisiblePoints(std::size_t face) const;

 private:
  bool CoveredLater(std::size_t face, QPointF point) const;

  const std::vector<Face>& faces_;
  QRectF chart_;
  std::unordered_map<long long, std::vector<std::size_t>> columns_;
};

}  // namespace chart
