#!/usr/bin/env bash
# The quick way to the Debian package, without debhelper: installs what the
# build needs (with apt, through sudo when not root), then builds for prefix
# /usr with exactly the flags Debian builds its packages with, no tests, and
# packs the result with cpack. The version names this system's release
# (tools/debian-release.sh), the file list is the one dpkg-buildpackage gives
# and two builds of one commit in the default build folder are identical.
# Prints the package's path last.
#
# Usage: tools/build-deb.sh [build-dir]    (default: build-deb; the package
#                                          is copied to dist/)
#        tools/build-deb.sh --packages     list the packages it needs
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
packages=(g++ cmake make pkg-config libsfml-dev libfontconfig-dev dpkg-dev file)
if [ "${1:-}" = --packages ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi
build=$(realpath -m "${1:-$root/build-deb}")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}" >&2
    install=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq
             --no-install-recommends -o DPkg::Lock::Timeout=600 "${missing[@]}")
    # Package lists as old as the system may name files the mirror has dropped.
    "${install[@]}" >&2 || { "${sudo[@]}" apt-get update -qq >&2 && "${install[@]}" >&2; }
fi

# What dpkg-buildpackage would set: the build flags, a fixed time for every
# stamp, and the version for this release.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null ||
                                                dpkg-parsechangelog -l "$root/debian/changelog" -S Timestamp)}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# The flags map the current folder's paths away, as dpkg-buildpackage's do
# for the source tree; the default build folder lies inside it.
cd "$root"
eval "$(dpkg-buildflags --export=sh)"
# CMake ignores CPPFLAGS; debhelper passes them this way too.
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
version=$("$root/tools/debian-release.sh" version)
mkdir -p "$build"
"$root/tools/debian-release.sh" changelog "$build/changelog"

cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DTUNDREL_INSTALL_GAMESDIR=games \
  -DTUNDREL_DEBIAN_DOCS=ON \
  -DTUNDREL_DEBIAN_CHANGELOG="$build/changelog" \
  -DTUNDREL_DEBIAN_REVISION="${version#*-}" \
  -DTUNDREL_BUILD_TESTS=OFF -DTUNDREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 >&2
(cd "$build" && cpack -G DEB >/dev/null)
deb=$build/tundrel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "build-deb: cpack made no $deb" >&2; exit 1; }
mkdir -p "$root/dist"
cp "$deb" "$root/dist/"
echo "$root/dist/${deb##*/}"
