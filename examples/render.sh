#!/usr/bin/env bash
# Renders every example the way a batch host would: the example's own tables plus "NOSHOW" and
# "BITMAPFILE", run through tarvochart, one PNG per example in OUT-DIR. The examples under edge/
# and business/ name their own image size (a BITMAPFILE record of chart.png) and become
# edge-NAME.png and business-NAME.png; an example with a file "locale" is drawn for a reader of
# that locale (its numbers as that reader writes them), the others in C.
# With TABLES-DIR, each example's tables stay in TABLES-DIR/NAME.
# Usage: render.sh PATH-TO-tarvochart PATH-TO-tarvo-dbfwrite OUT-DIR [HEIGHT WIDTH [TABLES-DIR]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$1")
writer=$(realpath "$2")
out=$(mkdir -p "$3" && realpath "$3")
height=${4:-450}
width=${5:-720}
if [ -n "${6:-}" ]; then
  work=$(mkdir -p "$6" && realpath "$6")
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

data_set_count() {
  grep -i '^[^#]*|[^|]*|DATASETCOUNT|' "$1" | tail -n 1 | cut -d'|' -f4
}

# render FOLDER NAME: the example's chart as OUT-DIR/NAME.png
render() {
  local folder=$1 name=$2
  mkdir -p "$work/$name"
  {
    cat "$folder/properties.txt"
    echo "1|1|NOSHOW|"
    grep -qi '^[^#]*|[^|]*|BITMAPFILE|' "$folder/properties.txt" ||
      echo "1|1|BITMAPFILE|chart.png;$height;$width"
  } | "$writer" properties "$work/$name/ChartPro.DBF"
  "$writer" data "$(data_set_count "$folder/properties.txt")" "$work/$name/ChartDat.DBF" \
    <"$folder/data.txt"
  local locale=C.UTF-8
  [ -f "$folder/locale" ] && locale=$(cat "$folder/locale")
  (cd "$work/$name" && LC_ALL=$locale LANG=$locale QT_QPA_PLATFORM=offscreen \
    "$program" ChartPro.DBF ChartDat.DBF)
  mv "$work/$name/chart.png" "$out/$name.png"
}

for folder in "$here"/*/; do
  [ -f "$folder/properties.txt" ] && render "$folder" "$(basename "$folder")"
done
for group in edge business; do
  for folder in "$here/$group"/*/; do
    [ -f "$folder/properties.txt" ] && render "$folder" "$group-$(basename "$folder")"
  done
done
