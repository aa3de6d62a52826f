#!/usr/bin/env bash
# Installs the Debian packages that tarvochart needs and builds it into build/.
#
#   scripts/setup.sh           the packages that build and run the program and its tools; builds
#                              the program, the tools and their manual pages (the target
#                              "programs"), nothing else
#   scripts/setup.sh --tests   also the packages of the tests, benchmarks and fuzz targets, a
#                              German, a French and a US English locale; builds everything,
#                              tests and benchmarks included
#
# Safe to run again: it installs only what is missing, and a build folder once set up with the
# tests keeps them (the plain set-up then builds only the programs in it).
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  "") with_tests=false ;;
  --tests) with_tests=true ;;
  *) echo "usage: scripts/setup.sh [--tests]" >&2; exit 2 ;;
esac

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev zlib1g-dev libcups2-dev
  libfontconfig-dev fonts-dejavu-core fontconfig
)
if $with_tests; then
  packages+=(
    libgtest-dev googletest
    xvfb xauth xdotool x11-apps x11-utils openbox imagemagick
    cups cups-client cups-bsd printer-driver-cups-pdf
    shapelib poppler-utils locales python3 python3-dbfread libxml2-utils file man-db
    python3-dbf libdbd-xbase-perl
    gnuplot-nox bc time libdeflate-dev strace fonts-urw-base35 valgrind
    clang libclang-rt-14-dev
  )
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
fi

# The conversions and the chart's numbers are tested under these locales as well as C.
missing_locales=()
for name in de_DE fr_FR en_US; do
  locale -a 2>/dev/null | grep -qi "^$name.utf8\$" || missing_locales+=("$name")
done
if $with_tests && ((${#missing_locales[@]})); then
  for name in "${missing_locales[@]}"; do
    $sudo sed -i "s/^# *$name.UTF-8 UTF-8/$name.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$name.UTF-8 UTF-8" /etc/locale.gen ||
      echo "$name.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  done
  $sudo locale-gen >/dev/null
fi

options=(-DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}")
if $with_tests; then
  options+=(-DTARVO_TESTS=ON -DTARVO_BENCH=ON)
elif [ ! -f build/CMakeCache.txt ]; then
  options+=(-DTARVO_TESTS=OFF -DTARVO_BENCH=OFF)
fi
cmake -S . -B build -G Ninja "${options[@]}" >/dev/null
if $with_tests; then
  cmake --build build -j"$(nproc)"
else
  cmake --build build -j"$(nproc)" --target programs
fi
