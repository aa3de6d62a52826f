#pragma once
// Internal to the compression library: the prefix codes of deflate's blocks, made from how often
// each symbol occurs (RFC 1951 3.2.2, 3.2.6).

#include <cstdint>
#include <vector>

namespace compression {

inline constexpr int kDistanceCodes = 30;
inline constexpr int kMaxCodeBits = 15;

// A prefix code: each symbol's length in bits (0: unused) and its bits in the order they are
// sent.
struct PrefixCode {
  std::vector<std::uint8_t> lengths;
  std::vector<std::uint16_t> bits;
};

// The canonical code of RFC 1951 3.2.2 for these lengths. Deflate sends a code from its first
// bit on, and the writer sends the lowest bit first, so each code is stored reversed.
PrefixCode CanonicalCode(std::vector<std::uint8_t> lengths);

// The codes of RFC 1951 3.2.6 that a block may use without describing them.
const PrefixCode& FixedLiteralCode();

const PrefixCode& FixedDistanceCode();

// Marks unused symbols used until two are: a code of one symbol is incomplete, and some
// decoders refuse incomplete codes.
void UseTwoSymbolsAtLeast(std::vector<std::uint32_t>& counts);

// The bits that `counts` cost with `code`, without the extra bits (the same with any code).
std::uint64_t Cost(const std::vector<std::uint32_t>& counts, const PrefixCode& code);

}  // namespace compression
