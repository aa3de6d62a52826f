#include "compression/prefixcode.h"

#include <algorithm>
#include <array>
#include <functional>
#include <queue>
#include <utility>

#include "compression/deflate.h"

namespace compression {

// The canonical code of RFC 1951 3.2.2 for these lengths. Deflate sends a code from its first
// bit on, and the writer sends the lowest bit first, so each code is stored reversed.
PrefixCode CanonicalCode(std::vector<std::uint8_t> lengths) {
  std::array<int, kMaxCodeBits + 1> perLength{};
  for (std::uint8_t length : lengths) ++perLength[length];
  perLength[0] = 0;
  std::array<int, kMaxCodeBits + 1> next{};
  for (int bits = 1, code = 0; bits <= kMaxCodeBits; ++bits) {
    code = (code + perLength[static_cast<std::size_t>(bits - 1)]) << 1;
    next[static_cast<std::size_t>(bits)] = code;
  }
  std::vector<std::uint16_t> codes(lengths.size(), 0);
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    const int length = lengths[i];
    if (length == 0) continue;
    const int code = next[static_cast<std::size_t>(length)]++;
    int reversed = 0;
    for (int bit = 0; bit < length; ++bit) reversed |= ((code >> bit) & 1) << (length - 1 - bit);
    codes[i] = static_cast<std::uint16_t>(reversed);
  }
  return {std::move(lengths), std::move(codes)};
}

// The codes of RFC 1951 3.2.6 that a block may use without describing them.
const PrefixCode& FixedLiteralCode() {
  static const PrefixCode code = [] {
    std::vector<std::uint8_t> lengths(288, 8);
    std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
    std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
    return CanonicalCode(std::move(lengths));
  }();
  return code;
}

const PrefixCode& FixedDistanceCode() {
  static const PrefixCode code = CanonicalCode(std::vector<std::uint8_t>(kDistanceCodes, 5));
  return code;
}

// Marks unused symbols used until two are: a code of one symbol is incomplete, and some
// decoders refuse incomplete codes.
void UseTwoSymbolsAtLeast(std::vector<std::uint32_t>& counts) {
  auto used = std::count_if(counts.begin(), counts.end(), [](std::uint32_t c) { return c > 0; });
  for (std::uint32_t& count : counts) {
    if (used >= 2) break;
    if (count == 0) {
      count = 1;
      ++used;
    }
  }
}

// The bits that `counts` cost with `code`, without the extra bits (the same with any code).
std::uint64_t Cost(const std::vector<std::uint32_t>& counts, const PrefixCode& code) {
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < counts.size(); ++i)
    bits += std::uint64_t{counts[i]} * code.lengths[i];
  return bits;
}

// Where the longest code is too long, the counts are halved (keeping each used symbol used) and
// the code made again, which flattens it until it fits: at worst every count is 1, a balanced
// code.
std::vector<std::uint8_t> CodeLengths(std::vector<std::uint32_t> counts, int maxBits) {
  const std::size_t n = counts.size();
  for (;;) {
    // Nodes 0..n-1 are the symbols; each merge adds one, so a parent's number is higher than
    // its children's.
    std::vector<int> parent(2 * n, -1);
    using Node = std::pair<std::uint64_t, int>;  // weight, number
    std::priority_queue<Node, std::vector<Node>, std::greater<>> lightest;
    for (std::size_t i = 0; i < n; ++i) {
      if (counts[i] > 0) lightest.push({counts[i], static_cast<int>(i)});
    }
    int next = static_cast<int>(n);
    while (lightest.size() > 1) {
      const Node a = lightest.top();
      lightest.pop();
      const Node b = lightest.top();
      lightest.pop();
      parent[static_cast<std::size_t>(a.second)] = next;
      parent[static_cast<std::size_t>(b.second)] = next;
      lightest.push({a.first + b.first, next++});
    }
    std::vector<int> depth(static_cast<std::size_t>(next), 0);
    for (int i = next - 1; i >= 0; --i) {
      const int up = parent[static_cast<std::size_t>(i)];
      if (up >= 0) depth[static_cast<std::size_t>(i)] = depth[static_cast<std::size_t>(up)] + 1;
    }
    if (*std::max_element(depth.begin(), depth.begin() + static_cast<std::ptrdiff_t>(n)) <= maxBits)
      return {depth.begin(), depth.begin() + static_cast<std::ptrdiff_t>(n)};
    for (std::uint32_t& count : counts) count = (count + 1) / 2;
  }
}

}  // namespace compression
