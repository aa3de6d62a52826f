// Fuzz target: any bytes through the deflate compressor, handed to it in pieces whose sizes the
// input's first bytes choose, as one stream or as two joined (as the PNG writer joins the bands of
// a large image). zlib must inflate them back to the same bytes, ending exactly at their end.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "compression/deflate.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// `data` through one compressor, `piece` bytes at a time (the last piece what is left).
Bytes Deflated(const unsigned char* data, std::size_t size, std::size_t piece, bool last) {
  compression::Deflater deflater;
  for (std::size_t at = 0; at < size; at += piece) {
    const std::size_t n = std::min(piece, size - at);
    std::memcpy(deflater.Append(n), data + at, n);
    deflater.Compress();
  }
  return deflater.Finish(last);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t piece = 1 + (std::size_t{input[0]} << 8 | input[1]) * 16;
  const std::size_t rest = size - 3;
  const std::size_t split = input[2] % 2 == 0 ? rest : rest * input[2] / 255;
  const unsigned char* data = input + 3;
  Bytes deflated = Deflated(data, split, piece, split == rest);
  if (split < rest) {
    const Bytes second = Deflated(data + split, rest - split, piece, true);
    deflated.insert(deflated.end(), second.begin(), second.end());
  }
  z_stream stream{};
  Check(inflateInit2(&stream, -15) == Z_OK);
  Bytes out(rest + 1);  // room for one byte too many
  stream.next_in = deflated.data();
  stream.avail_in = static_cast<uInt>(deflated.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  Check(result == Z_STREAM_END && stream.avail_in == 0 && stream.total_out == rest);
  Check(std::memcmp(out.data(), data, rest) == 0);
  inflateEnd(&stream);
  return 0;
}
