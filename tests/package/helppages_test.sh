#!/usr/bin/env bash
# Before anything is installed, the help of every program names its manual page as "man -l PATH"
# in the source folder, and that command shows the page without a warning.
# Usage: helppages_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
command -v man >/dev/null || { echo "man is not installed"; exit 77; }
export LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
for program in src/app/tarvochart tools/dbfwrite/tarvo-dbfwrite tools/inspect/tarvo-inspect \
  tools/batch/tarvo-batch; do
  name=$(basename "$program")
  help=$("$build/$program" --help)
  grep -qx "The manual page: man $name once installed; before, in the source folder:" <<<"$help" ||
    { echo "$name --help does not name its manual page:"; echo "$help"; exit 1; }
  page=$(sed -n 's/^man -l //p' <<<"$help")
  warnings=$(cd "$source" && man --warnings -l "$page" 2>&1 >/dev/null) ||
    { echo "$name --help names $page, which man -l cannot show: $warnings"; exit 1; }
  [ -z "$warnings" ] || { echo "man warns on $page: $warnings"; exit 1; }
  (cd "$source" && man -l "$page") | grep -q "^ *$name - " ||
    { echo "$page is not the page of $name"; exit 1; }
done
echo "every program's help names its manual page"
