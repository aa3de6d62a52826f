#!/usr/bin/env bash
# Installs what the tests need and builds everything (scripts/setup.sh --tests), then runs the
# whole test suite twice: as built (then the cost ledger, bench/cost.sh --check), and once more
# under AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer; the tests of work on
# several threads once more under ThreadSanitizer; then the fuzz targets run under libFuzzer for
# a minute each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests

ctest --test-dir build --output-on-failure -j2
bench/cost.sh --check build  # no chart costs more instructions than the ledger says

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON \
  -DTARVO_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j2

# tarvo-batch's jobs on several threads under ThreadSanitizer.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_TSAN=ON \
  -DTARVO_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$(nproc)" --target batch_test tarvo-batch tarvochart tarvo-dbfwrite
TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:halt_on_error=1" \
  ctest --test-dir build-tsan --output-on-failure -R '^(Batch|JobList)\.'

# The fuzz targets under libFuzzer, about a minute each.
scripts/fuzz.sh 60
