#!/usr/bin/env bash
# tarvo-batch against gnuplot, each making the same 100 charts in one process: the 12 x 3 bar
# chart as an 800 x 600 PNG, one folder per chart. Prints the charts a second, the CPU time per
# chart and the peak memory of each (medians of RUNS runs, alternated), and tarvo-batch's peak
# memory over 10,000 jobs. The charts are written under $TMPDIR (TMPDIR=/dev/shm leaves the disk
# out).   Usage: batch_versus_gnuplot.sh [BUILD-DIR] [RUNS]    (needs gnuplot-nox and GNU time)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-5}
batch=$build/tools/batch/tarvo-batch
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
source "$(dirname "$0")/measure.sh"
charts=100

make_case bars 12 "VERTBAR;1" 600 800 ""
for ((i = 1; i <= charts; i++)); do
  mkdir -p "$work/charts/$i"
  cp "$work/bars/ChartPro.DBF" "$work/bars/ChartDat.DBF" "$work/charts/$i/"
  echo "charts/$i"
done >"$work/jobs.txt"
{
  echo "set terminal pngcairo size 800,600"
  echo "set title 'Benchmark'"
  echo "set style data histograms; set style fill solid"
  echo "do for [i=1:$charts] {"
  echo "  set output sprintf('charts/%d/gnuplot.png', i)"
  echo "  plot 'bars/data.dat' using 3:xtic(2) title 'A', '' using 4 title 'B', '' using 5 title 'C'"
  echo "}"
} >"$work/plot.gp"

# Appends "wall-seconds cpu-seconds peak-KiB" of the command, run in $work, to FILE.
timed() {
  local file=$1
  shift
  (cd "$work" && /usr/bin/time -f "%e %U %S %M" -o time.txt "$@" >/dev/null)
  awk '{ print $1, $2 + $3, $4 }' "$work/time.txt" >>"$file"
}

: >"$work/ours.txt"
: >"$work/theirs.txt"
for ((r = 0; r < runs; r++)); do
  timed "$work/ours.txt" "$batch" jobs.txt
  timed "$work/theirs.txt" gnuplot plot.gp
done
cmp -s "$work/charts/1/chart.png" "$work/charts/$charts/chart.png" ||
  { echo "tarvo-batch wrote no chart or different ones" >&2; exit 1; }

report() {  # NAME FILE
  local wall cpu kib
  wall=$(cut -d' ' -f1 "$2" | median)
  cpu=$(cut -d' ' -f2 "$2" | median)
  kib=$(cut -d' ' -f3 "$2" | sort -n | tail -n 1)
  printf '%-12s %7.1f charts/s   %6.2f ms CPU per chart   %4d MiB\n' "$1" \
    "$(echo "$charts / $wall" | bc -l)" "$(echo "$cpu * 1000 / $charts" | bc -l)" $((kib / 1024))
}

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $charts charts," \
  "medians of $runs runs, on $(stat -f -c %T "$work")"
report tarvo-batch "$work/ours.txt"
report gnuplot "$work/theirs.txt"
ours=$(cut -d' ' -f2 "$work/ours.txt" | median)
theirs=$(cut -d' ' -f2 "$work/theirs.txt" | median)
printf 'CPU per chart, tarvo-batch / gnuplot: %.2f\n' "$(echo "$ours / $theirs" | bc -l)"

for ((r = 0; r < 100; r++)); do cat "$work/jobs.txt"; done >"$work/many.txt"
: >"$work/many-time.txt"
timed "$work/many-time.txt" "$batch" many.txt
read -r wall cpu kib <"$work/many-time.txt"
printf '10,000 jobs: %.1f charts/s, peak memory %d MiB\n' "$(echo "10000 / $wall" | bc -l)" \
  $((kib / 1024))
