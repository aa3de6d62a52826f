#pragma once
// A small deflate compressor (RFC 1951) made for filtered chart images: on them it is several
// times as fast as zlib's fastest level, and its files are a little smaller. Filtered chart
// rows are mostly long runs of zeros and of repeated pixels, so one probe of a hash table finds
// nearly every match worth having; greedy parsing and a Huffman code made for each block's
// symbols do the rest. A library of its own, below everything else: it knows nothing of charts
// or images, only bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace compression {

// The Adler-32 checksum of the zlib format (RFC 1950) continued over `data`: as zlib's
// adler32 computes it, in about a quarter of the time.
std::uint32_t Adler32(std::uint32_t adler, const unsigned char* data, std::size_t size);

// Huffman's code lengths for symbols seen `counts` times (0: unused, no code), none longer than
// `maxBits`: deflate's limits are 15 bits for its codes and 7 for the code of their lengths. For
// two used symbols at least, the code is complete (its lengths fill the code space exactly).
std::vector<std::uint8_t> CodeLengths(std::vector<std::uint32_t> counts, int maxBits);

// Bits sent lowest first, as deflate packs them into bytes.
class BitWriter {
 public:
  void Put(std::uint32_t value, int count) {  // `count` up to 32
    pending_ |= std::uint64_t{value} << pendingBits_;
    pendingBits_ += count;
    if (pendingBits_ >= 32) {
      if (size_ + 4 > bytes_.size()) bytes_.resize(2 * bytes_.size() + 4096);
      for (int i = 0; i < 4; ++i) bytes_[size_++] = static_cast<unsigned char>(pending_ >> (8 * i));
      pending_ >>= 32;
      pendingBits_ -= 32;
    }
  }
  // Pads the last byte with zero bits.
  void AlignToByte();
  // The bytes written, after AlignToByte.
  std::vector<unsigned char> Take();

 private:
  std::vector<unsigned char> bytes_;  // the first `size_` of them written
  std::size_t size_ = 0;
  std::uint64_t pending_ = 0;
  int pendingBits_ = 0;
};

// Compresses the bytes appended, in that order, into raw deflate blocks (no zlib header, no
// checksum). Matches reach back up to 32 KiB into what earlier calls appended.
class Deflater {
 public:
  Deflater();

  // Room for the next `size` bytes of the data, to be written there before Compress: the
  // caller makes its data in place, with no copy.
  unsigned char* Append(std::size_t size);
  // Compresses the bytes appended since the last call.
  void Compress();

  // Ends the data and returns the compressed bytes, ended on a byte boundary. With `last`, the
  // stream ends; otherwise it ends with an empty stored block (as zlib's sync flush does), so
  // that the blocks of another stream can follow and the two decode as one.
  std::vector<unsigned char> Finish(bool last);

 private:
  void DropOldData();
  void AddLiteral(unsigned char byte);
  void AddMatch(std::size_t length, std::size_t distance);
  void EndBlock(bool last);

  // The last 32 KiB of the data already compressed, then the data being compressed: `parsed_`
  // bytes of `filled_` are compressed.
  std::unique_ptr<unsigned char[]> window_;
  std::size_t capacity_ = 0;
  std::size_t filled_ = 0;
  std::size_t parsed_ = 0;
  // For each hash of four bytes, where in the window they last started (-1: nowhere).
  std::vector<std::int32_t> recent_;
  // The block being gathered: literals and matches, and how often each code occurs.
  std::unique_ptr<std::uint32_t[]> symbols_;
  std::size_t symbolCount_ = 0;
  std::vector<std::uint32_t> literalCounts_;
  std::vector<std::uint32_t> distanceCounts_;
  BitWriter out_;
};

}  // namespace compression
