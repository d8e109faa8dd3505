#!/bin/sh
# Builds and runs the frame benchmark, or with "scores" the score file one,
# on a virtual 1920x1080 screen where there is no display.
#   tools/bench.sh [frames] [page...]     tools/bench.sh scores [folder]
set -e
cd "$(dirname "$0")/.."
target=tundrel_bench && [ "${1:-}" != scores ] || { target=tundrel_score_bench; shift; }
cmake --preset bench >/dev/null && cmake --build --preset bench --target "$target"
# Xvfb gets each frame as one big request; with glibc's default trim threshold it
# frees and faults that memory in every frame, dearer than drawing. RAW=1: no tuning.
[ -n "${RAW:-}" ] || export GLIBC_TUNABLES=glibc.malloc.trim_threshold=134217728
[ -z "${DISPLAY:-}" ] || exec "build-bench/$target" "$@"
exec xvfb-run -a -s "-screen 0 1920x1080x24" "build-bench/$target" "$@"
