#include <algorithm>
#include <array>

#include "compression/deflate.h"

namespace compression {

std::uint32_t Adler32(std::uint32_t adler, const unsigned char* data, std::size_t size) {
  constexpr std::uint32_t kModulus = 65521;
  // The most bytes after which neither sum can have passed 2^32 (RFC 1950's NMAX).
  constexpr std::size_t kMaxUnreduced = 5552;
  // The bytes are summed in 16 lanes, byte i of each 16 into lane i, a loop that compilers run
  // 16 lanes at once. Each lane keeps its sum and its sum of sums; together they give the sum
  // of sums over all bytes: a byte adds to it once for itself and once for each later byte.
  constexpr std::size_t kLanes = 16;
  std::uint64_t sum = adler & 0xFFFF;
  std::uint64_t sumOfSums = adler >> 16;
  while (size > 0) {
    std::size_t n = std::min(size, kMaxUnreduced);
    size -= n;
    const std::size_t rounds = n / kLanes;
    std::array<std::uint32_t, kLanes> laneSum{};
    std::array<std::uint32_t, kLanes> laneSumOfSums{};
    for (std::size_t round = 0; round < rounds; ++round, data += kLanes) {
      for (std::size_t i = 0; i < kLanes; ++i) {
        laneSum[i] += data[i];
        laneSumOfSums[i] += laneSum[i];
      }
    }
    sumOfSums += rounds * kLanes * sum;
    for (std::size_t i = 0; i < kLanes; ++i) {
      sum += laneSum[i];
      // Lane i's bytes come i places after the first of their 16, so each misses i sums.
      sumOfSums += kLanes * std::uint64_t{laneSumOfSums[i]} - i * std::uint64_t{laneSum[i]};
    }
    for (n -= rounds * kLanes; n > 0; --n) {
      sum += *data++;
      sumOfSums += sum;
    }
    sum %= kModulus;
    sumOfSums %= kModulus;
  }
  return static_cast<std::uint32_t>(sumOfSums << 16 | sum);
}

}  // namespace compression
