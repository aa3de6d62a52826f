#pragma once
// Writes a chart to an image file whose name's ending chooses the format (imageformats.h): a PNG,
// an SVG, a one-page vector PDF, a JPEG of quality 90 (of 100), or a 24-bit BMP. Every format is
// written atomically: the file appears complete or not at all, and an existing file of that name
// stays as it was when the write fails.

#include <QSize>
#include <QString>
#include <string>

#include "chart/export/imageformats.h"

class QIODevice;
class QImage;

namespace chart {

struct ChartModel;

// The quality of a JPEG, from 0 to 100.
inline constexpr int kJpegQuality = 90;

// Writes a 24-bit BMP, or a PNG or a JPEG as `format` says, to `device`; returns the reason of a
// failure, empty on success.
QString EncodeRasterImage(const QImage& image, ImageFileFormat format, QIODevice& device);

// Throws Exception naming the file and the reason. The size is not checked here.
void WriteChartImageFile(const ChartModel& model, QSize size, const std::string& fileName);

}  // namespace chart
