#include "pngencoder.h"

#include <zlib.h>

#include <QIODevice>
#include <QImage>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

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

// Deflates the filtered rows into IDAT chunks of kIdatBytes as the output fills.
class IdatWriter {
 public:
  explicit IdatWriter(QIODevice& device) : device_(device), out_(kIdatBytes) {
    ok_ = deflateInit(&stream_, Z_BEST_SPEED) == Z_OK;
    Rewind();
  }
  ~IdatWriter() { deflateEnd(&stream_); }
  IdatWriter(const IdatWriter&) = delete;
  IdatWriter& operator=(const IdatWriter&) = delete;

  bool Add(std::vector<unsigned char>& row) {
    stream_.next_in = row.data();
    stream_.avail_in = static_cast<uInt>(row.size());
    while (ok_ && stream_.avail_in > 0) {
      ok_ = deflate(&stream_, Z_NO_FLUSH) != Z_STREAM_ERROR;
      if (ok_ && stream_.avail_out == 0) ok_ = Flush();
    }
    return ok_;
  }

  bool Finish() {
    for (int result = Z_OK; ok_ && result != Z_STREAM_END;) {
      result = deflate(&stream_, Z_FINISH);
      ok_ = result != Z_STREAM_ERROR;
      if (ok_ && (stream_.avail_out == 0 || result == Z_STREAM_END)) ok_ = Flush();
    }
    return ok_;
  }

 private:
  bool Flush() {
    const std::size_t used = out_.size() - stream_.avail_out;
    const bool written = used == 0 || WriteChunk(device_, "IDAT", out_.data(), used);
    Rewind();
    return written;
  }
  void Rewind() {
    stream_.next_out = out_.data();
    stream_.avail_out = static_cast<uInt>(out_.size());
  }

  QIODevice& device_;
  z_stream stream_{};
  std::vector<unsigned char> out_;
  bool ok_ = false;
};

// Row `y` as RGB bytes.
void RgbRow(const QImage& image, int y, std::vector<unsigned char>& rgb) {
  const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
  for (std::size_t x = 0, width = static_cast<std::size_t>(image.width()); x < width; ++x) {
    rgb[3 * x] = static_cast<unsigned char>(qRed(pixels[x]));
    rgb[3 * x + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
    rgb[3 * x + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
  }
}

// The filter byte, then each byte of `current` less the same byte of `above`.
void FilterUp(const std::vector<unsigned char>& above, const std::vector<unsigned char>& current,
              std::vector<unsigned char>& row) {
  row[0] = kFilterUp;
  std::transform(
      current.begin(), current.end(), above.begin(), row.begin() + 1,
      [](unsigned char a, unsigned char b) { return static_cast<unsigned char>(a - b); });
}

}  // namespace

QString WritePng(const QImage& source, QIODevice& device) {
  if (source.isNull()) return "the image is empty";
  const QImage image = source.format() == QImage::Format_RGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
  const auto rowBytes = static_cast<std::size_t>(image.width()) * 3;
  std::vector<unsigned char> above(rowBytes, 0), current(rowBytes), row(rowBytes + 1);
  bool ok = WriteHeader(device, image);
  IdatWriter idat(device);
  for (int y = 0; ok && y < image.height(); ++y) {
    RgbRow(image, y, current);
    FilterUp(above, current, row);
    ok = idat.Add(row);
    above.swap(current);
  }
  ok = ok && idat.Finish() && WriteChunk(device, "IEND", nullptr, 0);
  if (ok) return {};
  return device.errorString().isEmpty() ? QString("the compression failed") : device.errorString();
}
