#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows and packs it with CPack into dist/, in a
# Debian 13 root of one mmdebstrap recipe (make_root), cached in /var/cache/tundrel-win64
# (TUNDREL_WIN64_CACHE) under its hash, entered with bubblewrap without network. As root.
#   tools/build-windows.sh [--prepare | --tests] [build-dir]   (default build-win64)
#   tools/build-windows.sh --exec build-dir COMMAND...   (in the root, with the build's Wine prefix)
# TUNDREL_SFML_SOURCE: SFML's tarball or URL; TUNDREL_SFML_SHA256, if set, its sum.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
die() { echo "build-windows: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || die "must run as root (mmdebstrap, bubblewrap)"
mode=build tests=OFF
case "${1:-}" in --tests) tests=ON; shift ;; --prepare | --exec) mode=${1#--}; shift ;; esac
build=$(realpath -m "${1:-$root/build-win64}")
[ "$mode" != exec ] || shift
cache=${TUNDREL_WIN64_CACHE:-/var/cache/tundrel-win64}
sfml=${TUNDREL_SFML_SOURCE:-https://github.com/SFML/SFML/archive/8835b6b955c96fa1ad1278a8dae6f05c4143effc.tar.gz}
command -v mmdebstrap >/dev/null && command -v bwrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 mmdebstrap bubblewrap >/dev/null
. "$root/tools/lib/debian-mirror.sh"
mirror=$(debian_mirror)
[ -n "$mirror" ] || die "no Debian mirror in this machine's apt sources"

# The recipe: Debian 13 with the tools, Debian's sources of SFML's libraries
# (SheenBidi only in unstable), and the libraries built.
make_root() {
    local source=$1 hooks=()
    case $source in *://*) ;; *) hooks=(--customize-hook="copy-in $source /tmp")
                                 source=/tmp/$(basename "$source") ;; esac
    mmdebstrap --variant=apt --quiet --dpkgopt='path-exclude=/usr/share/{doc,man,locale}/*' \
        --dpkgopt='path-include=/usr/share/doc/*/copyright' --aptopt='Acquire::Check-Valid-Until "false"' \
        --include=cmake,ninja-build,g++-mingw-w64-x86-64-posix,wine,wine64,nsis,xvfb,xauth,xdotool \
        --include=imagemagick,fonts-dejavu-core,libimage-exiftool-perl,xz-utils,ca-certificates,mount \
        "${hooks[@]}" --customize-hook="copy-in $root/cmake/TundrelWin64Libraries.cmake $root/cmake/mingw-w64-x86_64.cmake /tmp" \
        --customize-hook="chroot \"\$1\" cmake -DSFML_SOURCE=$source -DPREFIX=/opt/win64 -P /tmp/TundrelWin64Libraries.cmake" \
        trixie "$2" "deb $mirror trixie main" "deb-src $mirror trixie main" "deb-src $mirror sid main"
}

sum=$sfml
[ ! -f "$sfml" ] || sfml=$(realpath "$sfml") sum=$(sha256sum <"$sfml" | cut -d' ' -f1)
[ "${TUNDREL_SFML_SHA256:-$sum}" = "$sum" ] || die "$sfml does not match its SHA-256 sum"
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
fs=$cache/root-$({ declare -f make_root; echo "$sum"; cat "$root"/cmake/{TundrelWin64Libraries,mingw-w64-x86_64}.cmake; } |
                   sha256sum | cut -c1-16)
if [ ! -f "$fs.complete" ]; then
    started=$(date +%s)
    echo "--- making the Windows root $fs (Debian 13, SFML 3 and its libraries; log in $fs.log)"
    rm -rf --one-file-system "$fs"
    make_root "$sfml" "$fs" >"$fs.log" 2>&1 || { tail -n 60 "$fs.log"; die "the root could not be made"; }
    touch "$fs.complete"  # older roots go only now: a run with other settings costs no good one
    find "$cache" -maxdepth 1 -name 'root-*' ! -name "${fs##*/}*" -exec rm -rf --one-file-system {} +
    echo "--- root made in $(( $(date +%s) - started )) s: $(grep 'SFML compiles in' "$fs.log")"
fi
exec 9>&-
[ "$mode" != prepare ] || exit 0

# The root read-only, the checkout and build at their own paths, leave to mount (to hide fonts).
runtime=$(cd "$fs" && printf 'Z:/%s;' usr/lib/gcc/x86_64-w64-mingw32/*-posix usr/x86_64-w64-mingw32/lib)
for d in usr etc var opt; do sys+=(--ro-bind "$fs/$d" "/$d"); done
for d in bin sbin lib lib64; do [ ! -L "$fs/$d" ] || sys+=(--symlink "$(readlink "$fs/$d")" "/$d"); done
mkdir -p "$build"
in_root=(bwrap --tmpfs / "${sys[@]}" --proc /proc --dev /dev --tmpfs /dev/shm --perms 1777 --tmpfs /tmp
    --tmpfs /run --perms 1777 --tmpfs /var/tmp --tmpfs /var/lib/xkb --bind "$root" "$root" --bind "$build" "$build"
    --unshare-net --unshare-pid --unshare-ipc --unshare-uts --cap-add CAP_SYS_ADMIN --die-with-parent
    --chdir "$root" --clearenv --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv HOME /tmp --setenv LANG C.UTF-8
    --setenv ROOT "$root" --setenv TUNDREL_WIN64_PREFIX /opt/win64 --setenv WINEPREFIX "$build/wine"
    --setenv WINEDEBUG -all --setenv WINEPATH "Z:/opt/win64/bin;$runtime")
[ "$mode" != exec ] || exec "${in_root[@]}" "$@"

# The build's Wine prefix (the icon tool runs under Wine): windows appear at
# once without a window manager, and DejaVu Sans Mono stands in for Consolas.
"${in_root[@]}" bash -euo pipefail -c '
    [ -f "$WINEPREFIX/system.reg" ] || { wine wineboot --init && wineserver -w
        wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
        cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$WINEPREFIX/drive_c/windows/Fonts/consola.ttf"
        wineserver -w; } >/dev/null 2>&1
    cmake -S "$ROOT" -B "$0" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTUNDREL_BUILD_TESTS="$1" -DTUNDREL_BUILD_BENCH=OFF -DTUNDREL_REQUIRE_SFML3=ON \
        -DSFML_DIR=/opt/win64/lib/cmake/SFML -DGTest_DIR=/opt/win64/lib/cmake/GTest | { grep "^-- Building against SFML" || true; }
    nice -n 10 cmake --build "$0" -j 2
    cpack --config "$0/CPackConfig.cmake" -B "$0/cpack" >"$0/cpack.log" || { cat "$0/cpack.log"; exit 1; }
    mkdir -p "$ROOT/dist" && cp -v "$0"/cpack/tundrel-*-win64{.zip,-setup.exe} "$ROOT/dist/"' "$build" "$tests"
