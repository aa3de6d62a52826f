#pragma once
// A face's outline as a ring inside the face: the face less the face moved inward by the
// outline's width. Filling the ring draws what a stroke of twice the width clipped to the face
// draws, without a clip path, whose mask costs a full image per face on a large image.

#include <QPainterPath>
#include <QPolygonF>

class QColor;
class QPainter;

namespace chart {

// `polygon` with every edge moved inward by `inset`, each corner where the two moved edges
// meet; its corners in the polygon's order (repeated and closing points dropped). Empty where
// the polygon is too thin or too sharp for it: an edge would turn round, or a corner reach far.
QPolygonF InsetPolygon(const QPolygonF& polygon, double inset);

// The ring of `width` inside `polygon`, to fill; empty where InsetPolygon is.
QPainterPath OutlineRing(const QPolygonF& polygon, double width);

// Fills the ring of `deviceWidth` device pixels inside `face` in `color`, antialiased; false,
// painting nothing, where the face is too thin or too sharp for a ring. On an image the face's
// corners go to whole pixels first, where the edges of a face filled without antialiasing lie,
// so that the ring's outer edge is the fill's.
bool PaintOutlineRing(QPainter& painter, const QPolygonF& face, const QColor& color,
                      double deviceWidth);

}  // namespace chart
