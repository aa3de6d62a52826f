#!/bin/sh
# What a host application does, in a few lines: write both tables from what it has at hand,
# check them, and draw the chart into an image without a window. It needs tarvochart,
# tarvo-dbfwrite and tarvo-inspect on the PATH. Usage: host.sh [OUT-DIR]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cd "${1:-.}"

tarvo-dbfwrite --keywords properties ChartPro.DBF <<'TABLE'
DATASETCOUNT 2
CHARTSTYLE VERTBAR;1
TOPTITLE Revenue by quarter
LEFTAXISTITLE Thousand euros
DATASETTITLE 1 2025
DATASETTITLE 2 2026
DATASETCOLOR 2 teal
DATALABELS
NOSHOW
BITMAPFILE revenue.png;450;720
TABLE
tarvo-dbfwrite --csv --header data 2 ChartDat.DBF <"$here/revenue.csv"

# The checker's exit status says whether the run will make its chart as asked (with --strict,
# also that nothing in the tables has less effect than it seems to); its report says why not.
tarvo-inspect --strict ChartPro.DBF ChartDat.DBF >inspect.txt || { cat inspect.txt; exit 1; }

# The exit code is always 0: success is the image on disk and nothing on standard error.
rm -f revenue.png
tarvochart ChartPro.DBF ChartDat.DBF 2>errors.txt
if [ -s errors.txt ] || [ ! -f revenue.png ]; then cat errors.txt >&2; exit 1; fi
echo "wrote $(pwd)/revenue.png"
