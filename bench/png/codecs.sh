#!/usr/bin/env bash
# The PNG compressors on real charts: renders every example and edge example (as the gallery
# shows them) and the batch benchmarks' charts with the first build, and has png_bench compress
# the rows of each with each compressor (median time and size). Then the whole chart time as the
# batch benchmark measures it: tarvo-batch of each build given makes the batch benchmark's bar
# chart (12 x 3, 800 x 600 PNG) 1,000 times, the builds alternated; prints the median CPU time
# per chart of each. Give a second build (of another commit) to compare the whole chart time.
# Usage: codecs.sh [RUNS] BUILD-DIR [OTHER-BUILD-DIR...]    (needs GNU time)
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
runs=5
[[ "${1:-}" =~ ^[0-9]+$ ]] && { runs=$1; shift; }
builds=()
for build in "${@:-build}"; do builds+=("$(realpath "$build")"); done
build=${builds[0]}
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen
source "$here/bench/batch/measure.sh"

"$here/examples/render.sh" "$build/src/app/tarvochart" "$writer" "$work/images" >/dev/null
make_case bars-12x3-800x600 12 "VERTBAR;1" 600 800 ""
make_case lines-100000x3-1920x1080 100000 LINE 1080 1920 ""
make_case bars-12x3-4000x3000 12 "VERTBAR;1" 3000 4000 ""
for name in bars-12x3-800x600 lines-100000x3-1920x1080 bars-12x3-4000x3000; do
  (cd "$work/$name" && "$build/src/app/tarvochart" ChartPro.DBF ChartDat.DBF)
  mv "$work/$name/chart.png" "$work/images/batch-$name.png"
done

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "Compressing the filtered rows into a zlib stream, medians of $((4 * runs + 1)) runs:"
"$build/bench/png/png_bench" --runs $((4 * runs + 1)) "$work"/images/*.png

for ((i = 1; i <= 100; i++)); do
  mkdir -p "$work/charts/$i"
  cp "$work/bars-12x3-800x600/ChartPro.DBF" "$work/bars-12x3-800x600/ChartDat.DBF" \
    "$work/charts/$i/"
  for ((r = 0; r < 10; r++)); do echo "charts/$i"; done
done >"$work/jobs.txt"
for ((r = 0; r < runs; r++)); do
  for b in "${!builds[@]}"; do
    (cd "$work" && /usr/bin/time -f "%U %S" -o time.txt "${builds[$b]}/tools/batch/tarvo-batch" \
      jobs.txt >/dev/null)
    awk '{ print $1 + $2 }' "$work/time.txt" >>"$work/batch-$b.txt"  # s per 1,000 = ms per chart
  done
done
echo "Whole chart time of tarvo-batch (bar chart, 800 x 600 PNG, 1,000 charts), medians of $runs runs:"
for b in "${!builds[@]}"; do
  printf '%-50s %6.2f ms CPU per chart\n' "${builds[$b]}" "$(median <"$work/batch-$b.txt")"
done
