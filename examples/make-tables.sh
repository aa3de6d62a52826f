#!/usr/bin/env bash
# Writes ChartPro.DBF and ChartDat.DBF in every example folder (those under edge/ and business/
# too) from its properties.txt and data.txt. Usage: make-tables.sh [PATH-TO-tarvo-dbfwrite]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
writer=${1:-$here/../build/tools/dbfwrite/tarvo-dbfwrite}

# The data table holds as many data sets as the property table's DATASETCOUNT asks for.
data_set_count() {
  grep -i '^[^#]*|[^|]*|DATASETCOUNT|' "$1" | tail -n 1 | cut -d'|' -f4
}

for folder in "$here"/*/ "$here"/edge/*/ "$here"/business/*/; do
  [ -f "$folder/properties.txt" ] || continue
  "$writer" properties "$folder/ChartPro.DBF" <"$folder/properties.txt"
  "$writer" data "$(data_set_count "$folder/properties.txt")" "$folder/ChartDat.DBF" \
    <"$folder/data.txt"
done
