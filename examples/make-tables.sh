#!/usr/bin/env bash
# Writes the example tables ChartPro.DBF and ChartDat.DBF from the text files beside this script.
# Usage: make-tables.sh [PATH-TO-tarvo-dbfwrite]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
writer=${1:-$here/../build/tools/dbfwrite/tarvo-dbfwrite}
"$writer" properties "$here/ChartPro.DBF" <"$here/sales-properties.txt"
"$writer" data 3 "$here/ChartDat.DBF" <"$here/sales-data.txt"
