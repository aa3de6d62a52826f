#!/usr/bin/env bash
# Writes everything a user sees of the examples into OUT-DIR, so that two builds can be compared
# byte for byte (a change that is meant to change nothing a user sees):
#   NAME-WxH.png   every example, edge and business example drawn at three sizes, each in its
#                  own locale (file "locale") or C;
#   NAME.inspect   tarvo-inspect --all on the example's tables at its own size.
# Usage: scripts/outputs.sh BUILD-DIR OUT-DIR      then: diff -r OUT-DIR-BEFORE OUT-DIR-AFTER
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
out=$(mkdir -p "$2" && realpath "$2")
sizes=("120 160" "450 720" "1000 1600")  # height width, as BITMAPFILE takes them
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The example's tables, once as written (for inspect) and once per size without an image name.
examples/render.sh "$build/src/app/tarvochart" "$build/tools/dbfwrite/tarvo-dbfwrite" \
  "$work/images" 450 720 "$work/tables" >/dev/null

for tables in "$work"/tables/*/; do
  name=$(basename "$tables")
  folder=examples/$name
  [ -d "$folder" ] || folder=examples/${name%%-*}/${name#*-}
  locale=C.UTF-8
  [ -f "$folder/locale" ] && locale=$(cat "$folder/locale")
  (cd "$tables" && LC_ALL=$locale LANG=$locale QT_QPA_PLATFORM=offscreen \
    "$build/tools/inspect/tarvo-inspect" --all ChartPro.DBF ChartDat.DBF >"$out/$name.inspect" ||
    true)
  for size in "${sizes[@]}"; do
    read -r height width <<<"$size"
    grep -vi '^[^#]*|[^|]*|BITMAPFILE|' "$folder/properties.txt" |
      { cat; echo "1|1|NOSHOW|"; echo "1|1|BITMAPFILE|chart.png;$height;$width"; } |
      "$build/tools/dbfwrite/tarvo-dbfwrite" properties "$tables/Sized.DBF"
    (cd "$tables" && LC_ALL=$locale LANG=$locale QT_QPA_PLATFORM=offscreen \
      "$build/src/app/tarvochart" Sized.DBF ChartDat.DBF)
    mv "$tables/chart.png" "$out/$name-${width}x$height.png"
  done
done
echo "$(ls "$out" | wc -l) files in $out"
