#!/usr/bin/env bash
# Builds the Debian packages with dpkg-buildpackage, as a maintainer would,
# from a clean copy of the tree: the upstream tarball is the tree without
# debian/, the version names this system's release (tools/debian-release.sh)
# and every time stamp is the last commit's. Needs the build dependencies
# installed (apt-get build-dep ./). Prints the .changes file's path last.
#
# Usage: tools/debian-build.sh [--nocheck] [--source] OUTDIR
#   --nocheck   build without running the test suite
#   --source    the source package too, not only the binary one
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
nocheck=no
what=-b
while [ $# -gt 1 ]; do
    case "$1" in
        --nocheck) nocheck=yes ;;
        --source) what= ;;
        *) break ;;
    esac
    shift
done
[ $# -eq 1 ] || { sed -n '8,10s/^# \{0,1\}//p' "$0" >&2; exit 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd)

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
upstream=$(sed -n '1s/^[^ ]* (\([^)-]*\)-.*/\1/p' "$root/debian/changelog")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/tundrel-$upstream
mkdir "$src"
# The tracked and new files; without git, all but build output.
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$root/$f" ] && printf '%s\0' "$f"; done |
        tar -C "$root" --null -T - -cf -
else
    tar -C "$root" --exclude=./.git --exclude='./build*' --exclude=./dist --exclude='./obj-*' -cf - .
fi | tar -C "$src" -xf -
"$root/tools/debian-release.sh" changelog "$src/debian/changelog"

# The upstream tarball, the same bytes on every build of one commit.
tar -C "$work" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --clamp-mtime \
    --owner=0 --group=0 --numeric-owner --mode=go-w \
    --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime \
    --exclude="tundrel-$upstream/debian" -cf - "tundrel-$upstream" |
    xz -T1 -6 > "$work/tundrel_$upstream.orig.tar.xz"

options=(-us -uc -j2 $what)
if [ "$nocheck" = yes ]; then
    export DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}"
    options+=(-Pnocheck)
fi
(cd "$src" && dpkg-buildpackage "${options[@]}")
find "$work" -maxdepth 1 -type f -newer "$src/debian/changelog" \
     \( -name '*.deb' -o -name '*.ddeb' -o -name '*.changes' -o -name '*.buildinfo' \
        -o -name '*.dsc' -o -name '*.debian.tar.*' \) -exec cp {} "$out/" \;
[ -n "$what" ] || cp "$work/tundrel_$upstream.orig.tar.xz" "$out/"
ls "$out"/*.changes | tail -n 1
