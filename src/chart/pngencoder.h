#pragma once
// A PNG writer for chart images, many times faster than Qt's: Qt's writer leaves libpng to
// try every row filter on every row, which costs more than the compression itself. Charts are
// large flat areas, so one filter ("Up": the difference to the row above) and zlib's fastest
// level give small files at once. A large image is deflated in bands on several cores.
// (A compressor of our own made for chart rows was three times as fast as zlib, but made a
// whole chart of tarvo-batch less than twice as fast, so zlib took its place: README, "Speed".)

#include <QString>

class QIODevice;
class QImage;

namespace chart {

// Writes `image` as an 8-bit RGB PNG (alpha dropped) to `device`; returns the reason of a
// failure, empty on success.
QString WritePng(const QImage& image, QIODevice& device);

}  // namespace chart
