#pragma once
// Paints a chart layout. The one core that the window, the bitmap file and the printer share;
// each of them only picks the rectangle and the scale.

class QPainter;
class QRectF;
struct ChartLayout;
struct ChartModel;

// Paints `layout` with its origin at the painter's current origin, in logical pixels.
void PaintChart(QPainter& painter, const ChartLayout& layout);

// Lays out the model for `target` (device units) and paints it there. `scale` is device pixels
// per logical pixel (1 on screens and bitmaps, dpi / 96 on printers). An empty or inverted
// target draws nothing.
void RenderChart(QPainter& painter, const ChartModel& model, const QRectF& target, double scale);
