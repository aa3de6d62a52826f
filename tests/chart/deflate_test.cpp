// The deflate compressor and the checksum of the PNG writer, checked against zlib.

#include "chart/deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <QRandomGenerator>
#include <algorithm>
#include <cstring>
#include <vector>

using namespace chart;

namespace {

using Bytes = std::vector<unsigned char>;

// Bytes like filtered image rows and worse: runs, long stretches of zeros, copies of earlier
// bytes from near and from farther than a match may reach, and random bytes.
Bytes MixedBytes(QRandomGenerator& random, std::size_t size) {
  Bytes bytes;
  while (bytes.size() < size) {
    const std::size_t room = size - bytes.size();
    switch (random.bounded(4)) {
      case 0:
        bytes.insert(bytes.end(), std::min<std::size_t>(room, random.bounded(1, 1000)),
                     static_cast<unsigned char>(random.bounded(256)));
        break;
      case 1:
        bytes.insert(bytes.end(), std::min<std::size_t>(room, random.bounded(1, 70000)), 0);
        break;
      case 2:
        if (!bytes.empty()) {
          const std::size_t from = random.bounded(static_cast<quint32>(bytes.size()));
          const std::size_t length = std::min<std::size_t>(room, random.bounded(1, 600));
          for (std::size_t i = 0; i < length; ++i) bytes.push_back(bytes[from + i]);
        }
        break;
      default:
        for (std::size_t n = std::min<std::size_t>(room, random.bounded(1, 200)); n > 0; --n) {
          bytes.push_back(static_cast<unsigned char>(random.bounded(256)));
        }
    }
  }
  return bytes;
}

// `data` compressed by one compressor, handed to it in pieces of random sizes.
Bytes Deflated(QRandomGenerator& random, const unsigned char* data, std::size_t size, bool last) {
  Deflater deflater;
  for (std::size_t at = 0; at < size;) {
    const std::size_t piece = std::min<std::size_t>(size - at, random.bounded(1, 200000));
    std::memcpy(deflater.Append(piece), data + at, piece);
    deflater.Compress();
    at += piece;
  }
  return deflater.Finish(last);
}

// zlib's inflate of raw deflate data: the bytes, and whether the stream ended exactly at the
// data's end.
Bytes Inflated(const Bytes& deflated, std::size_t expected, bool& endedAtEnd) {
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, -15), Z_OK);
  Bytes out(expected + 1);  // room for one byte too many
  stream.next_in = const_cast<unsigned char*>(deflated.data());
  stream.avail_in = static_cast<uInt>(deflated.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  endedAtEnd = result == Z_STREAM_END && stream.avail_in == 0;
  out.resize(stream.total_out);
  inflateEnd(&stream);
  return out;
}

// Two compressors' output one after the other, the first not the last, is one stream: that is
// how the PNG writer joins the bands of a large image.
TEST(Deflate, ZlibInflatesWhatItWritesBackToTheSameBytes) {
  QRandomGenerator random(11);
  for (int round = 0; round < 120; ++round) {
    const std::size_t size = round < 20 ? round : random.bounded(round < 100 ? 5000 : 400000);
    const Bytes data = MixedBytes(random, size);
    const std::size_t split = size == 0 ? 0 : random.bounded(static_cast<quint32>(size + 1));
    Bytes deflated = Deflated(random, data.data(), split, false);
    const Bytes second = Deflated(random, data.data() + split, size - split, true);
    deflated.insert(deflated.end(), second.begin(), second.end());
    bool endedAtEnd = false;
    const Bytes inflated = Inflated(deflated, size, endedAtEnd);
    EXPECT_TRUE(endedAtEnd) << "round " << round << ", " << size << " bytes";
    EXPECT_TRUE(inflated == data) << "round " << round << ", " << size << " bytes";
  }
}

TEST(Deflate, Adler32IsZlibs) {
  QRandomGenerator random(5);
  const Bytes data = MixedBytes(random, 100000);
  for (int round = 0; round < 200; ++round) {
    const std::size_t at = random.bounded(static_cast<quint32>(data.size()));
    const std::size_t size = random.bounded(static_cast<quint32>(data.size() - at + 1));
    const std::uint32_t start =
        round == 0 ? 1 : (random.bounded(65521u) << 16 | random.bounded(65521u));
    EXPECT_EQ(Adler32(start, data.data() + at, size), adler32_z(start, data.data() + at, size))
        << size << " bytes from " << at;
  }
  const Bytes ones(100000, 0xFF);  // the largest sums
  EXPECT_EQ(Adler32(0xFFF0FFF0, ones.data(), ones.size()),
            adler32_z(0xFFF0FFF0, ones.data(), ones.size()));
}

}  // namespace
