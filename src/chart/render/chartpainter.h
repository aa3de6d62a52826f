#pragma once
// Paints a laid-out chart's scene. The one core that the window, the bitmap file and the printer
// share; each of them only picks the rectangle and the scale.

class QPainter;
class QRectF;
class QSizeF;

namespace chart {

struct ChartModel;
struct Scene;

// Paints `scene` with its origin at the painter's current origin, in logical pixels.
void PaintChart(QPainter& painter, const Scene& scene);

// Lays out the model for `target` (device units) and paints it there. `scale` is device pixels
// per logical pixel (1 on screens and bitmaps, dpi / 96 on printers). An empty or inverted
// target draws nothing.
void RenderChart(QPainter& painter, const ChartModel& model, const QRectF& target, double scale);

// Device pixels per logical pixel for an image file of `size` pixels. Texts and pens grow with
// the image, but slower than it: with the square root of how much larger than the window's chart
// of 585 x 401 the image is (the smaller of its two ratios), so that 1920 x 1080 draws its texts
// about 1.6 times as large as the window does and keeps the rest of its pixels as room for more
// labels. Never below 0.75, so that the smallest text of a small image is still 8 pixels high.
double ImageTextScale(const QSizeF& size);

}  // namespace chart
