// The PNG writer: what it writes reads back as the same pixels, in 8-bit RGB.

#include "chart/export/pngencoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QtEndian>
#include <vector>

using namespace chart;

namespace {

QImage Noise(QSize size, QImage::Format format) {
  QImage image(size, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, random.generate() | 0xFF000000);
  }
  return image.convertToFormat(format);
}

// Flat, as charts are, with some rows of noise: large enough for four bands.
QImage LargeChart() {
  QImage image(3000, 2000, QImage::Format_RGB32);
  image.fill(QColor(250, 250, 240));
  QRandomGenerator random(3);
  for (int y = 0; y < image.height(); y += static_cast<int>(random.bounded(1, 200))) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) row[x] = random.generate() | 0xFF000000;
  }
  return image;
}

TEST(PngEncoder, WhatItWritesReadsBackAsTheSamePixels) {
  QImage flat(640, 400, QImage::Format_RGB32);
  flat.fill(QColor(20, 200, 90));
  const struct {
    const char* what;
    QImage image;
  } cases[] = {
      {"one pixel", Noise(QSize(1, 1), QImage::Format_RGB32)},
      {"an odd size", Noise(QSize(3, 7), QImage::Format_RGB32)},
      {"one flat colour", flat},
      {"another pixel format", Noise(QSize(31, 17), QImage::Format_RGB888)},
      // Incompressible: its data spans several chunks.
      {"noise", Noise(QSize(300, 300), QImage::Format_RGB32)},
      // Large enough to be deflated in bands, one a core, joined into one stream.
      {"a large image", Noise(QSize(2000, 1500), QImage::Format_RGB32)},
      {"a large chart", LargeChart()},
  };
  for (const auto& c : cases) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_EQ(WritePng(c.image, buffer), QString()) << c.what;
    const QByteArray bytes = buffer.data();
    ASSERT_GT(bytes.size(), 33) << c.what;
    EXPECT_EQ(bytes.at(24), 8) << c.what << ": 8 bits per channel";
    EXPECT_EQ(bytes.at(25), 2) << c.what << ": RGB";
    const QImage read = QImage::fromData(bytes, "png");
    ASSERT_FALSE(read.isNull()) << c.what;
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32),
              c.image.convertToFormat(QImage::Format_RGB32))
        << c.what;
  }
}

// An image of random size made of what charts are made of: flat areas, runs of one colour,
// rows equal to the row above or different in one pixel, and noise like antialiased text.
QImage ChartLike(QRandomGenerator& random) {
  const int shape = static_cast<int>(random.bounded(4));
  const int width = shape == 0 ? 1 : static_cast<int>(random.bounded(1, shape == 1 ? 3000 : 300));
  const int height = shape == 0 ? 1 : static_cast<int>(random.bounded(1, shape == 2 ? 3000 : 300));
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor::fromRgb(random.generate()));
  const auto colour = [&random] { return random.generate() | 0xFF000000; };
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const auto* above = y > 0 ? reinterpret_cast<const QRgb*>(image.constScanLine(y - 1)) : row;
    switch (random.bounded(5)) {
      case 0:  // as the row above
        std::copy(above, above + width, row);
        break;
      case 1:  // one pixel different
        std::copy(above, above + width, row);
        row[random.bounded(width)] = colour();
        break;
      case 2:  // runs of colours
        for (int x = 0; x < width;) {
          const QRgb run = colour();
          for (int end = std::min(width, x + static_cast<int>(random.bounded(1, 400))); x < end;)
            row[x++] = run;
        }
        break;
      case 3:  // noise
        for (int x = 0; x < width; ++x) row[x] = colour();
        break;
      default:  // left as filled
        break;
    }
  }
  return image;
}

// The zlib data of a PNG file, its IDAT chunks joined, each chunk's checksum checked.
QByteArray ZlibData(const QByteArray& png) {
  QByteArray zlibData;
  for (qsizetype at = 8; at + 12 <= png.size();) {
    const auto size = static_cast<qsizetype>(qFromBigEndian<quint32>(png.constData() + at));
    const QByteArray typeAndData = png.mid(at + 4, 4 + size);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()),
                           static_cast<uInt>(typeAndData.size()));
    EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + at + 8 + size), crc);
    if (typeAndData.startsWith("IDAT")) zlibData += typeAndData.mid(4);
    at += 12 + size;
  }
  return zlibData;
}

// Read back by libpng through Qt, and the zlib stream inflated by zlib on its own: its
// checksum right and its length exactly that of the filtered rows.
TEST(PngEncoder, ChartLikeImagesOfAnySizeReadBackAsTheSamePixels) {
  QRandomGenerator random(19);
  for (int round = 0; round < 150; ++round) {
    const QImage image = ChartLike(random);
    const QString what =
        QString("round %1, %2 x %3").arg(round).arg(image.width()).arg(image.height());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_EQ(WritePng(image, buffer), QString()) << what.toStdString();
    const QImage read = QImage::fromData(buffer.data(), "png");
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), image) << what.toStdString();
    const QByteArray zlibData = ZlibData(buffer.data());
    const auto filteredBytes = static_cast<uLong>(image.width() * 3 + 1) * image.height();
    std::vector<Bytef> filtered(filteredBytes + 1);
    uLongf inflated = static_cast<uLongf>(filtered.size());
    EXPECT_EQ(
        uncompress(filtered.data(), &inflated, reinterpret_cast<const Bytef*>(zlibData.constData()),
                   static_cast<uLong>(zlibData.size())),
        Z_OK)
        << what.toStdString();
    EXPECT_EQ(inflated, filteredBytes) << what.toStdString();
  }
}

TEST(PngEncoder, FailuresAreReportedNotHidden) {
  QBuffer readOnly;
  readOnly.open(QIODevice::ReadOnly);
  EXPECT_FALSE(WritePng(Noise(QSize(4, 4), QImage::Format_RGB32), readOnly).isEmpty());
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  EXPECT_FALSE(WritePng(QImage(), buffer).isEmpty());
}

}  // namespace
