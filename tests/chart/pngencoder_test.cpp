// The PNG writer: what it writes reads back as the same pixels, in 8-bit RGB.

#include "chart/pngencoder.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

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

TEST(PngEncoder, FailuresAreReportedNotHidden) {
  QBuffer readOnly;
  readOnly.open(QIODevice::ReadOnly);
  EXPECT_FALSE(WritePng(Noise(QSize(4, 4), QImage::Format_RGB32), readOnly).isEmpty());
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  EXPECT_FALSE(WritePng(QImage(), buffer).isEmpty());
}

}  // namespace
