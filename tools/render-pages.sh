#!/usr/bin/env bash
# Builds the page-picture tool and draws every page of the game into PNGs,
# on a virtual 1920 × 1080 screen.
#
# Usage: tools/render-pages.sh [output-folder]   (default docs/images)
# Needs xvfb-run (Debian: xvfb and xauth).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/images}
mkdir -p "$out"
out=$(cd "$out" && pwd)
build=${TUNDREL_PAGES_BUILD_DIR:-$root/build-pages}

cmake -S "$root" -B "$build" -DTUNDREL_BUILD_TOOLS=ON -DTUNDREL_BUILD_TESTS=OFF \
  -DTUNDREL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target tundrel_page_shots -j "$(nproc)"

# A scratch working folder, so no score file of the caller's is read.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Without a sound card the audio library is chatty on stderr; show it only
# when something went wrong.
if ! (cd "$scratch" && xvfb-run -a -s "-screen 0 1920x1080x24" \
        "$build/tundrel_page_shots" "$out" 2>"$scratch/stderr.log"); then
  cat "$scratch/stderr.log" >&2
  exit 1
fi
