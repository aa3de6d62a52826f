// Runs a fuzz target without a fuzzing engine: every seed file given, then a fixed number of
// deterministic mutations of each (bytes flipped, cut, repeated), so that a plain build checks
// the same code paths a fuzzer would start from.
//   replay SEED... [--mutations N]

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Mutate(std::vector<std::uint8_t> bytes, std::mt19937& random) {
  const int edits = 1 + static_cast<int>(random() % 8);
  for (int i = 0; i < edits; ++i) {
    const std::size_t at = bytes.empty() ? 0 : random() % bytes.size();
    switch (random() % 4) {
      case 0:
        if (!bytes.empty()) bytes[at] = static_cast<std::uint8_t>(random());
        break;
      case 1:
        bytes.resize(at);
        break;
      case 2:
        bytes.insert(bytes.begin() + std::ptrdiff_t(at), static_cast<std::uint8_t>(random()));
        break;
      default:
        if (!bytes.empty()) bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        break;
    }
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  int mutations = 200;
  std::vector<std::vector<std::uint8_t>> seeds;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--mutations") == 0 && i + 1 < argc) {
      mutations = std::stoi(argv[++i]);
    } else {
      seeds.push_back(ReadFile(argv[i]));
    }
  }
  std::mt19937 random(20261207);
  std::size_t runs = 0;
  for (const auto& seed : seeds) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    ++runs;
    for (int m = 0; m < mutations; ++m, ++runs) {
      const auto input = Mutate(seed, random);
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
  }
  std::printf("%zu inputs ran\n", runs);
  return seeds.empty() ? 1 : 0;
}
