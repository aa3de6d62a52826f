#include "chart/export/pngencoder.h"

#define ZLIB_CONST
#include <zlib.h>

#include <QIODevice>
#include <QImage>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <thread>
#include <vector>

#include "compression/deflate.h"

namespace chart {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr int kBitDepth = 8;
constexpr int kColorTypeRgb = 2;
constexpr unsigned char kFilterUp = 2;
constexpr std::size_t kIdatBytes = 64 * 1024;  // compressed data per IDAT chunk

bool WriteChunk(QIODevice& device, const char (&type)[5], const unsigned char* data,
                std::size_t size) {
  std::array<char, 8> head{};
  qToBigEndian<quint32>(static_cast<quint32>(size), head.data());
  std::memcpy(head.data() + 4, type, 4);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
  if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
  std::array<char, 4> tail{};
  qToBigEndian<quint32>(static_cast<quint32>(crc), tail.data());
  const auto bytes = static_cast<qint64>(size);
  return device.write(head.data(), 8) == 8 &&
         (size == 0 || device.write(reinterpret_cast<const char*>(data), bytes) == bytes) &&
         device.write(tail.data(), 4) == 4;
}

bool WriteHeader(QIODevice& device, const QImage& image) {
  std::array<unsigned char, 13> header{};  // compression, filter and interlace methods stay 0
  qToBigEndian<quint32>(static_cast<quint32>(image.width()), header.data());
  qToBigEndian<quint32>(static_cast<quint32>(image.height()), header.data() + 4);
  header[8] = kBitDepth;
  header[9] = kColorTypeRgb;
  return device.write(kSignature, 8) == 8 &&
         WriteChunk(device, "IHDR", header.data(), header.size());
}

// Pixel `x` of `row` less the pixel above it, as RGB bytes at `out`.
void WriteDifference(const QRgb* row, const QRgb* above, std::size_t x, unsigned char* out) {
  out[3 * x] = static_cast<unsigned char>(qRed(row[x]) - qRed(above[x]));
  out[3 * x + 1] = static_cast<unsigned char>(qGreen(row[x]) - qGreen(above[x]));
  out[3 * x + 2] = static_cast<unsigned char>(qBlue(row[x]) - qBlue(above[x]));
}

// Row `y` with the "Up" filter, as its filter byte and the differences of its RGB bytes from
// those of the row above (zeros above the first row), into `out`.
void WriteFilteredRow(const QImage& image, int y, unsigned char* out) {
  const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
  const auto width = static_cast<std::size_t>(image.width());
  *out++ = kFilterUp;
  if (y == 0) {
    for (std::size_t x = 0; x < width; ++x) {
      out[3 * x] = static_cast<unsigned char>(qRed(row[x]));
      out[3 * x + 1] = static_cast<unsigned char>(qGreen(row[x]));
      out[3 * x + 2] = static_cast<unsigned char>(qBlue(row[x]));
    }
    return;
  }
  const auto* above = reinterpret_cast<const QRgb*>(image.constScanLine(y - 1));
  // Most of a chart's row is as the row above even where the row is not: four pixels at a
  // time are compared, and where they are equal, twelve zeros written at once.
  constexpr std::size_t kGroup = 4;
  std::size_t x = 0;
  for (; x + kGroup <= width; x += kGroup) {
    if (std::memcmp(row + x, above + x, kGroup * sizeof(QRgb)) == 0) {
      std::memset(out + 3 * x, 0, 3 * kGroup);
      continue;
    }
    for (std::size_t end = x + kGroup, one = x; one < end; ++one)
      WriteDifference(row, above, one, out);
  }
  for (; x < width; ++x) WriteDifference(row, above, x, out);
}

// Rows [first, end) of the image, filtered and deflated on their own (no header, no checksum)
// and ended on a byte boundary: bands one after the other make one deflate stream, as pigz
// joins them.
struct Band {
  int first = 0;
  int end = 0;
  bool last = false;
  std::vector<unsigned char> deflated;
  uLong adler = 1;
  std::size_t size = 0;  // of the filtered rows
  bool failed = false;   // no memory for it
};

// The Adler-32 checksum `adler` continued over a row equal to the one above it once filtered:
// its filter byte, then `rowBytes` - 1 zeros. A zero leaves the sum of the bytes as it is and
// adds that sum to the sum of sums.
uLong AdlerOfUnchangedRow(uLong adler, std::size_t rowBytes) {
  constexpr std::uint64_t kModulus = 65521;
  const std::uint64_t sum = ((adler & 0xFFFF) + kFilterUp) % kModulus;
  const std::uint64_t sumOfSums = ((adler >> 16) + sum * (rowBytes % kModulus)) % kModulus;
  return static_cast<uLong>(sumOfSums << 16 | sum);
}

// Chart rows very often equal the row above: such a row filters to zeros, which need neither
// the filter's arithmetic nor a pass of the checksum over them.
bool SameAsRowAbove(const QImage& image, int y) {
  return y > 0 && std::memcmp(image.constScanLine(y), image.constScanLine(y - 1),
                              static_cast<std::size_t>(image.width()) * sizeof(QRgb)) == 0;
}

// Rows [y, y + rows) filtered into `out`, the band's checksum continued over them.
void FilterRows(const QImage& image, int y, int rows, unsigned char* out, Band& band) {
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3 + 1;
  for (const int end = y + rows; y < end; ++y, out += rowBytes) {
    if (SameAsRowAbove(image, y)) {
      out[0] = kFilterUp;
      std::memset(out + 1, 0, rowBytes - 1);
      band.adler = AdlerOfUnchangedRow(band.adler, rowBytes);
    } else {
      WriteFilteredRow(image, y, out);
      band.adler = compression::Adler32(static_cast<std::uint32_t>(band.adler), out, rowBytes);
    }
  }
  band.size += static_cast<std::size_t>(rows) * rowBytes;
}

// A band is filtered into the compressor's window about a megabyte at a time, so that the
// compressor reads it from the cache, and ends on a byte boundary (or the stream's end). Out of
// memory, the band is marked failed: on a thread of its own an exception would end the program.
void DeflateBand(const QImage& image, Band& band) try {
  const std::size_t rowBytes = static_cast<std::size_t>(image.width()) * 3 + 1;
  const int rowsPerBlock = static_cast<int>(std::max<std::size_t>(1, (1 << 20) / rowBytes));
  compression::Deflater deflater;
  for (int y = band.first; y < band.end; y += rowsPerBlock) {
    const int rows = std::min(rowsPerBlock, band.end - y);
    FilterRows(image, y, rows, deflater.Append(static_cast<std::size_t>(rows) * rowBytes), band);
    deflater.Compress();
  }
  band.deflated = deflater.Finish(band.last);
} catch (const std::bad_alloc&) {
  band.failed = true;
}

// The zlib stream of the filtered rows: a large image in bands of rows deflated on threads of
// their own, at most four, so that a large chart costs little more than its drawing; a band is
// a few megabytes at least, or the threads cost more than they save. The bands depend on the
// image's size alone, so that an image's file is the same on every machine. Empty when there was
// no memory for it.
std::vector<unsigned char> ZlibStream(const QImage& image) {
  constexpr std::size_t kBandBytes = 4 << 20;
  constexpr std::size_t kMostBands = 4;
  const std::size_t bytes =
      (static_cast<std::size_t>(image.width()) * 3 + 1) * static_cast<std::size_t>(image.height());
  const int count = static_cast<int>(std::clamp<std::size_t>(bytes / kBandBytes, 1, kMostBands));
  std::vector<Band> bands(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Band& band = bands[static_cast<std::size_t>(i)];
    band.first = image.height() * i / count;
    band.end = image.height() * (i + 1) / count;
    band.last = i + 1 == count;
  }
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < bands.size(); ++i) {
    threads.emplace_back(DeflateBand, std::cref(image), std::ref(bands[i]));
  }
  DeflateBand(image, bands[0]);
  for (std::thread& thread : threads) thread.join();
  std::vector<unsigned char> stream = {0x78, 0x01};  // deflate, 32K window, fastest level
  uLong adler = 1;
  for (const Band& band : bands) {
    if (band.failed) return {};
    stream.insert(stream.end(), band.deflated.begin(), band.deflated.end());
    adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.size));
  }
  for (int shift : {24, 16, 8, 0}) stream.push_back(static_cast<unsigned char>(adler >> shift));
  return stream;
}

bool WriteIdat(QIODevice& device, const std::vector<unsigned char>& stream) {
  for (std::size_t at = 0; at < stream.size(); at += kIdatBytes) {
    if (!WriteChunk(device, "IDAT", stream.data() + at, std::min(kIdatBytes, stream.size() - at)))
      return false;
  }
  return true;
}

}  // namespace

QString WritePng(const QImage& source, QIODevice& device) {
  if (source.isNull()) return "the image is empty";
  const QImage image = source.format() == QImage::Format_RGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  const std::vector<unsigned char> stream = ZlibStream(image);
  if (stream.empty()) return "not enough memory to compress the image";
  if (WriteHeader(device, image) && WriteIdat(device, stream) &&
      WriteChunk(device, "IEND", nullptr, 0))
    return {};
  return device.errorString().isEmpty() ? QString("the file refused the data")
                                        : device.errorString();
}

}  // namespace chart
