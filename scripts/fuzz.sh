#!/usr/bin/env bash
# Builds the fuzz targets with clang as libFuzzer programs under AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer, and runs each for a bounded time on a copy of its
# seeds. Any crash, leak or undefined behaviour fails the run and leaves the input in
# build-fuzz/crashes/.   Usage: scripts/fuzz.sh [SECONDS-PER-TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(tablereader_fuzz decoders_fuzz chartlayout_fuzz datarecords_fuzz deflate_fuzz)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVO_FUZZ=ON -DTARVO_SANITIZE=ON -DTARVO_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
mkdir -p build-fuzz/crashes
for target in "${targets[@]}"; do
  corpus=$(mktemp -d)
  log=build-fuzz/$target.log
  echo "fuzzing $target for $seconds s"
  status=0
  build-fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=20 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/crashes/"$target"- \
    "$corpus" tests/fuzz/corpus/"$target" >"$log" 2>&1 || status=$?
  rm -rf "$corpus"
  grep -E '^stat::number_of_executed_units' "$log" || true
  if [ "$status" -ne 0 ]; then
    grep -E '^(==|SUMMARY|#[0-9]+ )' "$log" | tail -n 40
    echo "$target failed (exit $status); the input is in build-fuzz/crashes/, the log in $log"
    exit 1
  fi
done
