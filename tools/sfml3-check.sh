#!/usr/bin/env bash
# Builds the game and its tests against SFML 3, taken from Debian's unstable
# suite and unpacked into a scratch folder. Those libraries need a newer C
# library than this system has, so the result is linked but never run.
#
# Usage: tools/sfml3-check.sh [scratch-dir]
# Exits 0 with a message when the unstable suite cannot be reached; any
# compile or link error fails the script.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-$root/build-sfml3}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)
apt_dir=$scratch/apt
debs=$scratch/debs
prefix=$scratch/root
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$debs" "$prefix"

# The mirror is whatever this machine already uses for Debian.
mirror=$(
  { cat /etc/apt/sources.list 2>/dev/null || true
    for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] && cat "$f"
    done
  } | awk '
    /^[[:space:]]*#/ { next }
    $1 == "URIs:" { for (i = 2; i <= NF; i++) print $i; next }
    $1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:\/\//) { print $i; break } }
  ' | grep -v -E 'security|updates' | grep -E '/debian/?$' | head -n 1
)
if [ -z "$mirror" ]; then
  echo "sfml3-check: no Debian mirror found in the apt sources; skipping the SFML 3 build"
  exit 0
fi
mirror=${mirror%/}

arch=$(dpkg --print-architecture)
cat > "$apt_dir/sources.list" <<SOURCES
deb [trusted=yes] $mirror unstable main
SOURCES
apt_opts=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=-"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "Dir::State::status=/dev/null"
  -o "APT::Architecture=$arch"
  -o "Acquire::Check-Valid-Until=false"
  -o "Debug::NoLocking=true"
  -o "APT::Sandbox::User=root"
)

if ! apt-get "${apt_opts[@]}" -qq update >"$scratch/apt-update.log" 2>&1; then
  echo "sfml3-check: Debian's unstable suite cannot be reached; skipping the SFML 3 build"
  exit 0
fi

# Pick the 3.x runtime packages by name from the fresh lists.
pkgs=(libsfml-dev)
for mod in system window graphics audio; do
  name=$(apt-cache "${apt_opts[@]}" pkgnames "libsfml-$mod" | grep -E "^libsfml-$mod(3|[0-9.]*)$" | grep -v -- '-dev$' | sort -V | tail -n 1 || true)
  if [ -z "$name" ]; then
    echo "sfml3-check: no libsfml-$mod package in the unstable suite" >&2
    exit 1
  fi
  pkgs+=("$name")
done
version=$(apt-cache "${apt_opts[@]}" show libsfml-dev | awk '/^Version:/ { print $2; exit }')
case "$version" in
  3.*|*:3.*) ;;
  *) echo "sfml3-check: unstable's libsfml-dev is $version, not 3.x" >&2; exit 1 ;;
esac

echo "sfml3-check: downloading ${pkgs[*]} ($version)"
(cd "$debs" && apt-get "${apt_opts[@]}" -qq download "${pkgs[@]}")
for deb in "$debs"/*.deb; do
  dpkg-deb -x "$deb" "$prefix"
done

sfml_dir=$(dirname "$(find "$prefix" -name 'SFMLConfig.cmake' | head -n 1)")
if [ -z "$sfml_dir" ] || [ ! -f "$sfml_dir/SFMLConfig.cmake" ]; then
  echo "sfml3-check: SFMLConfig.cmake not found in the unpacked packages" >&2
  exit 1
fi

cmake -S "$root" -B "$scratch/build" \
  -DCMAKE_BUILD_TYPE=Debug \
  -DTUNDREL_REQUIRE_SFML3=ON \
  -DTUNDREL_ICON_PNGS=OFF \
  -DSFML_DIR="$sfml_dir" \
  -DCMAKE_PREFIX_PATH="$prefix/usr" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,--allow-shlib-undefined -Wl,-rpath-link,$prefix/usr/lib/$(gcc -print-multiarch)" \
  >"$scratch/configure.log" || { cat "$scratch/configure.log"; exit 1; }
cmake --build "$scratch/build" -j "$(nproc)"
echo "sfml3-check: the game and the tests build against SFML $version"
