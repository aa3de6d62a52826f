#!/usr/bin/env bash
# Renders every example the way a batch host would: the example's own tables plus "NOSHOW" and
# "BITMAPFILE", run through tarvochart, one PNG per example in OUT-DIR.
# Usage: render.sh PATH-TO-tarvochart PATH-TO-tarvo-dbfwrite OUT-DIR [HEIGHT WIDTH]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$1")
writer=$(realpath "$2")
out=$(mkdir -p "$3" && realpath "$3")
height=${4:-450}
width=${5:-720}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

data_set_count() {
  grep -i '^[^#]*|[^|]*|DATASETCOUNT|' "$1" | tail -n 1 | cut -d'|' -f4
}

for folder in "$here"/*/; do
  [ -f "$folder/properties.txt" ] || continue
  name=$(basename "$folder")
  mkdir -p "$work/$name"
  { cat "$folder/properties.txt"; echo "1|1|NOSHOW|"; echo "1|1|BITMAPFILE|chart.png;$height;$width"; } |
    "$writer" properties "$work/$name/ChartPro.DBF"
  "$writer" data "$(data_set_count "$folder/properties.txt")" "$work/$name/ChartDat.DBF" \
    <"$folder/data.txt"
  (cd "$work/$name" && QT_QPA_PLATFORM=offscreen "$program" ChartPro.DBF ChartDat.DBF)
  mv "$work/$name/chart.png" "$out/$name.png"
done
