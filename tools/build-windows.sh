#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows in a clean Debian 13 root (made
# with mmdebstrap from this machine's Debian mirror, entered with bubblewrap:
# its own /proc, /dev and /tmp, this checkout at the same path) and packs it
# with CPack: dist/tundrel-<version>-win64.zip and
# dist/tundrel-<version>-win64-setup.exe. SFML 3.1.0 is built with FreeType,
# HarfBuzz, SheenBidi, Ogg, Vorbis and FLAC from Debian's source packages
# inside it; GoogleTest too. The root and the libraries are kept in
# /var/cache/tundrel-win64 (TUNDREL_WIN64_CACHE), each under a hash of what
# went into it, so only the first run makes them. Needs root on Debian.
#
#   tools/build-windows.sh [--prepare | --tests] [build-dir]   (default build-win64)
#   tools/build-windows.sh --exec build-dir COMMAND...
#
# --prepare only makes (or finds) the root and the libraries; --tests also
# builds the test suite; --exec runs a command in the root with the build's
# Wine prefix (<build-dir>/wine) and the libraries' DLLs on Wine's path.
#
# TUNDREL_SFML_SOURCE: SFML's source as a folder, a tarball or a URL of one
# (default: upstream's tag 3.1.0); TUNDREL_SFML_SHA256, if set, must match
# the tarball.
set -euo pipefail

self=$(readlink -f "$0")
root=$(cd "$(dirname "$self")/.." && pwd)
die() { echo "build-windows: $*" >&2; exit 1; }
sfml_commit=8835b6b955c96fa1ad1278a8dae6f05c4143effc
sfml_source=${TUNDREL_SFML_SOURCE:-https://github.com/SFML/SFML/archive/$sfml_commit.tar.gz}
toolchain=$root/cmake/mingw-w64-x86_64.cmake

# What the root holds: Debian 13's CMake, MinGW-w64, Wine, NSIS and the tools
# the tests and the installer check call.
suite=trixie
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 nsis xvfb xauth xdotool
          fonts-dejavu-core libimage-exiftool-perl xz-utils ca-certificates mount)
# Source packages and the suite serving each; SheenBidi is only in unstable.
sources=(freetype/trixie harfbuzz/trixie sheenbidi/sid libogg/trixie libvorbis/trixie
         flac/trixie googletest/trixie)

# --- inside the root ----------------------------------------------------------

# A private source list, in the root's /tmp: nothing of the machine's apt
# setup is used or changed.
inside_apt() {
    local dir=/tmp/apt
    if [ ! -d $dir ]; then
        mkdir -p $dir/lists/partial $dir/cache
        for s in trixie sid; do
            echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $MIRROR $s main"
        done >$dir/sources.list
        apt-get -o Dir::Etc::SourceList=$dir/sources.list -o Dir::Etc::SourceParts=- \
            -o Dir::State::Lists=$dir/lists -o Dir::Cache=$dir/cache -o Acquire::Check-Valid-Until=false -o APT::Sandbox::User=root -qq update >&2
    fi
    apt-get -o Dir::Etc::SourceList=$dir/sources.list -o Dir::Etc::SourceParts=- \
        -o Dir::State::Lists=$dir/lists -o Dir::Cache=$dir/cache -o Acquire::Check-Valid-Until=false -o APT::Sandbox::User=root -qq "$@"
}

# Prints name=version of each source package, the version its suite serves.
inside_versions() {
    local s
    for s in "${sources[@]}"; do
        inside_apt source --print-uris "$s" |
            sed -n "s/^'[^']*' \(${s%/*}\)_\([^ ]*\)\.dsc .*/\1=\2/p"
    done
}

# Unpacks a source package's main tarball into the given folder.
unpack() {
    local tarball
    tarball=$(ls /tmp/dl/"$1"_*.orig.tar.* | grep -v -- '\.orig-' | head -n 1)
    mkdir -p "$2"
    tar -xf "$tarball" -C "$2" --strip-components=1
}

# Keeps a library's licence texts in the prefix for the zip and the
# installer, each ending in .txt so that it opens with a double-click.
licence() {
    local name=$1 dir=$2 f; shift 2
    mkdir -p "$PREFIX/share/licenses/$name"
    for f in "$@"; do
        f=${f%.md}
        cp "$dir/$f"* "$PREFIX/share/licenses/$name/$(basename "${f%.[Tt][Xx][Tt]}").txt"
    done
}

# The recipe: what gets built and how. Its text is part of the cache key.
inside_libraries() {
    local sfml=/tmp/sfml build=/tmp/sfml-build pkg name patch d fetch=()
    mkdir -p /tmp/dl
    (cd /tmp/dl && inside_apt source --download-only --tar-only "$@")
    case $SFML_SOURCE in
        http://* | https://*) echo 'file(DOWNLOAD "${URL}" "${FILE}" STATUS s) list(GET s 0 c)
                                    if(c) message(FATAL_ERROR "${s}") endif()' >/tmp/dl/fetch.cmake
                              cmake -DURL="$SFML_SOURCE" -DFILE=/tmp/dl/sfml.tar.gz -P /tmp/dl/fetch.cmake
                              mkdir $sfml; tar -xf /tmp/dl/sfml.tar.gz -C $sfml --strip-components=1 ;;
        *) if [ -d "$SFML_SOURCE" ]; then cp -r "$SFML_SOURCE" $sfml
           else mkdir $sfml; tar -xf "$SFML_SOURCE" -C $sfml --strip-components=1; fi ;;
    esac
    # SFML fetches its libraries into <build>/_deps/<name>-src and patches
    # them there; Debian's sources take their place, patched by SFML's own
    # scripts, so SFML's settings for those folders still apply.
    for d in freetype:FREETYPE:Freetype harfbuzz:HARFBUZZ:HarfBuzz sheenbidi:SHEENBIDI:SheenBidi \
             libogg:OGG:Ogg libvorbis:VORBIS:Vorbis flac:FLAC:FLAC; do
        IFS=: read -r pkg name patch <<<"$d"
        unpack "$pkg" "$build/_deps/${name,,}-src"
        cmake -D"${name}_DIR=$build/_deps/${name,,}-src" -P "$sfml/tools/${patch,,}/Patch$patch.cmake"
        fetch+=(-DFETCHCONTENT_SOURCE_DIR_$name="$build/_deps/${name,,}-src")
    done
    cmake -S $sfml -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=ON -DSFML_USE_SYSTEM_DEPS=OFF \
        -DSFML_BUILD_NETWORK=OFF -DSFML_BUILD_EXAMPLES=OFF -DSFML_BUILD_DOC=OFF \
        -DSFML_INSTALL_PKGCONFIG_FILES=OFF -DFETCHCONTENT_FULLY_DISCONNECTED=ON "${fetch[@]}" >/tmp/sfml.log 2>&1 ||
        { tail -n 40 /tmp/sfml.log; return 1; }
    nice -n 10 cmake --build $build -j 2 >>/tmp/sfml.log 2>&1 || { tail -n 40 /tmp/sfml.log; return 1; }
    cmake --install $build >>/tmp/sfml.log
    licence SFML $sfml license.md
    # miniaudio, SFML's audio, keeps its licence at the end of its header.
    sed -n '/^This software is available as a choice/,/^\*\//p' $sfml/extlibs/headers/miniaudio/miniaudio.h |
        sed '$d' >/tmp/miniaudio-licence.txt
    licence miniaudio /tmp miniaudio-licence.txt
    d=$build/_deps
    licence FreeType $d/freetype-src LICENSE.TXT docs/FTL.TXT docs/GPLv2.TXT
    licence HarfBuzz $d/harfbuzz-src COPYING
    licence SheenBidi $d/sheenbidi-src LICENSE
    licence Ogg $d/ogg-src COPYING
    licence Vorbis $d/vorbis-src COPYING
    licence FLAC $d/flac-src COPYING.Xiph
    # GoogleTest only for the tests, linked in.
    unpack googletest /tmp/gtest
    cmake -S /tmp/gtest -B /tmp/gtest-build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=OFF >/tmp/gtest.log 2>&1
    nice -n 10 cmake --build /tmp/gtest-build -j 2 >>/tmp/gtest.log
    cmake --install /tmp/gtest-build >>/tmp/gtest.log
    # The MinGW runtime's DLLs are the root's; their licences go along.
    mkdir -p "$PREFIX/share/licenses/MinGW-w64 runtime"
    cp /usr/share/doc/mingw-w64-common/copyright "$PREFIX/share/licenses/MinGW-w64 runtime/mingw-w64.txt"
    cp /usr/share/doc/gcc-mingw-w64-base/copyright "$PREFIX/share/licenses/MinGW-w64 runtime/gcc.txt"
}

# A Wine prefix for the build: the icon tool runs under Wine at build time.
inside_wine_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return
    mkdir -p "$WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1
    # Without a window manager Wine waits two seconds per window for one.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Wine's own fonts folder is empty; DejaVu Sans Mono stands in for Consolas.
    cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf "$WINEPREFIX/drive_c/windows/Fonts/consola.ttf"
    wineserver -w
}

inside_game() {
    local build=$1 tests=$2
    inside_wine_prefix
    cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DTUNDREL_WIN64_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release -DTUNDREL_BUILD_TESTS="$tests" -DTUNDREL_BUILD_BENCH=OFF \
        -DTUNDREL_REQUIRE_SFML3=ON -DSFML_DIR="$PREFIX/lib/cmake/SFML" -DGTest_DIR="$PREFIX/lib/cmake/GTest" |
        grep -E '^-- Building against SFML' || true
    nice -n 10 cmake --build "$build" -j 2
    mkdir -p "$ROOT/dist"
    (cd "$build" && cpack -G "ZIP;NSIS" -B "$build/cpack" >"$build/cpack.log") ||
        { cat "$build/cpack.log"; return 1; }
    local f
    for f in "$build"/cpack/tundrel-*-win64.zip "$build"/cpack/tundrel-*-win64-setup.exe; do
        cp "$f" "$ROOT/dist/"
        echo "--- dist/$(basename "$f")"
    done
}

if [ "${1:-}" = --inside ]; then
    shift
    "inside_$1" "${@:2}"
    exit
fi

# --- on the machine -----------------------------------------------------------

. "$root/tools/lib/debian-mirror.sh"
[ "$(id -u)" -eq 0 ] || die "must run as root (mmdebstrap, bubblewrap)"
mode=build tests=OFF
case "${1:-}" in
    --tests) tests=ON; shift ;;
    --prepare) mode=prepare; shift ;;
    --exec) mode=exec; shift ;;
esac
build=$(realpath -m "${1:-$root/build-win64}")
[ "$mode" != exec ] || shift
cache=${TUNDREL_WIN64_CACHE:-/var/cache/tundrel-win64}

missing=()
for p in mmdebstrap bubblewrap; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "--- installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi
mirror=$(debian_mirror)
[ -n "$mirror" ] || die "no Debian mirror in this machine's apt sources"

# Runs a command in the root: its /usr, /etc and /var read-only on a
# throwaway top level where the checkout, the build folder and the folders
# given with --bind (or --ro) are mounted at their own paths; --mounts lets
# the command make mounts of its own. --offline gives it a network of its own
# with only loopback: X's abstract sockets are the network's, so the root's
# virtual screens can neither clash with nor reach the machine's own.
in_root() {
    local sys=(--tmpfs /) binds=() d runtime
    [ "$1" != --offline ] || { binds+=(--unshare-net); shift; }
    # Where Wine finds the MinGW runtime's DLLs for programs built here.
    runtime=$(cd "$fs" && printf 'Z:/%s;' usr/lib/gcc/x86_64-w64-mingw32/*-posix usr/x86_64-w64-mingw32/lib)
    for d in usr etc var; do sys+=(--ro-bind "$fs/$d" "/$d"); done
    for d in bin sbin lib lib64; do [ ! -L "$fs/$d" ] || sys+=(--symlink "$(readlink "$fs/$d")" "/$d"); done
    # The tests hide the fonts from the game in a mount namespace of their own.
    [ "$1" != --mounts ] || { binds+=(--cap-add CAP_SYS_ADMIN); shift; }
    while [ "$1" = --bind ] || [ "$1" = --ro ]; do
        # A mount point below the root's own folders must exist there.
        case $2 in /usr/* | /etc/* | /var/*) mkdir -p "$fs$2" ;; esac
        if [ "$1" = --bind ]; then binds+=(--bind "$2" "$2"); else binds+=(--ro-bind "$2" "$2"); fi
        shift 2
    done
    bwrap "${sys[@]}" --proc /proc --dev /dev --tmpfs /dev/shm --perms 1777 --tmpfs /tmp --tmpfs /run \
        --perms 1777 --tmpfs /var/tmp --tmpfs /var/lib/xkb --ro-bind /etc/resolv.conf /etc/resolv.conf \
        --bind "$root" "$root" "${binds[@]}" \
        --unshare-pid --unshare-ipc --unshare-uts --die-with-parent --chdir "$root" \
        --clearenv --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv HOME /tmp --setenv LANG C.UTF-8 \
        --setenv MIRROR "$mirror" --setenv ROOT "$root" --setenv TOOLCHAIN "$toolchain" \
        --setenv PREFIX "${prefix:-}" --setenv SFML_SOURCE "$sfml_source" \
        --setenv WINEPREFIX "$build/wine" --setenv WINEDEBUG -all --setenv TUNDREL_WINE_RUNTIME "$runtime" \
        --setenv WINEPATH "Z:${prefix:-}/bin;$runtime" \
        --setenv TUNDREL_WIN64_PREFIX "${prefix:-}" "$@"
}

mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
# The root, under a hash of what goes into it.
root_key=$({ echo "$suite"; printf '%s\n' "${packages[@]}"; } | sha256sum | cut -c1-16)
fs=$cache/root-$root_key
if [ ! -f "$fs.complete" ]; then
    echo "--- making the Debian 13 root $fs"
    rm -rf "$fs" "$fs.new"
    mmdebstrap --variant=apt --quiet --include="$(IFS=,; echo "${packages[*]}")" \
        --dpkgopt='path-exclude=/usr/share/{doc,man,locale}/*' \
        --dpkgopt='path-include=/usr/share/doc/*/copyright' "$suite" "$fs.new" "$mirror"
    # The host's name service is mounted over this file.
    touch "$fs.new/etc/resolv.conf"
    mv "$fs.new" "$fs"
    touch "$fs.complete"
fi

# SFML's source: a folder or tarball of this machine goes into the root.
sfml_binds=()
case $sfml_source in
    http://* | https://*) sfml_key=$sfml_source ;;
    *) sfml_source=$(realpath "$sfml_source")
       sfml_binds=(--ro "$(dirname "$sfml_source")")
       if [ -d "$sfml_source" ]; then
           sfml_key=$(cd "$sfml_source" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum)
       else
           sfml_key=$(sha256sum <"$sfml_source")
           [ -z "${TUNDREL_SFML_SHA256:-}" ] || [ "${sfml_key%% *}" = "$TUNDREL_SFML_SHA256" ] ||
               die "$sfml_source does not match its SHA-256 sum"
       fi ;;
esac

# The libraries, under a hash of the root, the source versions, SFML's
# source and the recipe.
mapfile -t versions < <(in_root bash "$self" --inside versions)
[ ${#versions[@]} -eq ${#sources[@]} ] || die "the mirror serves not all of: ${sources[*]}"
key=$({ echo "$root_key"; printf '%s\n' "${versions[@]}" "$sfml_key"
        declare -f inside_libraries unpack licence; cat "$toolchain"; } | sha256sum | cut -c1-16)
prefix=$cache/libs-$key
if [ ! -f "$prefix/.complete" ]; then
    started=$(date +%s)
    echo "--- building SFML 3 and its libraries for Windows into $prefix: ${versions[*]}"
    rm -rf "$prefix"
    mkdir -p "$prefix"
    in_root --bind "$prefix" "${sfml_binds[@]}" bash "$self" --inside libraries "${versions[@]}"
    touch "$prefix/.complete"
    echo "--- libraries built in $(( $(date +%s) - started )) s"
fi
# Older roots and libraries are of no further use.
for old in "$cache"/root-* "$cache"/libs-*; do
    case $old in "$fs" | "$fs.complete" | "$prefix") ;; *) rm -rf "$old" ;; esac
done
exec 9>&-

case $mode in
    prepare) ;;
    exec) mkdir -p "$build"; in_root --offline --mounts --ro "$prefix" --bind "$build" "$@" ;;
    build) mkdir -p "$build"; in_root --offline --ro "$prefix" --bind "$build" bash "$self" --inside game "$build" "$tests" ;;
esac
