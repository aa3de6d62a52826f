#!/usr/bin/env bash
# Batch speed against gnuplot: the same data drawn into an image of the same size, once by a
# windowless tarvochart run ("NOSHOW" + "BITMAPFILE") and once by gnuplot (pngcairo), runs paired
# and alternated on this machine. Prints the median times, the ratio tarvochart/gnuplot and the
# peak memory of each.
# Usage: versus_gnuplot.sh [BUILD-DIR] [RUNS]    (needs gnuplot-nox and GNU time)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-9}
program=$build/src/app/tarvochart
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

source "$(dirname "$0")/measure.sh"

run_case() {
  local name=$1 folder=$work/$1 with_gnuplot=$2
  : >"$folder/ours.txt"
  : >"$folder/theirs.txt"
  for ((i = 0; i < runs; i++)); do
    measure "$folder" "$program" ChartPro.DBF ChartDat.DBF >>"$folder/ours.txt"
    [ "$with_gnuplot" = yes ] && measure "$folder" gnuplot plot.gp >>"$folder/theirs.txt"
  done
  [ -s "$folder/chart.png" ] || { echo "$name: tarvochart wrote no image" >&2; exit 1; }
  local ours ours_kib
  ours=$(cut -d' ' -f1 "$folder/ours.txt" | median)
  ours_kib=$(cut -d' ' -f2 "$folder/ours.txt" | sort -n | tail -n 1)
  if [ "$with_gnuplot" = yes ]; then
    local theirs theirs_kib
    theirs=$(cut -d' ' -f1 "$folder/theirs.txt" | median)
    theirs_kib=$(cut -d' ' -f2 "$folder/theirs.txt" | sort -n | tail -n 1)
    printf '%-34s tarvochart %8.1f ms %5d MiB   gnuplot %9.1f ms %5d MiB   ratio %.4f\n' \
      "$name" "$(echo "$ours / 1000" | bc -l)" $((ours_kib / 1024)) \
      "$(echo "$theirs / 1000" | bc -l)" $((theirs_kib / 1024)) "$(echo "$ours / $theirs" | bc -l)"
  else
    printf '%-34s tarvochart %8.1f ms %5d MiB\n' "$name" "$(echo "$ours / 1000" | bc -l)" \
      $((ours_kib / 1024))
  fi
}

make_case bars-12x3-800x600 12 "VERTBAR;1" 600 800 \
  "set style data histograms; set style fill solid; plot 'data.dat' using 3:xtic(2) title 'A', '' using 4 title 'B', '' using 5 title 'C'"
make_case lines-100000x3-1920x1080 100000 LINE 1080 1920 \
  "plot 'data.dat' using 1:3 with lines title 'A', '' using 1:4 with lines title 'B', '' using 1:5 with lines title 'C'"
make_case lines-1000000x3-1920x1080 1000000 LINE 1080 1920 ""

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), medians of $runs runs"
run_case bars-12x3-800x600 yes
gnuplot_runs=$runs
runs=3  # gnuplot takes half a minute a run here
run_case lines-100000x3-1920x1080 yes
runs=$gnuplot_runs
run_case lines-1000000x3-1920x1080 no
