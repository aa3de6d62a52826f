#!/usr/bin/env bash
# tarvo-dbfwrite on a million CSV rows of two data sets (a 93 MB table): prints the seconds and
# the peak memory of the write. Rows are written as they are read, so the memory stays flat
# whatever the count.
# Usage: million_rows.sh [BUILD-DIR] [ROWS]
set -euo pipefail
build=$(realpath "${1:-build}")
rows=${2:-1000000}
writer=$build/tools/dbfwrite/tarvo-dbfwrite
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v rows="$rows" 'BEGIN { for (i = 0; i < rows; i++) printf "label %d,%d.5,RED,%d,\n", i, i, -i }' \
  >"$work/rows.csv"
/usr/bin/time -f "$rows rows: %e s, peak %M KiB" -o "$work/time.txt" \
  "$writer" --csv data 2 "$work/table.dbf" <"$work/rows.csv"
cat "$work/time.txt"
echo "table: $(stat -c %s "$work/table.dbf") bytes"
