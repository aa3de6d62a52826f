#!/bin/sh
# A host takes an empty standard error and the image on disk as success. Every example drawn as
# a host draws it says nothing on standard error, also where Qt would warn: no runtime folder
# named (under cron or a service), a locale nobody knows, and QT_FATAL_WARNINGS=1, which turns
# any Qt warning into an abort without an image.
# Usage: quiet_stderr_test.sh TARVOCHART TARVO-DBFWRITE SOURCE-DIR
set -eu
program=$1 writer=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

env -u XDG_RUNTIME_DIR -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QT_FATAL_WARNINGS=1 \
  "$source/examples/render.sh" "$program" "$writer" "$work/images" 2>"$work/gallery.err" ||
  failed=1
if [ -s "$work/gallery.err" ] || [ "$(ls "$work/images" | wc -l)" -lt 20 ]; then
  echo "the gallery under QT_FATAL_WARNINGS=1 and without XDG_RUNTIME_DIR:"
  cat "$work/gallery.err"
  ls "$work/images"
  failed=1
fi

# The same chart for a reader whose locale the system does not know.
mkdir "$work/bogus"
cd "$work/bogus"
printf '1|1|DATASETCOUNT|1\n1|1|CHARTSTYLE|VERTBAR\n1|1|NOSHOW|\n1|1|BITMAPFILE|c.png;300;400\n' |
  "$writer" properties ChartPro.DBF
printf '1|Q1|10|\n1|Q2|20|\n' | "$writer" data 1 ChartDat.DBF
env -u XDG_RUNTIME_DIR -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QT_FATAL_WARNINGS=1 \
  LC_ALL=bogus_XX.UTF-8 LANG=bogus_XX.UTF-8 "$program" ChartPro.DBF ChartDat.DBF 2>bogus.err
if [ -s bogus.err ] || [ ! -s c.png ]; then
  echo "under LC_ALL=bogus_XX.UTF-8:"
  cat bogus.err
  failed=1
fi
exit $failed
