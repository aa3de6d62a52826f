#!/usr/bin/env bash
# Sets everything up, then builds and runs the whole test suite twice: as built, and once more
# under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer; then the fuzz targets
# run under libFuzzer for a minute each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON \
  -DTARVO_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j2

# The fuzz targets under libFuzzer, about a minute each.
scripts/fuzz.sh 60
