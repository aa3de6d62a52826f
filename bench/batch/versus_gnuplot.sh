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

# Writes CASE/data.txt (for the table writer) and CASE/data.dat (for gnuplot): RECORDS records
# of three data sets; twelve named months when there are twelve.
make_data() {
  python3 - "$1" "$2" <<'PY'
import math, random, sys
folder, records = sys.argv[1], int(sys.argv[2])
random.seed(7)
months = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec".split()
with open(folder + "/data.txt", "w") as table, open(folder + "/data.dat", "w") as plain:
    for i in range(records):
        label = months[i] if records == 12 else "P%d" % i
        values = ["%.3f" % (100 + 40 * math.sin(i / (records / 6.0) + k) + random.random() * 10)
                  for k in range(3)]
        table.write("1|%s|%s||%s||%s|\n" % (label, values[0], values[1], values[2]))
        plain.write("%d %s %s %s %s\n" % (i, label, values[0], values[1], values[2]))
PY
}

# make_case NAME RECORDS STYLE HEIGHT WIDTH GNUPLOT-PLOT-COMMAND
make_case() {
  local folder=$work/$1
  mkdir -p "$folder"
  make_data "$folder" "$2"
  printf '%s\n' "1|1|DATASETCOUNT|3" "1|1|CHARTSTYLE|$3" "1|1|2D|" "1|1|NOSHOW|" \
    "1|1|BITMAPFILE|chart.png;$4;$5" "1|1|TOPTITLE|Benchmark" "1|1|DATASETTITLE|A" \
    "1|2|DATASETTITLE|B" "1|3|DATASETTITLE|C" | "$writer" properties "$folder/ChartPro.DBF"
  "$writer" data 3 "$folder/ChartDat.DBF" <"$folder/data.txt"
  printf '%s\n' "set terminal pngcairo size $5,$4" "set output 'gnuplot.png'" \
    "set title 'Benchmark'" "$6" >"$folder/plot.gp"
}

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
