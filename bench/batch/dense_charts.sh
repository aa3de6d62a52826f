#!/usr/bin/env bash
# Dense and extreme charts, each a whole windowless run ("NOSHOW" + "BITMAPFILE") as a host
# starts it: 100,000 and 1,000,000 records of three data sets in every style, flat and 3D, with
# data labels, at 1920 x 1080 (the million also as SVG, PDF and BMP), each paired with the flat
# line of the same records; and values of +-1.79e308 at 4000 x 3000. Prints the median time and
# the peak memory of each beside its goal.
# Usage: dense_charts.sh [BUILD-DIR] [RUNS]    (needs GNU time)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-3}
program=$build/src/app/tarvochart
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
source "$(dirname "$0")/measure.sh"

# data RECORDS FILE: three data sets of noisy waves, some values below zero.
data() {
  awk -v n="$1" 'BEGIN { srand(7); for (i = 0; i < n; i++)
    printf "1|P%d|%.2f||%.2f||%.2f|\n", i, 60 * sin(i / 900) + 80 * rand() - 20,
      40 + 30 * rand(), 10 + 20 * rand() }' >"$2"
}

# run NAME RECORDS STYLE VIEW FILE HEIGHT WIDTH GOAL-MS GOAL-MIB: prints the median and the peak.
run() {
  local name=$1 folder=$work/$1
  mkdir -p "$folder"
  { printf '%s\n' "1|1|DATASETCOUNT|3" "1|1|CHARTSTYLE|$3" "1|1|DATALABELS|" "1|1|NOSHOW|" \
      "1|1|BITMAPFILE|$5;$6;$7"
    [ "$4" = flat ] && echo "1|1|2D|"; true; } | "$writer" properties "$folder/ChartPro.DBF"
  ln -sf "$work/data-$2.DBF" "$folder/ChartDat.DBF"
  : >"$folder/runs.txt"
  for ((i = 0; i < runs; i++)); do
    rm -f "$folder/$5"
    measure "$folder" "$program" ChartPro.DBF ChartDat.DBF >>"$folder/runs.txt"
  done
  [ -s "$folder/$5" ] || { echo "$name: no image written" >&2; exit 1; }
  printf '%-40s %8.0f ms %5d MiB   (goal %s ms, %s MiB)\n' "$name" \
    "$(cut -d' ' -f1 "$folder/runs.txt" | median | awk '{ print $1 / 1000 }')" \
    $(( $(cut -d' ' -f2 "$folder/runs.txt" | sort -n | tail -n 1) / 1024)) "$8" "$9"
}

for records in 100000 1000000; do
  data "$records" "$work/data-$records.txt"
  "$writer" data 3 "$work/data-$records.DBF" <"$work/data-$records.txt"
done
printf '%s\n' "1|A|-1.79e308||1.7e308||3|" "1|B|1e307||-1.79e308||0|" "1|C|0||3||1.79e308|" \
  "1|D|-5e307||1.79e308||-1|" "1|E|1.79e308||0||-1.79e308|" "1|F|-1e308||1e308||5e307|" |
  "$writer" data 3 "$work/data-huge.DBF"

echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), medians of $runs runs"
styles=("LINE" "PIE" "VERTBAR" "VERTBAR;1" "VERTBAR;2" "VERTBAR;3" "BAR")
for style in "${styles[@]}"; do
  for view in flat 3d; do
    run "100000x3 $style $view" 100000 "$style" "$view" chart.png 1080 1920 300 -
  done
done
for style in "${styles[@]}"; do
  for file in chart.png chart.svg chart.pdf chart.bmp; do
    run "1000000x3 $style 3d ${file#chart.}" 1000000 "$style" 3d "$file" 1080 1920 1000 300
  done
done
for style in LINE VERTBAR PIE; do
  for view in flat 3d; do
    run "+-1.79e308 $style $view 4000x3000" huge "$style" "$view" chart.png 3000 4000 200 -
  done
done
