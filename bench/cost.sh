#!/usr/bin/env bash
# The cost ledger: a fixed set of charts counted in instructions under callgrind, which are the
# same on any machine and at any load for the same binaries and inputs, and in the minor page
# faults and waits of a plain run. Writes bench/cost.tsv; with --check, compares with it instead
# and fails when a figure grew by more than its tolerance, or when the cost stops following the
# pixels. A change that means to cost more rewrites the ledger in the same commit.
#
# Columns: the case; the instructions of the whole run; those of the chart alone (from the
# image file's start to its end: layout, drawing and encoding on every thread); the minor page
# faults of a plain run; its waits (voluntary context switches: a thread that waits on another,
# which no instruction count shows, as when fills are handed to Qt's thread pool one by one). A
# tarvo-batch row gives the cost of one more chart (the difference of 1 and 1 + $batch_charts
# jobs, one at a time); gnuplot's row the whole run. The largest charts
# are counted at a quarter of a million records, not a million: under callgrind (about 50 times
# slower) a million would take minutes each, and what doubling the records costs shows as well.
#
# Usage: cost.sh [--check] [BUILD-DIR]    (needs valgrind, gnuplot-nox and GNU time)
set -euo pipefail
mode="write"
[ "${1:-}" = --check ] && { mode=check; shift; }
build=$(realpath "${1:-build}")
ledger=$(cd "$(dirname "$0")" && pwd)/cost.tsv
program=$build/src/app/tarvochart
batch=$build/tools/batch/tarvo-batch
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/batch/measure.sh"

# Growth allowed over the ledger, in percent: instructions are exact for the same binaries, so
# only what another build of the same source may move; page faults vary by a few from run to run.
instructions_tolerance=3
faults_tolerance=8
waits_tolerance=50
# Cost follows pixels: twice the records at the same size, twice the pixels.
most_for_twice_the_points=1.2
most_for_twice_the_pixels=2.2
# Bars still cost about 900 instructions a record in the layout, which makes a box for every
# record before merging them into columns of a pixel: twice the records cost 1.35 times there.
most_for_twice_the_bars=1.4
batch_charts=10
records=250000

# One environment for every run, whatever the caller's: the same locale, platform, font
# configuration and hash seed give the same instructions.
run_env=(env -i PATH=/usr/bin:/bin LC_ALL=C LANG=C TZ=UTC QT_QPA_PLATFORM=offscreen
  QT_HASH_SEED=0 HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
  XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/home/run"
  FONTCONFIG_FILE=/etc/fonts/fonts.conf)
mkdir -p "$work/home/run" && chmod 700 "$work/home/run"

# properties FOLDER LINE...: the property table of a windowless run in FOLDER.
properties() {
  local folder=$1
  shift
  mkdir -p "$folder"
  printf '%s\n' "1|1|NOSHOW|" "$@" | "$writer" properties "$folder/ChartPro.DBF"
}

# chart NAME DATA STYLE WIDTH HEIGHT [LINE...]: a chart of the data table DATA in $work/NAME.
chart() {
  local name=$1 data=$2 style=$3 width=$4 height=$5
  shift 5
  properties "$work/$name" "1|1|DATASETCOUNT|3" "1|1|CHARTSTYLE|$style" \
    "1|1|BITMAPFILE|chart.png;$height;$width" "$@"
  ln -sf "$data" "$work/$name/ChartDat.DBF"
}

# callgrind FOLDER COMMAND...: prints "WHOLE CHART": the instructions of the run in FOLDER, and
# of its part from saving the image file to its end, on every thread (callgrind dumps the counts
# at both ends; 0 where no chart was written).
callgrind() {
  local folder=$1
  shift
  rm -f "$folder"/callgrind.out*
  (cd "$folder" && "${run_env[@]}" valgrind --tool=callgrind --callgrind-out-file=callgrind.out \
    --dump-before='chart::ChartDocument::SaveToBitmapFile*' \
    --dump-after='chart::WriteChartImageFile*' \
    "$@" >/dev/null 2>&1)
  local whole=0 chart=0 file events
  for file in "$folder"/callgrind.out*; do
    events=$(awk '$1 == "summary:" || $1 == "totals:" { print $2; exit }' "$file")
    whole=$((whole + events))
    if grep -q '^desc: Trigger: --dump-after' "$file"; then chart=$((chart + events)); fi
  done
  echo "$whole $chart"
}

# faults FOLDER COMMAND...: prints "FAULTS WAITS": the minor page faults and the voluntary
# context switches of a plain run in FOLDER, each the least of three runs.
faults() {
  local folder=$1
  shift
  for ((i = 0; i < 3; i++)); do
    (cd "$folder" && "${run_env[@]}" /usr/bin/time -f '%R %w' -o faults.txt "$@" >/dev/null 2>&1)
    tail -n 1 "$folder/faults.txt"
  done >"$folder/runs.txt"
  echo "$(cut -d' ' -f1 "$folder/runs.txt" | sort -n | head -n 1)" \
    "$(cut -d' ' -f2 "$folder/runs.txt" | sort -n | head -n 1)"
}

# row NAME FOLDER COMMAND...: the ledger's row of a run in FOLDER.
row() {
  local name=$1 folder=$2
  shift 2
  echo "  $name $(date +%T)" >&2
  local whole chart
  read -r whole chart < <(callgrind "$folder" "$@")
  local faults waits
  read -r faults waits < <(faults "$folder" "$@")
  printf '%s\t%s\t%s\t%s\t%s\n' "$name" "$whole" "$chart" "$faults" "$waits"
}

# batch_row NAME: one more benchmark chart inside tarvo-batch, jobs one at a time.
batch_row() {
  local name=$1 folder=$work/batch i
  echo "  $name" >&2
  for ((i = 0; i <= batch_charts; i++)); do
    mkdir -p "$folder/$i"
    cp "$work/bars/ChartPro.DBF" "$work/bars/ChartDat.DBF" "$folder/$i/"
    echo "$i"
  done >"$work/many.txt"
  mv "$work/many.txt" "$folder/many.txt"
  echo 0 >"$folder/one.txt"
  local one many
  read -r one _ < <(callgrind "$folder" "$batch" -j1 one.txt)
  read -r many _ < <(callgrind "$folder" "$batch" -j1 many.txt)
  cmp -s "$folder/0/chart.png" "$folder/$batch_charts/chart.png" ||
    { echo "tarvo-batch wrote no chart or different ones" >&2; exit 1; }
  local faults_one waits_one faults_many waits_many
  read -r faults_one waits_one < <(faults "$folder" "$batch" -j1 one.txt)
  read -r faults_many waits_many < <(faults "$folder" "$batch" -j1 many.txt)
  local per_chart=$(((many - one) / batch_charts))
  printf '%s\t%s\t%s\t%s\t%s\n' "$name" "$per_chart" "$per_chart" \
    $(((faults_many - faults_one) / batch_charts)) $(((waits_many - waits_one) / batch_charts))
}

measure_all() {
  echo "writing the tables" >&2
  make_case bars 12 "VERTBAR;1" 600 800 "set style data histograms; set style fill solid
plot 'data.dat' using 3:xtic(2) title 'A', '' using 4 title 'B', '' using 5 title 'C'"
  local n
  for n in "$records" $((2 * records)); do
    make_data "$work" "$n"
    "$writer" data 3 "$work/data-$n.DBF" <"$work/data.txt"
  done
  make_data "$work" 100000
  cut -d'|' -f1-3 "$work/data.txt" | sed 's/$/|/' | "$writer" data 1 "$work/pie.DBF"
  printf '%s\n' "1|A|-1.79e308||1.7e308||3|" "1|B|1e307||-1.79e308||0|" "1|C|0||3||1.79e308|" \
    "1|D|-5e307||1.79e308||-1|" "1|E|1.79e308||0||-1.79e308|" "1|F|-1e308||1e308||5e307|" |
    "$writer" data 3 "$work/huge.DBF"

  local benchmark=("1|1|2D|" "1|1|TOPTITLE|Benchmark" "1|1|DATASETTITLE|A"
    "1|2|DATASETTITLE|B" "1|3|DATASETTITLE|C")
  chart bars-1131x849 "$work/bars/ChartDat.DBF" "VERTBAR;1" 1131 849 "${benchmark[@]}"
  chart bars-labels "$work/bars/ChartDat.DBF" "VERTBAR;1" 800 600 "${benchmark[@]}" \
    "1|1|DATALABELS|"
  properties "$work/pie-100000" "1|1|DATASETCOUNT|1" "1|1|CHARTSTYLE|PIE" \
    "1|1|BITMAPFILE|chart.png;600;800"
  ln -sf "$work/pie.DBF" "$work/pie-100000/ChartDat.DBF"
  for n in "$records" $((2 * records)); do
    chart "line-${n}x3" "$work/data-$n.DBF" LINE 1920 1080 "1|1|2D|"
    chart "bars3d-${n}x3" "$work/data-$n.DBF" VERTBAR 1920 1080
  done
  chart huge-line3d-2828x2121 "$work/huge.DBF" LINE 2828 2121
  chart huge-line3d-4000x3000 "$work/huge.DBF" LINE 4000 3000

  # A first run fills the font cache before anything is counted.
  (cd "$work/bars" && "${run_env[@]}" "$program" ChartPro.DBF ChartDat.DBF >/dev/null 2>&1)
  echo "counting" >&2
  printf 'case\tinstructions\tchart instructions\tminor faults\twaits\n'
  row bars-800x600 "$work/bars" "$program" ChartPro.DBF ChartDat.DBF
  batch_row bars-800x600-in-tarvo-batch
  row bars-800x600-gnuplot "$work/bars" "$(command -v gnuplot)" plot.gp
  for n in bars-1131x849 bars-labels pie-100000 "line-${records}x3" "line-$((2 * records))x3" \
    "bars3d-${records}x3" "bars3d-$((2 * records))x3" huge-line3d-2828x2121 \
    huge-line3d-4000x3000; do
    row "$n" "$work/$n" "$program" ChartPro.DBF ChartDat.DBF
  done
}

# field TABLE CASE COLUMN: a figure of a row.
field() { awk -F'\t' -v name="$2" -v column="$3" '$1 == name { print $column }' "$1"; }

# The rules every ledger keeps: the cost of a chart follows its pixels, not its records.
# Prints each ratio, and fails on one above its limit.
check_rules() {
  local table=$1 broken=0 twice once limit what ratio
  while read -r twice once limit what; do
    ratio=$(echo "$(field "$table" "$twice" 3) / $(field "$table" "$once" 3)" | bc -l)
    printf '%-56s %5.2f times (at most %s)\n' "$what" "$ratio" "$limit" >&2
    if [ "$(echo "$ratio > $limit" | bc -l)" = 1 ]; then
      echo "cost.sh: $twice costs more than $limit times $once" >&2
      broken=1
    fi
  done <<RULES
line-$((2 * records))x3 line-${records}x3 $most_for_twice_the_points twice the points of a line, same size
bars3d-$((2 * records))x3 bars3d-${records}x3 $most_for_twice_the_bars twice the points of 3D bars, same size
bars-1131x849 bars-800x600 $most_for_twice_the_pixels twice the pixels of the benchmark bars
huge-line3d-4000x3000 huge-line3d-2828x2121 $most_for_twice_the_pixels twice the pixels of the +-1.79e308 3D line
RULES
  printf '%-56s %5.2f\n' "the benchmark bars' instructions over gnuplot's" \
    "$(echo "$(field "$table" bars-800x600 2) / $(field "$table" bars-800x600-gnuplot 2)" |
      bc -l)" >&2
  return "$broken"
}

# Fails on any figure of TABLE that grew beyond its tolerance over the ledger's, naming each.
check_growth() {
  local table=$1 grown=0 name column was now tolerance slack
  while IFS=$'\t' read -r name _; do
    [ "$name" = case ] && continue
    for column in 2 3 4 5; do
      was=$(field "$ledger" "$name" "$column")
      now=$(field "$table" "$name" "$column")
      if [ -z "$was" ]; then
        echo "cost.sh: $name is not in the ledger" >&2
        grown=1
        break
      fi
      tolerance=$instructions_tolerance slack=0
      # Page faults get a few pages of slack besides, for rows of a few pages.
      [ "$column" = 4 ] && tolerance=$faults_tolerance slack=16
      # Waits vary by a few from run to run; a thread that waits for each fill adds hundreds.
      [ "$column" = 5 ] && tolerance=$waits_tolerance slack=8
      if [ "$(echo "$now > $was * (100 + $tolerance) / 100 + $slack" | bc -l)" = 1 ]; then
        printf 'cost.sh: %s, %s: %s where the ledger has %s (more than %s %% over)\n' "$name" \
          "$(head -n 1 "$ledger" | cut -f"$column")" "$now" "$was" "$tolerance" >&2
        grown=1
      fi
    done
  done <"$table"
  return "$grown"
}

measure_all >"$work/cost.tsv"
column -t -s $'\t' "$work/cost.tsv" >&2
status=0
check_rules "$work/cost.tsv" || status=1
if [ "$mode" = check ]; then
  check_growth "$work/cost.tsv" || status=1
  if [ "$status" = 0 ]; then echo "cost.sh: every figure within the ledger" >&2; fi
else
  cp "$work/cost.tsv" "$ledger"
fi
exit "$status"
