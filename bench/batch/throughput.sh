#!/usr/bin/env bash
# Batch throughput: how many charts a second a host gets from windowless runs writing the 12 x 3
# bar chart as an 800 x 600 PNG, one run at a time and two at a time, and the peak memory of one
# run.   Usage: throughput.sh [BUILD-DIR] [CHARTS]
set -euo pipefail
build=$(realpath "${1:-build}")
charts=${2:-200}
program=$build/src/app/tarvochart
writer=$build/tools/dbfwrite/tarvo-dbfwrite
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY

# One folder per parallel lane, so that the runs do not write the same image.
for lane in 1 2; do
  mkdir -p "$work/$lane"
  { grep -v -e NOSHOW -e BITMAPFILE "$here/examples/bars-side/properties.txt"
    echo "1|1|NOSHOW|"; echo "1|1|BITMAPFILE|chart.png;600;800"; } |
    "$writer" properties "$work/$lane/ChartPro.DBF"
  "$writer" data 3 "$work/$lane/ChartDat.DBF" <"$here/examples/bars-side/data.txt"
done

run_lane() {  # LANE COUNT
  cd "$work/$1"
  for ((i = 0; i < $2; i++)); do "$program" ChartPro.DBF ChartDat.DBF; done
}

rate() {  # LANES
  local start end
  start=$(date +%s%N)
  for ((lane = 1; lane <= $1; lane++)); do run_lane "$lane" $((charts / $1)) & done
  wait
  end=$(date +%s%N)
  echo "scale=1; $charts * 1000000000 / ($end - $start)" | bc
}

[ -z "$(run_lane 1 1 2>&1)" ] || { echo "the benchmark chart reports a problem" >&2; exit 1; }
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $charts charts each"
echo "1 run at a time:   $(rate 1) charts/s"
echo "2 runs at a time:  $(rate 2) charts/s"
peak=$(cd "$work/1" && /usr/bin/time -f %M "$program" ChartPro.DBF ChartDat.DBF 2>&1)
echo "peak memory of one run: $((peak / 1024)) MiB"
