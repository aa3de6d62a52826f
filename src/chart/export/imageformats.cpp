#include "chart/export/imageformats.h"

#include <QString>
#include <array>

namespace chart {

namespace {

constexpr std::array<ImageFormat, 6> kImageFormats = {{
    {ImageFileFormat::Png, ".png", "PNG", "PNG image (*.png)"},
    {ImageFileFormat::Svg, ".svg", "SVG", "SVG drawing (*.svg)"},
    {ImageFileFormat::Pdf, ".pdf", "PDF", "PDF document (*.pdf)"},
    {ImageFileFormat::Jpeg, ".jpg", "JPEG", ""},
    {ImageFileFormat::Jpeg, ".jpeg", "JPEG", ""},
    {ImageFileFormat::Bmp, ".bmp", "BMP", ""},
}};

// BMP also takes the names that no ending matches.
static_assert(kImageFormats.back().format == ImageFileFormat::Bmp);

}  // namespace

std::span<const ImageFormat> ImageFormats() { return kImageFormats; }

const ImageFormat& ImageFormatOfFile(const std::string& fileName) {
  const QString name = QString::fromLocal8Bit(fileName.c_str());
  for (const ImageFormat& row : kImageFormats) {
    const QString ending = QString::fromLatin1(row.ending.data(), qsizetype(row.ending.size()));
    if (name.endsWith(ending, Qt::CaseInsensitive)) return row;
  }
  return kImageFormats.back();
}

}  // namespace chart
