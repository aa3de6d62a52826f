#include "chart/render/chartpainter.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "chart/layout/chartlayout.h"
#include "chart/render/outlinering.h"

namespace chart {

namespace {

// The least scale of an image's texts.
constexpr double kMinImageTextScale = 0.75;
constexpr double kOutline = 0.8;
constexpr double kThinFace = 6;         // device pixels
constexpr double kLegendLineWidth = 2;  // as a line series is drawn

QPainterPath PathOf(const QPolygonF& polygon) {
  QPainterPath path;
  path.addPolygon(polygon);
  path.closeSubpath();
  return path;
}

// Outlines are 0.8 pixels wide and scale with the device, as texts do; on an image at most a
// device pixel: Qt's stroker costs more for wider smooth lines on a large image than the whole
// rest of the chart, and a pixel is fine enough for an edge.
QPen Outline(const QPainter& painter, const QColor& color) {
  QPen pen(color, kOutline);
  const bool raster =
      painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
  if (raster && painter.transform().m11() * kOutline > 1) {
    pen.setWidthF(1);
    pen.setCosmetic(true);
  }
  return pen;
}

// A face's outline is drawn inside it, so that no outline reaches into the face beside it: a
// segment of a stack a pixel high keeps its colour between its neighbours. A face thinner than
// a few device pixels has no outline at all. The outline is a ring filled inside the face; only
// a face too thin or too sharp for that takes a stroke clipped to the face, which costs a mask of
// the whole image.
void PaintOutlineInside(QPainter& painter, const Face& face) {
  const QRectF bounds = face.polygon.boundingRect();
  const double scale = std::hypot(painter.transform().m11(), painter.transform().m12());
  if (std::min(bounds.width(), bounds.height()) * scale < kThinFace) return;
  if (face.outline == face.fill) {
    // An outline in the face's own colour (the front band of a 3D line) shows only as the
    // face's smooth edge.
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(face.polygon);
    painter.restore();
    return;
  }
  const QPen pen = Outline(painter, face.outline);
  const double deviceWidth = pen.isCosmetic() ? pen.widthF() : pen.widthF() * scale;
  if (PaintOutlineRing(painter, face.polygon, face.outline, deviceWidth)) return;
  painter.save();
  painter.setClipPath(PathOf(face.polygon), Qt::IntersectClip);
  QPen doubled = pen;
  doubled.setWidthF(pen.widthF() * 2);
  painter.setPen(doubled);
  painter.setBrush(Qt::NoBrush);
  painter.drawPolygon(face.polygon);
  painter.restore();
}

void PaintFaces(QPainter& painter, const std::vector<Face>& faces) {
  for (const Face& face : faces) {
    painter.setRenderHint(QPainter::Antialiasing, face.smooth);
    painter.setPen(face.smooth && !face.dense ? Outline(painter, face.outline) : QPen(Qt::NoPen));
    painter.setBrush(face.fill);
    painter.drawPolygon(face.polygon);
    if (face.smooth || face.dense) continue;
    painter.setRenderHint(QPainter::Antialiasing);
    PaintOutlineInside(painter, face);
  }
  painter.setRenderHint(QPainter::Antialiasing);
}

void PaintSegments(QPainter& painter, const std::vector<Segment>& segments) {
  for (const Segment& segment : segments) {
    painter.setPen(QPen(segment.color, segment.width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(segment.line);
  }
}

void PaintLines(QPainter& painter, const std::vector<Polyline>& lines) {
  painter.setBrush(Qt::NoBrush);
  for (const Polyline& line : lines) {
    painter.setRenderHint(QPainter::Antialiasing, !line.dense);
    painter.setPen(QPen(line.color, line.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line.points);
  }
  painter.setRenderHint(QPainter::Antialiasing);
}

void PaintText(QPainter& painter, const Scene& scene, const TextItem& item) {
  painter.save();
  painter.translate(item.origin);
  if (item.angle != 0) painter.rotate(-item.angle);
  if (item.framed) {
    painter.setPen(Outline(painter, item.frame));
    painter.setBrush(QColor(255, 255, 250));
    painter.drawRoundedRect(item.box, 2, 2);
  }
  painter.setFont(scene.fonts[item.font]);
  painter.setPen(item.color);
  painter.drawText(item.box, item.align, item.text);
  painter.restore();
}

// A line series' sample is a stretch of its line, as wide as the line, across the swatch; bars
// and slices show a filled square.
void PaintSample(QPainter& painter, const LegendItem& item) {
  if (item.sample == LegendSample::Line) {
    painter.setPen(QPen(item.color, kLegendLineWidth, Qt::SolidLine, Qt::RoundCap));
    const double y = item.swatch.center().y();
    painter.drawLine(QPointF(item.swatch.left(), y), QPointF(item.swatch.right(), y));
    return;
  }
  painter.setPen(Outline(painter, item.color.darker(130)));
  painter.setBrush(item.color);
  painter.drawRect(item.swatch);
}

void PaintLegend(QPainter& painter, const Scene& scene) {
  if (scene.legend.empty()) return;
  painter.setPen(Outline(painter, QColor(180, 180, 180)));
  painter.setBrush(Qt::white);
  painter.drawRect(scene.legendFrame);
  for (const LegendItem& item : scene.legend) {
    if (item.color.alpha() > 0) PaintSample(painter, item);
    PaintText(painter, scene, item.text);
  }
}

}  // namespace

void PaintChart(QPainter& painter, const Scene& scene) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(QPointF(0, 0), scene.size), Qt::white);
  PaintFaces(painter, scene.walls);
  PaintSegments(painter, scene.grid);
  PaintFaces(painter, scene.faces);
  PaintLines(painter, scene.lines);
  PaintSegments(painter, scene.strokes);
  for (const TextItem& item : scene.texts) PaintText(painter, scene, item);
  PaintLegend(painter, scene);
  painter.restore();
}

void RenderChart(QPainter& painter, const ChartModel& model, const QRectF& target, double scale) {
  if (!(target.width() > 0 && target.height() > 0 && scale > 0)) return;
  const QSizeF logical = target.size() / scale;
  const ChartLayout layout = LayoutChart(model, logical, MakeChartFonts(model), scale);
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(scale, scale);
  painter.setClipRect(QRectF(QPointF(0, 0), logical), Qt::IntersectClip);
  PaintChart(painter, layout.scene);
  painter.restore();
}

double ImageTextScale(const QSizeF& size) {
  const double fit = std::min(size.width() / kWindowChartWidth, size.height() / kWindowChartHeight);
  return std::isfinite(fit) ? std::max(kMinImageTextScale, std::sqrt(std::max(0.0, fit))) : 1.0;
}

}  // namespace chart
