#!/usr/bin/env bash
# Builds the Debian package: a release build for prefix /usr with the game in
# /usr/games, Debian's copyright and changelog in the documents, Debian's own
# hardening flags, no tests; then cpack. Prints the package's path last.
#
# Usage: tools/build-deb.sh [build-dir]    (default: build-deb)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-deb}

# The flags Debian builds its own packages with, all hardening on (fortify,
# stack protector, PIE, full RELRO with immediate binding); no compiler
# version stamp in the binary.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DTUNDREL_INSTALL_GAMESDIR=games \
  -DTUNDREL_DEBIAN_DOCS=ON \
  -DTUNDREL_BUILD_TESTS=OFF -DTUNDREL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cppflags $cxxflags -fno-ident" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j 2
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/tundrel_*.deb
