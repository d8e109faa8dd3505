#!/usr/bin/env bash
# Builds and runs the frame benchmark (on a virtual 1920x1080 screen when
# there is no display). Usage: tools/bench.sh [frames]
# tools/bench.sh scores [folder] times loading a score file of over 100 MB.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTUNDREL_BUILD_TESTS=OFF -DTUNDREL_BUILD_BENCH=ON >/dev/null
if [ "${1:-}" = scores ]; then
    cmake --build "$build" -j "$(nproc)" --target tundrel_score_bench
    exec "$build/tundrel_score_bench" "${@:2}"
fi
cmake --build "$build" -j "$(nproc)" --target tundrel_bench
if [ -n "${DISPLAY:-}" ]; then
    "$build/tundrel_bench" "$@"
else
    # Xvfb receives every frame as one multi-megabyte request; with glibc's
    # default trim threshold it hands that memory back and faults it in again
    # on every frame, which costs more than drawing the frame. A higher
    # threshold keeps the server's cost out of the figures. RAW=1 skips it.
    if [ -z "${RAW:-}" ]; then
        export GLIBC_TUNABLES=glibc.malloc.trim_threshold=134217728
    fi
    xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tundrel_bench" "$@"
fi
