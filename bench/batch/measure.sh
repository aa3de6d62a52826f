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
