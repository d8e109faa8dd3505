#!/usr/bin/env bash
# Starts the real game on a virtual screen of its own, waits for its window,
# quits it from the title page with Escape, and checks that it ended with
# exit code 0 and left no file behind.
#
# Usage: tools/smoke-run.sh BINARY [WIDTHxHEIGHTxDEPTH]   (default 1920x1080x24)
# Needs xvfb-run and xdotool.
set -euo pipefail

# Runs inside the virtual display (the script calls itself there).
run() {
    cd "$scratch/cwd"
    "$binary" 2>"$scratch/stderr" &
    local pid=$! window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name '^TUNDREL \| ' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        echo "no window appeared"; cat "$scratch/stderr"; kill "$pid" 2>/dev/null; return 1
    fi
    # The key release may find the window gone already; only the game's exit counts.
    xdotool key --window "$window" Escape 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "still running 10 s after Escape"; kill -9 "$pid"; return 1
    fi
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { echo "exit code $status"; cat "$scratch/stderr"; return 1; }
    [ -z "$(ls -A .)" ] || { echo "left files behind: $(ls -A .)"; return 1; }
}

if [ "${1:-}" = --inside ]; then
    binary=$2 scratch=$3
    run
    exit
fi

binary=$(realpath "$1")
screen=${2:-1920x1080x24}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/cwd"
if xvfb-run -a -s "-screen 0 $screen" "$(realpath "$0")" --inside "$binary" "$scratch"; then
    echo "smoke run on a ${screen} screen: started and quit cleanly"
else
    echo "smoke run on a ${screen} screen: FAILED" >&2
    exit 1
fi
