#!/bin/sh
# Writes the chart of chart.txt and chart.csv as ChartPro.DBF and ChartDat.DBF with GDAL's ogr2ogr
# (Debian: apt install gdal-bin), from properties.csv and data.csv beside this script. The .csvt
# file beside each CSV gives every column its type and width: String(N), a text of N bytes, at
# the width that tarvochart reads. Without it GDAL guesses (a text of 80 bytes, numbers of its
# own width) and writes an empty number as a dBASE null ("**"); and a value longer than its
# width makes GDAL widen the field, so every value must fit.
#
# Usage: write-with-gdal.sh [FOLDER]     (the current folder when none is given)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
folder=${1:-.}
for table in properties:ChartPro data:ChartDat; do
  csv=${table%%:*} name=${table#*:}
  # The shapefile driver writes a lone dBASE table for a name ending in .dbf, its texts in
  # Windows-1252, which tarvochart shows as such.
  rm -f "$folder/$name.dbf"
  ogr2ogr -f "ESRI Shapefile" "$folder/$name.dbf" "$here/$csv.csv"
  mv "$folder/$name.dbf" "$folder/$name.DBF"
done
