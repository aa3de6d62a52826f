#pragma once
// A PNG writer for chart images, many times faster than Qt's: Qt's writer leaves libpng to
// try every row filter on every row, which costs more than the compression itself. Charts are
// large flat areas, so one filter ("Up": the difference to the row above) and a deflate
// compressor made for such rows (compression/deflate.h, several times as fast as zlib's fastest
// level, its files a little smaller) give small files at once. A large image is deflated in
// bands on several cores.

#include <QString>

class QIODevice;
class QImage;

namespace chart {

// Writes `image` as an 8-bit RGB PNG (alpha dropped) to `device`; returns the reason of a
// failure, empty on success.
QString WritePng(const QImage& image, QIODevice& device);

}  // namespace chart
