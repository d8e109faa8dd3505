#!/usr/bin/env bash
# Builds and runs the frame benchmark (on a virtual 1920x1080 screen when
# there is no display). Usage: tools/bench.sh [frames]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTUNDREL_BUILD_TESTS=OFF -DTUNDREL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target tundrel_bench
if [ -n "${DISPLAY:-}" ]; then
    "$build/tundrel_bench" "$@"
else
    xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tundrel_bench" "$@"
fi
