// The deflate compressor and the checksum of the PNG writer, checked against zlib's inflate and
// adler32, which read what it writes independently of it.

#include "compression/deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

using namespace compression;

namespace {

using Bytes = std::vector<unsigned char>;

// Seeded random numbers, a number in [low, high) at a time.
class Random {
 public:
  explicit Random(unsigned seed) : engine_(seed) {}
  std::size_t bounded(std::size_t high) { return bounded(0, high); }
  std::size_t bounded(std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high - 1)(engine_);
  }

 private:
  std::mt19937 engine_;
};

// Bytes like filtered image rows and worse: runs, long stretches of zeros, copies of earlier
// bytes from near and from farther than a match may reach, and random bytes.
Bytes MixedBytes(Random& random, std::size_t size) {
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
          const std::size_t from = random.bounded(bytes.size());
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
Bytes Deflated(Random& random, const unsigned char* data, std::size_t size, bool last) {
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
  Random random(11);
  for (int round = 0; round < 120; ++round) {
    const std::size_t size = round < 20 ? round : random.bounded(round < 100 ? 5000 : 400000);
    const Bytes data = MixedBytes(random, size);
    const std::size_t split = size == 0 ? 0 : random.bounded(size + 1);
    Bytes deflated = Deflated(random, data.data(), split, false);
    const Bytes second = Deflated(random, data.data() + split, size - split, true);
    deflated.insert(deflated.end(), second.begin(), second.end());
    bool endedAtEnd = false;
    const Bytes inflated = Inflated(deflated, size, endedAtEnd);
    EXPECT_TRUE(endedAtEnd) << "round " << round << ", " << size << " bytes";
    EXPECT_TRUE(inflated == data) << "round " << round << ", " << size << " bytes";
  }
}

// A code's lengths are within the limit, every used symbol has one and no unused one, and they
// fill the code space exactly (Kraft's sum is 1), as inflaters ask of a complete code.
void ExpectValidCode(const std::vector<std::uint32_t>& counts, int maxBits,
                     const std::string& what) {
  const std::vector<std::uint8_t> lengths = CodeLengths(counts, maxBits);
  ASSERT_EQ(lengths.size(), counts.size()) << what;
  std::uint64_t space = 0;  // in units of 2^-maxBits
  for (std::size_t i = 0; i < counts.size(); ++i) {
    EXPECT_EQ(counts[i] > 0, lengths[i] > 0) << what << ", symbol " << i;
    EXPECT_LE(lengths[i], maxBits) << what << ", symbol " << i;
    if (lengths[i] > 0) space += std::uint64_t{1} << (maxBits - lengths[i]);
  }
  EXPECT_EQ(space, std::uint64_t{1} << maxBits) << what;
}

// Counts that grow like Fibonacci's numbers make Huffman's deepest tree: one more bit for each
// symbol. Deflate's alphabets under its limits, and random counts of every spread.
TEST(Deflate, CodesStayWithinDeflatesLengthLimits) {
  for (const auto& [symbols, maxBits] : {std::pair{286, 15}, {30, 15}, {19, 7}}) {
    std::vector<std::uint32_t> fibonacci(static_cast<std::size_t>(symbols), 0);
    std::uint32_t a = 1, b = 1;
    for (std::uint32_t& count : fibonacci) {
      count = a;
      const std::uint32_t next = a + b > a ? a + b : a;  // saturates short of overflow
      a = b, b = next;
    }
    ExpectValidCode(fibonacci, maxBits, "Fibonacci, " + std::to_string(symbols) + " symbols");
    // The limit is reached, not undercut: the rarest symbols get the longest codes allowed.
    const std::vector<std::uint8_t> lengths = CodeLengths(fibonacci, maxBits);
    EXPECT_EQ(*std::max_element(lengths.begin(), lengths.end()), maxBits) << symbols << " symbols";
  }
  Random random(3);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::uint32_t> counts(random.bounded(2, 287), 0);
    const std::size_t spread = random.bounded(1, 29);
    for (std::uint32_t& count : counts) {
      if (random.bounded(3) == 0) continue;  // unused
      count = static_cast<std::uint32_t>(random.bounded(1, 4) << random.bounded(spread));
    }
    counts[random.bounded(counts.size())] = 1;  // two used symbols at least
    counts[random.bounded(counts.size())] |= 1u << 30;
    const auto unused = static_cast<std::size_t>(std::count(counts.begin(), counts.end(), 0u));
    if (unused + 1 >= counts.size()) continue;
    ExpectValidCode(counts, 15, "round " + std::to_string(round));
  }
}

TEST(Deflate, Adler32IsZlibs) {
  Random random(5);
  const Bytes data = MixedBytes(random, 100000);
  for (int round = 0; round < 200; ++round) {
    const std::size_t at = random.bounded(data.size());
    const std::size_t size = random.bounded(data.size() - at + 1);
    const std::uint32_t start =
        round == 0
            ? 1
            : static_cast<std::uint32_t>(random.bounded(65521) << 16 | random.bounded(65521));
    EXPECT_EQ(Adler32(start, data.data() + at, size), adler32_z(start, data.data() + at, size))
        << size << " bytes from " << at;
  }
  const Bytes ones(100000, 0xFF);  // the largest sums
  EXPECT_EQ(Adler32(0xFFF0FFF0, ones.data(), ones.size()),
            adler32_z(0xFFF0FFF0, ones.data(), ones.size()));
}

}  // namespace
