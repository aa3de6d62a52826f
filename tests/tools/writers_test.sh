#!/usr/bin/env bash
# The recipes of docs/writers.md, run as a host runs them: the tables of examples/writers written
# with python3-dbf and with Perl's XBase, and with GDAL's ogr2ogr where it is installed, each
# checked by tarvo-inspect and drawn by tarvochart into the very image that the tables written by
# tarvo-dbfwrite give. A writer that is not installed is passed over; none at all skips the test.
# Usage: writers_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
recipes=$source/examples/writers
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

# Writes the tables with the writer named $1 into $work/$1 by the rest of the command line.
write_with() {
  local name=$1
  shift
  mkdir "$work/$name"
  (cd "$work/$name" && "$@") >"$work/$name.log" 2>&1 || fail "$name failed: $(cat "$work/$name.log")"
}

# Draws the tables in $work/$1 after checking them; the image is $work/$1/chart.png.
draw() {
  (cd "$work/$1" && "$build/tools/inspect/tarvo-inspect" --strict ChartPro.DBF ChartDat.DBF \
    >inspect.txt) || fail "tarvo-inspect on the tables of $1: $(cat "$work/$1/inspect.txt")"
  (cd "$work/$1" && "$build/src/app/tarvochart" ChartPro.DBF ChartDat.DBF 2>stderr.txt)
  [ ! -s "$work/$1/stderr.txt" ] || fail "tarvochart on the tables of $1: $(cat "$work/$1/stderr.txt")"
  [ -f "$work/$1/chart.png" ] || fail "tarvochart drew no image from the tables of $1"
}

write_with dbfwrite sh -c "'$build/tools/dbfwrite/tarvo-dbfwrite' --keywords properties \
  ChartPro.DBF <'$recipes/chart.txt' && \
  '$build/tools/dbfwrite/tarvo-dbfwrite' --csv --header data 2 ChartDat.DBF <'$recipes/chart.csv'"
draw dbfwrite

writers=()
if /usr/bin/python3 -c 'import dbf' 2>/dev/null; then
  write_with python "$recipes/write-with-python.py" .
  writers+=(python)
fi
if perl -MXBase -e 1 2>/dev/null; then
  write_with perl "$recipes/write-with-perl.pl" .
  writers+=(perl)
fi
if command -v ogr2ogr >/dev/null; then
  write_with gdal "$recipes/write-with-gdal.sh" .
  writers+=(gdal)
fi
((${#writers[@]})) || { echo "none of python3-dbf, Perl's XBase and GDAL is installed"; exit 77; }
for writer in "${writers[@]}"; do
  draw "$writer"
  cmp -s "$work/$writer/chart.png" "$work/dbfwrite/chart.png" ||
    fail "the tables written with $writer draw another image than tarvo-dbfwrite's"
done
echo "the tables of ${writers[*]} draw the image of tarvo-dbfwrite's tables"
