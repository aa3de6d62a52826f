# Helpers of the batch benchmarks, sourced by them.

# Prints "microseconds peak-KiB" of one run of the command in FOLDER. The clock is bash's own,
# so that starting a clock program is not counted.
measure() {
  local folder=$1
  shift
  local start end
  cd "$folder"
  start=${EPOCHREALTIME/./}
  /usr/bin/time -f %M -o time.txt "$@" >/dev/null 2>&1
  end=${EPOCHREALTIME/./}
  cd - >/dev/null
  echo "$((end - start)) $(cat "$folder/time.txt")"
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

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

# make_case NAME RECORDS STYLE HEIGHT WIDTH GNUPLOT-PLOT-COMMAND: the tables and the gnuplot
# script of one chart in $work/NAME, written with $writer.
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
