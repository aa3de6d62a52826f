#pragma once
// Writes a chart to an image file whose name's ending chooses the format: ".png" PNG, ".svg" SVG,
// ".pdf" a one-page vector PDF, anything else a 24-bit BMP (endings compared without regard to
// case). Every format is written atomically: the file appears complete or not at all, and an
// existing file of that name stays as it was when the write fails.

#include <QSize>
#include <QString>
#include <string>

class QIODevice;
class QImage;

namespace chart {

struct ChartModel;

enum class ImageFileFormat { Bmp, Png, Svg, Pdf };

ImageFileFormat ImageFileFormatOf(const std::string& fileName);

// Writes a 24-bit BMP, or a PNG for ImageFileFormat::Png, to `device`; returns the reason of a
// failure, empty on success.
QString EncodeRasterImage(const QImage& image, ImageFileFormat format, QIODevice& device);

// Throws Exception naming the file and the reason. The size is not checked here.
void WriteChartImageFile(const ChartModel& model, QSize size, const std::string& fileName);

}  // namespace chart
