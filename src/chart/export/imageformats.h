#pragma once
// The image file formats, in one table: the image writer chooses a format by the file name's
// ending, the window's save dialog offers the formats that have a filter, and reports name them.

#include <span>
#include <string>
#include <string_view>

namespace chart {

enum class ImageFileFormat { Bmp, Png, Svg, Pdf, Jpeg };

struct ImageFormat {
  ImageFileFormat format;
  std::string_view ending;  // with its dot, compared without regard to case
  std::string_view name;    // in reports
  std::string_view filter;  // in the save dialog; empty: not offered there
};

// In the order the save dialog lists them; the first is its default.
std::span<const ImageFormat> ImageFormats();

// The format whose ending the name has; any other name is a BMP.
const ImageFormat& ImageFormatOfFile(const std::string& fileName);

}  // namespace chart
