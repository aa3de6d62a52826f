#include "compression/deflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>
#include <utility>

#include "compression/prefixcode.h"

namespace compression {

namespace {

constexpr std::size_t kWindowSize = 32768;  // the farthest a match may reach back
constexpr std::size_t kMinMatch = 4;        // the hash covers four bytes
constexpr std::size_t kMaxMatch = 258;
// The hash table and a block's symbols take 64 KiB each: small enough to stay in the CPU's
// caches, and to be taken from the heap rather than mapped afresh for each image.
constexpr int kHashBits = 14;
// Symbols gathered before a block is written with codes made for them: blocks adapt to the
// parts of an image, and the per-block header (about 80 bytes) stays small beside them.
constexpr std::size_t kBlockSymbols = 1 << 14;
constexpr int kLiteralCodes = 286;  // 0-255 bytes, 256 the end of a block, 257-285 lengths
constexpr int kEndOfBlock = 256;
constexpr int kMaxCodeLengthBits = 7;
// A symbol of a block is a literal byte, or kMatch | (length - 3) << 16 | (distance - 1).
constexpr std::uint32_t kMatch = 1u << 31;

// The order in which a dynamic block's header gives the lengths of the code-length code.
constexpr std::array<int, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};

std::uint32_t Load32(const unsigned char* at) {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::uint64_t Load64(const unsigned char* at) {
  std::uint64_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

std::uint32_t Hash(std::uint32_t fourBytes) {
  return (fourBytes * 0x9E3779B1u) >> (32 - kHashBits);
}

// How many bytes from `here` on repeat those from `earlier` on, up to `limit`.
std::size_t MatchLength(const unsigned char* earlier, const unsigned char* here,
                        std::size_t limit) {
  std::size_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    const std::uint64_t differ = Load64(earlier + n) ^ Load64(here + n);
    if (differ != 0) {
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                 : std::countl_zero(differ);
      return n + static_cast<std::size_t>(bit / 8);
    }
  }
  while (n < limit && earlier[n] == here[n]) ++n;
  return n;
}

// A code of the literal/length or distance alphabet, and the extra bits that follow it.
struct Code {
  int symbol;
  int extraBits;
  int extra;
};

// RFC 1951 3.2.5: lengths 3-10 have a code each, then each code covers twice as many
// lengths as the one four codes before it; 258 has a code of its own.
constexpr Code ComputeLengthCode(int length) {
  if (length == 258) return {285, 0, 0};
  const int x = length - 3;
  if (x < 8) return {257 + x, 0, 0};
  const int log = std::bit_width(static_cast<unsigned>(x)) - 1;
  return {257 + 4 * (log - 1) + ((x >> (log - 2)) & 3), log - 2, x & ((1 << (log - 2)) - 1)};
}

// The code of each length, looked up: a match needs it twice, to count and to write.
constexpr auto kLengthCodes = [] {
  std::array<Code, kMaxMatch + 1> codes{};
  for (int length = 3; length <= static_cast<int>(kMaxMatch); ++length) {
    codes[static_cast<std::size_t>(length)] = ComputeLengthCode(length);
  }
  return codes;
}();

inline Code LengthCode(std::size_t length) { return kLengthCodes[length]; }

// Likewise: distances 1-4 have a code each, then each code covers twice as many distances as
// the one two codes before it.
inline Code DistanceCode(int distance) {
  const int x = distance - 1;
  if (x < 4) return {x, 0, 0};
  const int log = std::bit_width(static_cast<unsigned>(x)) - 1;
  return {2 * log + ((x >> (log - 1)) & 1), log - 1, x & ((1 << (log - 1)) - 1)};
}

// A dynamic block's two codes as its header sends them: their lengths, one after the other,
// as symbols of the code-length alphabet (0-15 a length, 16 the last length again 3-6 times,
// 17 and 18 a run of 3-10 and 11-138 zeros), each with its extra bits.
struct LengthSymbol {
  int symbol;
  int extra;
};

int ExtraBitsOfLengthSymbol(int symbol) { return symbol == 16 ? 2 : symbol == 17 ? 3 : 7; }

std::vector<LengthSymbol> RunLengths(const std::vector<std::uint8_t>& lengths) {
  std::vector<LengthSymbol> symbols;
  for (std::size_t i = 0; i < lengths.size();) {
    const int length = lengths[i];
    std::size_t run = 1;
    while (i + run < lengths.size() && lengths[i + run] == length) ++run;
    i += run;
    if (length == 0) {
      for (; run >= 11; run -= std::min<std::size_t>(run, 138)) {
        symbols.push_back({18, static_cast<int>(std::min<std::size_t>(run, 138) - 11)});
      }
      if (run >= 3) {
        symbols.push_back({17, static_cast<int>(run - 3)});
        run = 0;
      }
    } else {
      symbols.push_back({length, 0});
      for (--run; run >= 3; run -= std::min<std::size_t>(run, 6)) {
        symbols.push_back({16, static_cast<int>(std::min<std::size_t>(run, 6) - 3)});
      }
    }
    for (; run > 0; --run) symbols.push_back({length, 0});
  }
  return symbols;
}

// A dynamic block's header: the number of literal/length and distance codes sent, the
// code-length code and the lengths coded with it.
struct DynamicHeader {
  std::size_t literalCodes = 0;
  std::size_t distanceCodes = 0;
  std::size_t codeLengthCodes = 0;
  PrefixCode codeLengthCode;
  std::vector<LengthSymbol> lengths;

  DynamicHeader(const PrefixCode& literal, const PrefixCode& distance) {
    literalCodes = kLiteralCodes;
    while (literalCodes > 257 && literal.lengths[literalCodes - 1] == 0) --literalCodes;
    distanceCodes = kDistanceCodes;
    while (distanceCodes > 1 && distance.lengths[distanceCodes - 1] == 0) --distanceCodes;
    std::vector<std::uint8_t> all(
        literal.lengths.begin(),
        literal.lengths.begin() + static_cast<std::ptrdiff_t>(literalCodes));
    all.insert(all.end(), distance.lengths.begin(),
               distance.lengths.begin() + static_cast<std::ptrdiff_t>(distanceCodes));
    lengths = RunLengths(all);
    std::vector<std::uint32_t> counts(19, 0);
    for (const LengthSymbol& one : lengths) ++counts[static_cast<std::size_t>(one.symbol)];
    UseTwoSymbolsAtLeast(counts);
    codeLengthCode = CanonicalCode(CodeLengths(counts, kMaxCodeLengthBits));
    codeLengthCodes = kCodeLengthOrder.size();
    while (
        codeLengthCodes > 4 &&
        codeLengthCode.lengths[static_cast<std::size_t>(kCodeLengthOrder[codeLengthCodes - 1])] ==
            0)
      --codeLengthCodes;
  }

  std::uint64_t Bits() const {
    std::uint64_t bits = 5 + 5 + 4 + 3 * codeLengthCodes;
    for (const LengthSymbol& one : lengths) {
      bits += codeLengthCode.lengths[static_cast<std::size_t>(one.symbol)];
      if (one.symbol >= 16) bits += static_cast<std::uint64_t>(ExtraBitsOfLengthSymbol(one.symbol));
    }
    return bits;
  }
};

void WriteHeader(BitWriter& out, const DynamicHeader& header) {
  out.Put(static_cast<std::uint32_t>(header.literalCodes - 257), 5);
  out.Put(static_cast<std::uint32_t>(header.distanceCodes - 1), 5);
  out.Put(static_cast<std::uint32_t>(header.codeLengthCodes - 4), 4);
  for (std::size_t i = 0; i < header.codeLengthCodes; ++i) {
    out.Put(header.codeLengthCode.lengths[static_cast<std::size_t>(kCodeLengthOrder[i])], 3);
  }
  for (const LengthSymbol& one : header.lengths) {
    const auto symbol = static_cast<std::size_t>(one.symbol);
    out.Put(header.codeLengthCode.bits[symbol], header.codeLengthCode.lengths[symbol]);
    if (one.symbol >= 16)
      out.Put(static_cast<std::uint32_t>(one.extra), ExtraBitsOfLengthSymbol(one.symbol));
  }
}

void WriteSymbols(BitWriter& out, std::span<const std::uint32_t> symbols, const PrefixCode& literal,
                  const PrefixCode& distance) {
  const auto put = [&out](const PrefixCode& code, int symbol) {
    const auto at = static_cast<std::size_t>(symbol);
    out.Put(code.bits[at], code.lengths[at]);
  };
  for (const std::uint32_t symbol : symbols) {
    if ((symbol & kMatch) == 0) {
      put(literal, static_cast<int>(symbol));
      continue;
    }
    const Code length = LengthCode(((symbol >> 16) & 0xFF) + 3);
    put(literal, length.symbol);
    out.Put(static_cast<std::uint32_t>(length.extra), length.extraBits);
    const Code far = DistanceCode(static_cast<int>(symbol & 0x7FFF) + 1);
    put(distance, far.symbol);
    out.Put(static_cast<std::uint32_t>(far.extra), far.extraBits);
  }
  put(literal, kEndOfBlock);
}

// Writes `symbols` as one block, with the fixed codes or with codes made for them, whichever is
// shorter. The counts are those of the symbols' codes, the end of the block included.
void WriteBlock(BitWriter& out, std::span<const std::uint32_t> symbols,
                std::vector<std::uint32_t> literalCounts, std::vector<std::uint32_t> distanceCounts,
                bool last) {
  UseTwoSymbolsAtLeast(literalCounts);
  UseTwoSymbolsAtLeast(distanceCounts);
  const PrefixCode literal = CanonicalCode(CodeLengths(literalCounts, kMaxCodeBits));
  const PrefixCode distance = CanonicalCode(CodeLengths(distanceCounts, kMaxCodeBits));
  const DynamicHeader header(literal, distance);
  const std::uint64_t dynamicBits =
      header.Bits() + Cost(literalCounts, literal) + Cost(distanceCounts, distance);
  const std::uint64_t fixedBits =
      Cost(literalCounts, FixedLiteralCode()) + Cost(distanceCounts, FixedDistanceCode());
  out.Put(last ? 1 : 0, 1);
  if (fixedBits <= dynamicBits) {
    out.Put(1, 2);
    WriteSymbols(out, symbols, FixedLiteralCode(), FixedDistanceCode());
  } else {
    out.Put(2, 2);
    WriteHeader(out, header);
    WriteSymbols(out, symbols, literal, distance);
  }
}

}  // namespace

void BitWriter::AlignToByte() {
  bytes_.resize(size_);
  for (; pendingBits_ > 0; pendingBits_ -= 8) {
    bytes_.push_back(static_cast<unsigned char>(pending_));
    pending_ >>= 8;
  }
  size_ = bytes_.size();
  pending_ = 0;
  pendingBits_ = 0;
}

std::vector<unsigned char> BitWriter::Take() {
  AlignToByte();
  size_ = 0;
  return std::move(bytes_);
}

Deflater::Deflater()
    : recent_(std::size_t{1} << kHashBits, -1),
      symbols_(std::make_unique_for_overwrite<std::uint32_t[]>(kBlockSymbols)),
      literalCounts_(kLiteralCodes, 0),
      distanceCounts_(kDistanceCodes, 0) {}

unsigned char* Deflater::Append(std::size_t size) {
  DropOldData();
  if (filled_ + size > capacity_) {
    const std::size_t capacity = std::max(2 * capacity_, filled_ + size);
    auto larger = std::make_unique_for_overwrite<unsigned char[]>(capacity);
    if (filled_ > 0) std::memcpy(larger.get(), window_.get(), filled_);
    window_ = std::move(larger);
    capacity_ = capacity;
  }
  unsigned char* room = window_.get() + filled_;
  filled_ += size;
  return room;
}

// Moves the last 32 KiB of what is compressed to the front of the window, for matches to
// reach back into, and the places that the hash table remembers with it.
void Deflater::DropOldData() {
  if (parsed_ <= kWindowSize) return;
  const std::size_t drop = parsed_ - kWindowSize;
  std::memmove(window_.get(), window_.get() + drop, filled_ - drop);
  filled_ -= drop;
  parsed_ -= drop;
  const auto shift = static_cast<std::int32_t>(drop);
  for (std::int32_t& at : recent_) at = at >= shift ? at - shift : -1;
}

inline void Deflater::AddLiteral(unsigned char byte) {
  symbols_[symbolCount_++] = byte;
  ++literalCounts_[byte];
  if (symbolCount_ == kBlockSymbols) EndBlock(false);
}

inline void Deflater::AddMatch(std::size_t length, std::size_t distance) {
  symbols_[symbolCount_++] = kMatch | static_cast<std::uint32_t>(length - 3) << 16 |
                             static_cast<std::uint32_t>(distance - 1);
  ++literalCounts_[static_cast<std::size_t>(LengthCode(length).symbol)];
  ++distanceCounts_[static_cast<std::size_t>(DistanceCode(static_cast<int>(distance)).symbol)];
  if (symbolCount_ == kBlockSymbols) EndBlock(false);
}

// Greedy parsing: at each byte, the four bytes there are looked up in the hash table; where
// they were seen last is the one match tried, taken when it is four bytes long at least.
// Chart rows repeat whole runs, so the latest place is nearly always the best one. A match's
// last byte goes into the table too: the run it ends often goes on further on (a bar's edge
// in the next row), and the files come out smaller than zlib's fastest level makes them.
void Deflater::Compress() {
  const unsigned char* const window = window_.get();
  const std::size_t end = filled_;
  std::size_t at = parsed_;
  while (at + kMinMatch <= end) {
    std::int32_t& slot = recent_[Hash(Load32(window + at))];
    const std::int32_t seen = slot;
    slot = static_cast<std::int32_t>(at);
    const std::size_t distance = at - static_cast<std::size_t>(seen);
    const std::size_t length =
        seen >= 0 && distance <= kWindowSize
            ? MatchLength(window + seen, window + at, std::min(kMaxMatch, end - at))
            : 0;
    if (length >= kMinMatch) {
      AddMatch(length, distance);
      at += length;
      if (at + kMinMatch <= end)
        recent_[Hash(Load32(window + at - 1))] = static_cast<std::int32_t>(at - 1);
    } else {
      AddLiteral(window[at++]);
    }
  }
  while (at < end) AddLiteral(window[at++]);
  parsed_ = end;
}

void Deflater::EndBlock(bool last) {
  ++literalCounts_[kEndOfBlock];
  WriteBlock(out_, {symbols_.get(), symbolCount_}, literalCounts_, distanceCounts_, last);
  symbolCount_ = 0;
  std::fill(literalCounts_.begin(), literalCounts_.end(), 0);
  std::fill(distanceCounts_.begin(), distanceCounts_.end(), 0);
}

std::vector<unsigned char> Deflater::Finish(bool last) {
  EndBlock(last);
  if (!last) {
    out_.Put(0, 3);  // not the last block, stored
    out_.AlignToByte();
    out_.Put(0x0000, 16);  // its length
    out_.Put(0xFFFF, 16);  // and the length's complement
  }
  return out_.Take();
}

}  // namespace compression
