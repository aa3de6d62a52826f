#!/usr/bin/env bash
# Installs what the program needs and builds the program and its tools (scripts/setup.sh), then
# runs tarvochart on the example tables of examples/sales. With a display the chart window opens
# (Escape closes it). Without one the program says so, and this script draws the same chart into
# build/example/sales.png instead, tells where it is and how to see the window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
examples/make-tables.sh build/tools/dbfwrite/tarvo-dbfwrite

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
(cd examples/sales && ../../build/src/app/tarvochart ChartPro.DBF ChartDat.DBF) 2>"$errors"
cat "$errors" >&2
grep -q "No display can be reached" "$errors" || exit 0

# The example's own tables, asked for an image instead of the window, as a batch host asks.
out=build/example
mkdir -p "$out"
{
  cat examples/sales/properties.txt
  echo "1|1|NOSHOW|"
  echo "1|1|BITMAPFILE|sales.png;450;720"
} | build/tools/dbfwrite/tarvo-dbfwrite properties "$out/ChartPro.DBF"
cp examples/sales/ChartDat.DBF "$out/"
(cd "$out" && ../src/app/tarvochart ChartPro.DBF ChartDat.DBF)
cat <<TEXT

No display here, so the chart window cannot open. The chart is drawn instead into
  $PWD/$out/sales.png
Open it with an image viewer, or copy it to a machine that has one. To see the window, run
scripts/run-example.sh in a desktop session, or log in with "ssh -X" so that DISPLAY names
your screen.
TEXT
