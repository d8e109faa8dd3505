#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows with MinGW-w64 on Debian 12 and
# packs it as dist/tundrel-<version>-win64.zip and an NSIS installer
# dist/tundrel-<version>-win64-setup.exe. SFML and its libraries (FreeType,
# Ogg, Vorbis, FLAC, OpenAL Soft) and GoogleTest are built from Debian's
# source tarballs into a prefix kept in /var/cache/tundrel-win64/<hash of the
# versions and this recipe> (TUNDREL_WIN64_CACHE), so only the first run
# builds them. Needs root on Debian (installs what is missing with apt).
#
#   tools/build-windows.sh [--prepare | --tests] [build-dir]   (default build-win64)
#
# --prepare only builds (or finds) the libraries; --tests also builds the
# test suite. Programs built here run under Wine
# (Debian's wine64) in the Wine prefix <build-dir>/wine.
set -euo pipefail

self=$(readlink -f "$0")
root=$(cd "$(dirname "$self")/.." && pwd)
. "$root/tools/lib/debian-mirror.sh"
die() { echo "build-windows: $*" >&2; exit 1; }

tests=OFF prepare=no
case "${1:-}" in
    --tests) tests=ON; shift ;;
    --prepare) prepare=yes; shift ;;
esac
build=$(realpath -m "${1:-$root/build-win64}")
cache=${TUNDREL_WIN64_CACHE:-/var/cache/tundrel-win64}
jobs=$(nproc 2>/dev/null || echo 2)
toolchain=$root/cmake/mingw-w64-x86_64.cmake

# Source package, version and the suite that serves it. SFML 2.6.2 and
# OpenAL Soft 1.24.2 come from Debian 13: the newest whose whole tarball the
# mirror serves.
sources=(
    "freetype 2.12.1+dfsg-5+deb12u4 bookworm"
    "libogg 1.3.5-3 bookworm"
    "libvorbis 1.3.7-1 bookworm"
    "flac 1.4.2+ds-2 bookworm"
    "openal-soft 1:1.24.2-1 trixie"
    "libsfml 2.6.2+dfsg-2 trixie"
    "googletest 1.12.1-0.2 bookworm"
)

need=(g++-mingw-w64-x86-64-posix wine wine64 nsis cmake make zip xvfb xauth xdotool dpkg-dev
      binutils-mingw-w64-x86-64 fonts-dejavu-core libvulkan-dev libstb-dev)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi

# Builds one unpacked CMake project into the prefix.
cmake_lib() {
    local dir=$1; shift
    cmake -S "$dir" -B "$dir/_build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DTUNDREL_WIN64_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON "$@" >"$dir/_build.log" 2>&1 ||
        { tail -n 30 "$dir/_build.log"; return 1; }
    cmake --build "$dir/_build" -j "$jobs" >>"$dir/_build.log" 2>&1 &&
        cmake --install "$dir/_build" >>"$dir/_build.log" 2>&1 ||
        { tail -n 30 "$dir/_build.log"; return 1; }
}

# Unpacks a source package's main tarball; prints the folder.
unpack() {
    local tarball
    tarball=$(ls "$work/dl/$1"_*.orig.tar.* | grep -v -- '\.orig-' | head -n 1)
    mkdir -p "$work/src/$1"
    tar -xf "$tarball" -C "$work/src/$1" --strip-components=1
    echo "$work/src/$1"
}

# Keeps a library's licence texts in the prefix, for the zip and the installer.
licence() {
    local name=$1 dir=$2; shift 2
    mkdir -p "$prefix/share/licenses/$name"
    for f in "$@"; do cp "$dir/$f" "$prefix/share/licenses/$name/"; done
}

# The recipe: what gets built and how. Its text is part of the cache key.
build_libraries() {
    local d
    d=$(unpack freetype)
    cmake_lib "$d" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    licence FreeType "$d" LICENSE.TXT docs/FTL.TXT docs/GPLv2.TXT
    d=$(unpack libogg)
    # GNU ld rejects the LIBRARY line of these module definitions.
    sed -i '/^LIBRARY/d' "$d"/win32/*.def
    cmake_lib "$d" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
    licence Ogg "$d" COPYING
    d=$(unpack libvorbis)
    sed -i '/^LIBRARY/d' "$d"/win32/*.def
    cmake_lib "$d"
    licence Vorbis "$d" COPYING
    d=$(unpack flac)
    cmake_lib "$d" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF \
        -DBUILD_CXXLIBS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=OFF
    licence FLAC "$d" COPYING.Xiph
    d=$(unpack openal-soft)
    cmake_lib "$d" -DALSOFT_UTILS=OFF -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
        -DALSOFT_INSTALL_CONFIG=OFF -DALSOFT_INSTALL_HRTF_DATA=OFF -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF
    licence "OpenAL Soft" "$d" COPYING
    d=$(unpack libsfml)
    # Debian's source comes without its copies of the Vulkan and stb_image
    # headers; Debian's own serve, being the same text on every platform.
    mkdir -p "$d/extlibs/headers/vulkan" "$d/extlibs/headers/stb_image"
    cp -r /usr/include/vulkan/. /usr/include/vk_video "$d/extlibs/headers/vulkan/"
    cp /usr/include/stb/stb_image.h /usr/include/stb/stb_image_write.h "$d/extlibs/headers/stb_image/"
    cmake_lib "$d" -DSFML_USE_SYSTEM_DEPS=ON -DSFML_BUILD_NETWORK=OFF -DSFML_BUILD_EXAMPLES=OFF \
        -DSFML_BUILD_DOC=OFF -DSFML_INSTALL_PKGCONFIG_FILES=OFF
    licence SFML "$d" license.md
    d=$(unpack googletest)
    cmake_lib "$d" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
    # The MinGW runtime the game's DLLs and the game itself load.
    cp /usr/lib/gcc/x86_64-w64-mingw32/12-posix/{libstdc++-6,libgcc_s_seh-1}.dll \
       /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$prefix/bin/"
    mkdir -p "$prefix/share/licenses/MinGW-w64 runtime"
    cp /usr/share/doc/mingw-w64-common/copyright "$prefix/share/licenses/MinGW-w64 runtime/mingw-w64"
    cp /usr/share/doc/gcc-mingw-w64-base/copyright "$prefix/share/licenses/MinGW-w64 runtime/gcc"
}

key=$({ printf '%s\n' "${sources[@]}"; declare -f build_libraries cmake_lib unpack
        grep -E 'SYSTEM|COMPILER|ROOT_PATH' "$toolchain"; dpkg-query -W libvulkan-dev libstb-dev
        x86_64-w64-mingw32-g++-posix --version | head -n 1; } | sha256sum | cut -c1-16)
prefix=$cache/$key
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9
if [ ! -f "$prefix/.complete" ]; then
    started=$(date +%s)
    echo "--- building SFML and its libraries for Windows into $prefix"
    mirror=$(debian_mirror)
    [ -n "$mirror" ] || die "no Debian mirror in this machine's apt sources"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/lists/partial" "$work/cache" "$work/dl"
    # A private source list: the machine's own apt setup stays as it is.
    for suite in bookworm trixie; do
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $suite main"
    done >"$work/sources.list"
    apt_opts=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=-
              -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
              -o Acquire::Check-Valid-Until=false -o APT::Sandbox::User=root -qq)
    apt-get "${apt_opts[@]}" update
    wanted=()
    for s in "${sources[@]}"; do read -r name version _ <<<"$s"; wanted+=("$name=$version"); done
    (cd "$work/dl" && apt-get "${apt_opts[@]}" source --tar-only --download-only "${wanted[@]}")
    rm -rf "$prefix"
    build_libraries
    touch "$prefix/.complete"
    echo "--- libraries built in $(( $(date +%s) - started )) s"
    # Older recipes' prefixes are of no further use.
    for old in "$cache"/*/; do [ "${old%/}" = "$prefix" ] || rm -rf "$old"; done
fi
exec 9>&-
[ "$prepare" = no ] || exit 0

# The game (and the tests) under Wine need a prefix of their own; the icon
# tool runs in it at build time.
export WINEPREFIX=$build/wine WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$build"
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    # Without a window manager Wine waits two seconds per window for one.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTUNDREL_WIN64_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DTUNDREL_BUILD_TESTS="$tests" -DTUNDREL_BUILD_BENCH=OFF \
    -DCMAKE_PREFIX_PATH="$prefix" | grep -E '^-- Building against SFML' || true
cmake --build "$build" -j "$jobs"

# The zip and the installer: the game, the DLLs it loads, the documents.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage=$build/stage/tundrel-$version-win64
rm -rf "$build/stage"
mkdir -p "$stage/licenses" "$root/dist"
cp "$build/tundrel.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/tundrel.exe"
# Every DLL the game needs that Windows does not bring, followed through.
queue=(tundrel.exe)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}; queue=("${queue[@]:1}")
    for dll in $(x86_64-w64-mingw32-objdump -p "$stage/$file" | sed -n 's/^\s*DLL Name: //p'); do
        [ -f "$prefix/bin/$dll" ] && [ ! -f "$stage/$dll" ] || continue
        cp "$prefix/bin/$dll" "$stage/"
        x86_64-w64-mingw32-strip --strip-unneeded "$stage/$dll"
        queue+=("$dll")
    done
done
cp -r "$prefix/share/licenses/." "$stage/licenses/"
sed 's/$/\r/' "$root/README.md" >"$stage/README.md"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
zip="$root/dist/tundrel-$version-win64.zip"
rm -f "$zip"
(cd "$build/stage" && zip -qr -X "$zip" "tundrel-$version-win64")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$root/dist/tundrel-$version-win64-setup.exe" \
    -DICON="$build/tundrel.ico" "$root/packaging/tundrel.nsi"
echo "--- $zip"
echo "--- $root/dist/tundrel-$version-win64-setup.exe"
