# Helpers of the batch benchmarks, sourced by them.

# Prints "microseconds peak-KiB" of one run of the command in FOLDER.
measure() {
  local folder=$1
  shift
  local start end
  start=$(date +%s%N)
  (cd "$folder" && /usr/bin/time -f %M -o time.txt "$@" >/dev/null 2>&1)
  end=$(date +%s%N)
  echo "$(((end - start) / 1000)) $(cat "$folder/time.txt")"
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
