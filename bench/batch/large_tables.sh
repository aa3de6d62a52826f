#!/usr/bin/env bash
# Reading huge tables: a property table of 1,000,000 records (134 MB) and a sparse data table of
# 4.5 GiB, each read in full by a windowless run. Prints the median of the runs.
# Usage: large_tables.sh [BUILD-DIR] [RUNS]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-5}
program=$build/src/app/tarvochart
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
cd "$work"

{ printf '1|1|DATASETCOUNT|1\n1|1|CHARTSTYLE|LINE\n1|1|NOSHOW|\n'
  awk 'BEGIN { for (i = 0; i < 1000000; i++) print "1|1|DATASETCOLOR|RED" }'; } |
  "$writer" properties big.dbf
printf '1|a|1|\n' | "$writer" data 1 small.dbf
printf '1|1|DATASETCOUNT|1\n1|1|CHARTSTYLE|LINE\n1|1|NOSHOW|\n' | "$writer" properties props.dbf
# 4,831,838 records of 1000 bytes after a real header: all but the header is a hole.
printf '' | "$writer" --count=4831838 --no-eof data 32 sparse.dbf
truncate -s $(( $(stat -c %s sparse.dbf) + 4831838 * 993 )) sparse.dbf

median_ms() {
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$program" "$@" 2>/dev/null
    echo $((($(date +%s%N) - start) / 1000000))
  done | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}

echo "property table of 1,000,000 records:   $(median_ms big.dbf small.dbf) ms (goal 300 ms)"
echo "sparse data table of 4.5 GiB:          $(median_ms props.dbf sparse.dbf) ms"
