#!/usr/bin/env bash
# The Debian package as cpack makes it from this build: exactly the programs and their manual
# pages, the documentation folder with every example and reference page (every link of README and
# the pages holding), the libraries they link declared as
# dependencies, and, once unpacked, stripped programs that run and tell their version, and pages
# that man shows without a warning.
# Usage: package_test.sh BUILD_DIR VERSION SOURCE_DIR
set -euo pipefail
build=$1 version=$2 source=$3

for tool in cpack dpkg-deb dpkg-shlibdeps man file; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done
export LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/tarvochart_${version}-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out"; fail "no package named $(basename "$deb")"; }

# Every file with its mode and owner; folders aside. The examples are those of the source, the
# images that a script may have rendered among them aside, and only the scripts executable.
examples=$(cd "$source" && find examples -type f ! -regex '.*\.\(png\|svg\|pdf\|bmp\)' | sort |
  sed 's|^|./usr/share/doc/tarvochart/|; /\.sh$/s|^|-rwxr-xr-x root/root |; /^\./s|^|-rw-r--r-- root/root |')
# The reference pages and their images, as in the source.
pages=$(cd "$source" && find docs -type f \( -name '*.md' -o -name '*.png' \) |
  sed 's|^|-rw-r--r-- root/root ./usr/share/doc/tarvochart/|')
expected="-rwxr-xr-x root/root ./usr/bin/tarvo-batch
-rwxr-xr-x root/root ./usr/bin/tarvo-dbfwrite
-rwxr-xr-x root/root ./usr/bin/tarvo-inspect
-rwxr-xr-x root/root ./usr/bin/tarvochart
-rw-r--r-- root/root ./usr/lib/tarvochart/libtarvochart-window.so
-rw-r--r-- root/root ./usr/share/doc/tarvochart/README.md
-rw-r--r-- root/root ./usr/share/doc/tarvochart/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/tarvochart/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/tarvochart/copyright
$examples
$pages
-rw-r--r-- root/root ./usr/share/man/man1/tarvo-batch.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/tarvo-dbfwrite.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/tarvo-inspect.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/tarvochart.1.gz"
expected=$(sort -k3 <<<"$expected")
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | sort -k3)
[ "$files" = "$expected" ] || fail "the package holds:
$files
instead of:
$expected"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarvochart ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libqt6svg6 libcups2 zlib1g; do
  grep -qx "$package" <<<"$depends" || fail "Depends lacks $package: $(field Depends)"
done
if grep -q -- '-dev$' <<<"$depends"; then fail "Depends names a -dev package: $(field Depends)"; fi

dpkg-deb -x "$deb" "$work/root"
doc=$work/root/usr/share/doc/tarvochart
cmp -s "$doc/README.md" "$source/README.md" || fail "README.md differs from the source's"
"$source/tests/package/doclinks.py" "$doc" >"$work/links.txt" ||
  fail "installed: $(cat "$work/links.txt")"
gzip -dc "$doc/changelog.gz" | head -n 1 | grep -q "^tarvochart $version (" ||
  fail "changelog.gz does not begin with version $version"
gzip -dc "$doc/changelog.Debian.gz" | head -n 1 | grep -q "^tarvochart ($version-1) " ||
  fail "changelog.Debian.gz does not begin with version $version-1"
head -n 1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' &&
  grep -q '^License: Expat$' "$doc/copyright" && grep -q '^ Permission is hereby granted' "$doc/copyright" ||
  fail "copyright is not the MIT licence in Debian's format: $(cat "$doc/copyright")"

# Unpacked, the programs are stripped, tell their version, and run: the tool writes both tables,
# the checker passes them and the program draws them.
bin=$work/root/usr/bin
for binary in "$bin"/* "$work"/root/usr/lib/tarvochart/*.so; do
  file "$binary" | grep -q ', stripped' || fail "not stripped: $(file "$binary")"
done
for name in tarvochart tarvo-dbfwrite tarvo-inspect tarvo-batch; do
  answer=$("$bin/$name" --version) || fail "$name --version failed: $answer"
  [ "$answer" = "$name $version" ] || fail "$name --version says: $answer"
done
cd "$work"
"$bin/tarvo-dbfwrite" properties P.DBF <<'TABLE'
1|1|DATASETCOUNT|1
1|1|CHARTSTYLE|PIE
1|1|NOSHOW|
1|1|BITMAPFILE|pie.png;200;300
TABLE
printf '1|A|2|\n1|B|3|RED\n' | "$bin/tarvo-dbfwrite" data 1 D.DBF
"$bin/tarvo-inspect" P.DBF D.DBF >inspect.txt || fail "tarvo-inspect: $(cat inspect.txt)"
"$bin/tarvochart" P.DBF D.DBF 2>stderr.txt
[ ! -s stderr.txt ] || fail "standard error: $(cat stderr.txt)"
[ "$(head -c 4 pie.png | tail -c 3)" = PNG ] || fail "no image written"
rm pie.png
# A run that names a platform other than offscreen loads the window part from the package.
QT_QPA_PLATFORM=minimal "$bin/tarvochart" P.DBF D.DBF 2>stderr.txt
[ ! -s stderr.txt ] || fail "with the window part, standard error: $(cat stderr.txt)"
[ "$(head -c 4 pie.png | tail -c 3)" = PNG ] || fail "no image written with the window part"
rm pie.png
mkdir job && mv P.DBF D.DBF job/
echo "job P.DBF D.DBF" | "$bin/tarvo-batch" - >batch.txt || fail "tarvo-batch: $(cat batch.txt)"
[ "$(cat batch.txt)" = "job P.DBF D.DBF	wrote pie.png" ] || fail "tarvo-batch said: $(cat batch.txt)"
[ "$(head -c 4 job/pie.png | tail -c 3)" = PNG ] || fail "tarvo-batch wrote no image"

for name in tarvochart tarvo-dbfwrite tarvo-inspect tarvo-batch; do
  page=$work/root/usr/share/man/man1/$name.1.gz
  man --warnings -l "$page" >page.txt 2>warnings.txt
  [ ! -s warnings.txt ] || fail "man warns on $name.1: $(cat warnings.txt)"
  grep -q "^NAME" page.txt && grep -q "^ *$name - " page.txt || fail "$name.1 has no NAME line"
done
echo "package test passed: $(basename "$deb")"
